#include "tools/demo-db/DemoPlant.h"

#include "common/ProcessKind.h"
#include "db/Database.h"
#include "db/testing/PlainDb.h"
#include "platform/jet/Sql.h"
#include "platform/jet/testing/ServerDatabase.h"

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <regex>
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

class Demo : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        path_ = new TempPath("demo");
        summary_ = qtmv::demo::WriteDemoPlant(path_->str(), Small());
    }
    static void TearDownTestSuite() { delete path_; }
    Demo() : db_(path_->str()) {}
    // Each statement finds at least one row.
    void expectRows(std::initializer_list<std::string> statements)
    {
        for (const auto& sql : statements)
            EXPECT_GT(db_.count(sql), 0) << sql;
    }

    static TempPath* path_;
    static qtmv::demo::DemoSummary summary_;
    Db db_;
};
TempPath* Demo::path_ = nullptr;
qtmv::demo::DemoSummary Demo::summary_;

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
    const std::string p = path.str();
    std::ostringstream out, err;
    const char* args[] = {"demo-db", "--work-orders", "5", "--seed", "3", "--date", "2024-12-04", p.c_str()};
    EXPECT_EQ(qtmv::demo::RunDemoDb(8, args, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("5 work orders"), std::string::npos) << out.str();
    Db db(p);
    EXPECT_EQ(db.value("select count(*) from PWORK"), "5");

    std::ostringstream out2, err2;
    EXPECT_EQ(qtmv::demo::RunDemoDb(8, args, out2, err2), 1);
    EXPECT_NE(err2.str().find(p + " already exists"), std::string::npos) << err2.str();
    EXPECT_EQ(db.value("select count(*) from PWORK"), "5");
}

// Straight into an empty server database; a second time it is refused.
TEST(DemoDbCommand, WritesIntoAServerDatabase)
{
    if (!jet::testing::TestServer())
        GTEST_SKIP() << jet::testing::kNoTestServer;
    jet::testing::ServerDatabase server;
    const std::string target = server.connectionString();
    const char* args[] = {"demo-db", "--work-orders", "5", "--seed", "3", "--date", "2024-12-04", target.c_str()};
    std::ostringstream out, err;
    EXPECT_EQ(qtmv::demo::RunDemoDb(8, args, out, err), 0) << err.str();
    EXPECT_EQ(server.scalar("select count(*) from pwork"), "5");
    std::ostringstream out2, err2;
    EXPECT_EQ(qtmv::demo::RunDemoDb(8, args, out2, err2), 1);
    EXPECT_NE(err2.str().find("不會覆蓋"), std::string::npos) << err2.str();
    EXPECT_EQ(server.scalar("select count(*) from pwork"), "5");
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

TEST_F(Demo, HasOpenPiecesOfEveryKindAsTheSummarySays)
{
    long long open = 0;
    for (const auto& k : qtmv::ProcessKinds()) {
        const long long n = db_.count(OpenPieces(k));
        EXPECT_GT(n, 0) << k.displayName;
        open += n;
        if (k.letter == 'D') {
            EXPECT_EQ(n, summary_.openPrintingPieces);
        }
    }
    EXPECT_EQ(open, summary_.openPieces);
    // Open pieces say so with '' and with NULL; finished work orders have none.
    expectRows({"select * from PRINTING_S where FDATE is null", "select * from PRINTING_S where FDATE = ''",
                "select * from PWORK where FDATE is null", "select * from PWORK where FDATE = ''",
                "select * from PWORK where FDATE <> ''"});
    for (const auto& k : qtmv::ProcessKinds())
        EXPECT_EQ(db_.count("select * from [" + std::string(k.scheduledTable) +
                            "] s inner join PWORK w on w.PO = s.PO where w.FDATE <> '' and ifnull(s.FDATE, '') = ''"),
                  0)
            << k.displayName;
}

TEST_F(Demo, ViewsShowTheScheduleAndTheAnalysis)
{
    for (const auto& k : qtmv::ProcessKinds())
        EXPECT_GT(db_.count("select * from [" + std::string(k.preScheduleTable) + "]"), 0) << k.preScheduleTable;
    expectRows({"select * from [不良分析4] where KIND = 'D-印刷' and 結束1 <> '' and length(開始時間) = 11 "
                "and 時標準量 > 0 and QTY > 0"});
    EXPECT_EQ(db_.count("select * from [不良分析4]"), db_.count("select * from 預排資料耗時明細"));
}

} // namespace
