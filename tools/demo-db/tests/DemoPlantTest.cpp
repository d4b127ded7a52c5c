#include "tools/demo-db/DemoPlant.h"

#include "quality/core/ColourTolerance.h"

#include "common/ProcessKind.h"
#include "db/testing/PlainDb.h"
#include "platform/jet/testing/ServerDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
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

TEST(DemoPlant, IsDeterministicForASeedAndFillsEveryKindsViews)
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

    // No kind has a piece open on a finished work order, and every kind has
    // lines in its pre-schedule view (its open pieces, loaded as the main
    // window loads them: DemoPlant.EveryKindAndSortOptionLoads). Open pieces
    // say so with '' and with NULL; the analysis view has a line per time line.
    for (const auto& k : qtmv::ProcessKinds()) {
        EXPECT_EQ(da.count("select * from [" + std::string(k.scheduledTable) +
                            "] s inner join PWORK w on w.PO = s.PO where w.FDATE <> '' and ifnull(s.FDATE, '') = ''"),
                  0)
            << k.displayName;
        EXPECT_GT(da.count("select * from [" + std::string(k.preScheduleTable) + "]"), 0) << k.preScheduleTable;
    }
    for (const char* sql : {"select * from PRINTING_S where FDATE is null", "select * from PRINTING_S where FDATE = ''",
                            "select * from PWORK where FDATE is null", "select * from PWORK where FDATE = ''",
                            "select * from PWORK where FDATE <> ''",
                            "select * from [不良分析4] where KIND = 'D-印刷' and 結束1 <> '' and length(開始時間) = 11 "
                            "and 時標準量 > 0 and QTY > 0"})
        EXPECT_GT(da.count(sql), 0) << sql;
    EXPECT_EQ(da.count("select * from [不良分析4]"), da.count("select * from 預排資料耗時明細"));
}

TEST(DemoDbCommand, WritesANewFileNeverOverwritesAndRejectsBadArguments)
{
    TempPath path("demo-cli");
    const std::string out = WritesOnceNeverAgain(path.str(), path.str() + " already exists",
                                                 [&] { return Db(path.str()).value("select count(*) from PWORK"); });
    EXPECT_NE(out.find("5 work orders"), std::string::npos) << out;

    // Bad arguments write nothing.
    for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{
             {"demo-db"}, {"demo-db", "--work-orders", "many", "x.db"}, {"demo-db", "--work-orders", "0", "x.db"},
             {"demo-db", "--date", "2024-02-30", "x.db"}, {"demo-db", "--colour", "red", "x.db"},
             {"demo-db", "a.db", "b.db"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(qtmv::demo::RunDemoDb(static_cast<int>(args.size()), args.data(), out, err), 2)
            << args[args.size() > 2 ? 2 : 0];
    }
    EXPECT_FALSE(std::filesystem::exists("x.db"));
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

// Every colour target is held to a ΔE00 tolerance, a density target comes
// with its own. The printing lines are printed near their colour's target:
// their △ is the ΔE00 of the values written, and most are within the
// tolerance while some are not, as on a real press.
TEST(DemoPlant, PrintingLinesLieAroundTheirTargetsTolerances)
{
    using namespace qtmv::quality;
    TempPath path("demo-colour");
    DemoOptions o = Small();
    o.workOrders = 600;   // a printing line for about one work order in ten
    qtmv::demo::WriteDemoPlant(path.str(), o);
    Db db(path.str());
    std::map<std::string, TargetColour> targets;
    for (const auto& t : db.rows("select 色號, L, A, B, 容許色差, 濃度目標, 濃度容許 from [色號目標值]")) {
        auto number = [](const std::string& v) { return v == "<null>" ? std::nullopt : std::optional(std::stod(v)); };
        EXPECT_GT(number(t[4]).value_or(0), 0) << t[0];
        EXPECT_EQ(t[5] == "<null>", t[6] == "<null>") << t[0];
        targets[t[0]] = {{std::stod(t[1]), std::stod(t[2]), std::stod(t[3])}, {number(t[4]), number(t[5]), number(t[6])}};
    }
    int within = 0, out = 0;
    for (const auto& l : db.rows("select 色號, 測量1, 測量2, 測量3, 測量4, 測量5 from [工單印刷數據]")) {
        const auto target = targets.find(l[0]);
        ASSERT_NE(target, targets.end()) << l[0];
        const Measured m = MeasuredOf(l[1], l[2], l[3], l[4], l[5]);
        ASSERT_TRUE(m.lab) << l[1] << " " << l[2] << " " << l[3];
        EXPECT_EQ(l[4], DifferenceText(Ciede2000(target->second.lab, *m.lab)));
        (CheckTolerance(m, target->second).out() ? out : within) += 1;
    }
    EXPECT_GT(out, 0);
    EXPECT_GT(within, 2 * out) << out << " of " << within + out << " out";
}

} // namespace
