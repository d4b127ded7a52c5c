#include "tools/demo-db/DemoPlant.h"

#include "common/ProcessKind.h"
#include "db/testing/PlainDb.h"
#include "platform/jet/testing/ServerDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

using qtmv::db::test::Db;
using qtmv::db::test::TempPath;
using qtmv::demo::DemoOptions;

namespace {

DemoOptions Small(std::uint64_t seed = 7)
{
    DemoOptions o;
    o.workOrders = 80;
    o.seed = seed;
    o.today = {2024, 12, 4};
    return o;
}

// The open pieces of a kind as the main window loads them.
std::string OpenPieces(const qtmv::ProcessKind& k)
{
    const std::string s(k.scheduledTable);
    return "select " + s + ".* from [預排資料] inner join [" + s + "] on 預排資料.ID = " + s +
           ".ID inner join [PWORK] on " + s + ".PO = PWORK.PO inner join [CUST] on PWORK.CUST = CUST.ID where (" + s +
           ".FDATE = '' or " + s + ".FDATE is null) and (PWORK.FDATE = '' or PWORK.FDATE is null)";
}

// demo-db writes five work orders into target (workOrders reads them back)
// and, run again, refuses saying refusal, leaving them. What it printed.
std::string WritesOnceNeverAgain(const std::string& target, const std::string& refusal,
                                 const std::function<std::string()>& workOrders)
{
    const char* args[] = {"demo-db", "--work-orders", "5", "--seed", "3", "--date", "2024-12-04", target.c_str()};
    std::ostringstream out, err, again;
    EXPECT_EQ(qtmv::demo::RunDemoDb(8, args, out, err), 0) << err.str();
    EXPECT_EQ(workOrders(), "5");
    err.str("");
    EXPECT_EQ(qtmv::demo::RunDemoDb(8, args, again, err), 1);
    EXPECT_NE(err.str().find(refusal), std::string::npos) << err.str();
    EXPECT_EQ(workOrders(), "5");
    return out.str();
}

TEST(DemoPlant, IsDeterministicForASeed)
{
    TempPath a("demo-a"), b("demo-b"), c("demo-c");
    qtmv::demo::WriteDemoPlant(a.str(), Small(11));
    qtmv::demo::WriteDemoPlant(b.str(), Small(11));
    qtmv::demo::WriteDemoPlant(c.str(), Small(12));
    Db da(a.str()), db(b.str()), dc(c.str());
    const std::string first = da.contents();
    EXPECT_EQ(first, db.contents());
    EXPECT_NE(first, dc.contents());
    EXPECT_GT(first.size(), 100000u);
}

TEST(DemoDbCommand, WritesANewFileAndNeverOverwrites)
{
    TempPath path("demo-cli");
    const std::string out = WritesOnceNeverAgain(path.str(), path.str() + " already exists",
                                                 [&] { return Db(path.str()).value("select count(*) from PWORK"); });
    EXPECT_NE(out.find("5 work orders"), std::string::npos) << out;
}

// Straight into an empty server database; a second time it is refused.
TEST(DemoDbCommand, WritesIntoAServerDatabase)
{
    if (!jet::testing::TestServer())
        GTEST_SKIP() << jet::testing::kNoTestServer;
    jet::testing::ServerDatabase server;
    WritesOnceNeverAgain(server.connectionString(), "不會覆蓋",
                         [&] { return server.scalar("select count(*) from pwork"); });
}

TEST(DemoDbCommand, RejectsBadArguments)
{
    auto run = [](std::vector<const char*> args) {
        std::ostringstream out, err;
        return qtmv::demo::RunDemoDb(static_cast<int>(args.size()), args.data(), out, err);
    };
    EXPECT_EQ(run({"demo-db"}), 2);
    EXPECT_EQ(run({"demo-db", "--work-orders", "many", "x.db"}), 2);
    EXPECT_EQ(run({"demo-db", "--work-orders", "0", "x.db"}), 2);
    EXPECT_EQ(run({"demo-db", "--date", "2024-02-30", "x.db"}), 2);
    EXPECT_EQ(run({"demo-db", "--colour", "red", "x.db"}), 2);
    EXPECT_EQ(run({"demo-db", "a.db", "b.db"}), 2);
    EXPECT_FALSE(std::filesystem::exists("x.db"));
}

// Every kind has pieces open as the main window loads them (as many as the
// plant's summary says: DemoPlant.EveryKindAndSortOptionLoads), none of a
// finished work order, and lines in its pre-schedule view. Open pieces say
// so with '' and with NULL; the analysis view has a line per time line.
TEST(DemoPlant, HasOpenPiecesOfEveryKindAndTheViewsShowTheScheduleAndTheAnalysis)
{
    TempPath path("demo");
    qtmv::demo::WriteDemoPlant(path.str(), Small());
    Db db(path.str());
    for (const auto& k : qtmv::ProcessKinds()) {
        EXPECT_GT(db.count(OpenPieces(k)), 0) << k.displayName;
        EXPECT_EQ(db.count("select * from [" + std::string(k.scheduledTable) +
                            "] s inner join PWORK w on w.PO = s.PO where w.FDATE <> '' and ifnull(s.FDATE, '') = ''"),
                  0)
            << k.displayName;
        EXPECT_GT(db.count("select * from [" + std::string(k.preScheduleTable) + "]"), 0) << k.preScheduleTable;
    }
    for (const char* sql : {"select * from PRINTING_S where FDATE is null", "select * from PRINTING_S where FDATE = ''",
                            "select * from PWORK where FDATE is null", "select * from PWORK where FDATE = ''",
                            "select * from PWORK where FDATE <> ''",
                            "select * from [不良分析4] where KIND = 'D-印刷' and 結束1 <> '' and length(開始時間) = 11 "
                            "and 時標準量 > 0 and QTY > 0"})
        EXPECT_GT(db.count(sql), 0) << sql;
    EXPECT_EQ(db.count("select * from [不良分析4]"), db.count("select * from 預排資料耗時明細"));
}

} // namespace
