#include "tools/demo-db/DemoPlant.h"

#include "common/ProcessKind.h"
#include "db/Database.h"
#include "db/testing/PlainDb.h"
#include "platform/jet/Sql.h"

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <regex>
#include <sstream>

using qtmv::db::test::Db;
using qtmv::db::test::TempPath;
using qtmv::demo::DemoOptions;

namespace {

DemoOptions small(std::uint64_t seed = 7)
{
    DemoOptions o;
    o.workOrders = 80;
    o.seed = seed;
    o.today = {2024, 12, 4};
    return o;
}

// The open pieces of a kind as the main window loads them.
std::string openPieces(const qtmv::ProcessKind& k)
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
        summary_ = qtmv::demo::writeDemoPlant(path_->str(), small());
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
    qtmv::demo::writeDemoPlant(a.str(), small(11));
    qtmv::demo::writeDemoPlant(b.str(), small(11));
    qtmv::demo::writeDemoPlant(c.str(), small(12));
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
    EXPECT_EQ(qtmv::demo::runDemoDb(8, args, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("5 work orders"), std::string::npos) << out.str();
    Db db(p);
    EXPECT_EQ(db.value("select count(*) from PWORK"), "5");

    std::ostringstream out2, err2;
    EXPECT_EQ(qtmv::demo::runDemoDb(8, args, out2, err2), 1);
    EXPECT_NE(err2.str().find(p + " already exists"), std::string::npos) << err2.str();
    EXPECT_EQ(db.value("select count(*) from PWORK"), "5");
}

TEST(DemoDbCommand, RejectsBadArguments)
{
    auto run = [](std::vector<const char*> args) {
        std::ostringstream out, err;
        return qtmv::demo::runDemoDb(static_cast<int>(args.size()), args.data(), out, err);
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
    for (const auto& k : qtmv::processKinds()) {
        const long long n = db_.count(openPieces(k));
        EXPECT_GT(n, 0) << k.displayName;
        open += n;
        if (k.letter == 'D') {
            EXPECT_EQ(n, summary_.openPrintingPieces);
        }
    }
    EXPECT_EQ(open, summary_.openPieces);
    EXPECT_EQ(db_.count("select * from PWORK"), 80);
    // Open pieces say so with '' and with NULL; finished work orders have none.
    expectRows({"select * from PRINTING_S where FDATE is null", "select * from PRINTING_S where FDATE = ''",
                "select * from PWORK where FDATE is null", "select * from PWORK where FDATE = ''",
                "select * from PWORK where FDATE <> ''"});
    for (const auto& k : qtmv::processKinds())
        EXPECT_EQ(db_.count("select * from [" + std::string(k.scheduledTable) +
                            "] s inner join PWORK w on w.PO = s.PO where w.FDATE <> '' and ifnull(s.FDATE, '') = ''"),
                  0)
            << k.displayName;
}

TEST_F(Demo, LinesPiecesAndOrderLookAsOnTheShopFloor)
{
    // A line with a finished and an open piece.
    expectRows({"select PO, [NO] from PRINTING_S group by PO, [NO] having "
                "sum(ifnull(FDATE, '') <> '') > 0 and sum(ifnull(FDATE, '') = '') > 0"});
    // Schedules long enough that "10" sorts before "9" as text.
    expectRows({"select ID from 預排資料明細 group by ID having max(length(順序)) > 1 and min(length(順序)) = 1"});
    // Every piece has its pre-schedule line with the spaced kind name.
    for (const auto& k : qtmv::processKinds()) {
        const std::string s(k.scheduledTable);
        EXPECT_EQ(db_.count("select * from [" + s + "] s left join 預排資料明細 d on d.ID = s.ID and d.INO = s.INO and "
                            "d.KIND = '" + jet::sqlText(k.spacedName) + "' where d.ID is null"),
                  0)
            << s;
    }
    // A line is finished exactly when all of its pieces are.
    EXPECT_EQ(db_.count("select * from PRINTING x where ifnull(x.FDATE, '') <> '' and exists (select * from PRINTING_S "
                        "s where s.PO = x.PO and s.[NO] = x.[NO] and ifnull(s.FDATE, '') = '')"),
              0);
    // Date texts: ROC dates, finish stamps, time lines.
    const std::regex roc("1[01][0-9](0[1-9]|1[0-2])(0[1-9]|[12][0-9]|3[01])");
    for (const auto& r : db_.rows("select ODATE, PDATE from PWORK"))
        EXPECT_TRUE(std::regex_match(r[0], roc) && std::regex_match(r[1], roc)) << r[0] << " " << r[1];
    expectRows({"select * from PRINTING_S where FDATE glob '[01][0-9][0-3][0-9]-[0-2][0-9]'",
                "select * from 預排資料耗時明細 where 開始 glob '1[01][0-9][01][0-9][0-3][0-9] [0-2][0-9][0-5][0-9]' "
                "and 耗時 glob '*.[0-9][0-9]'"});
    EXPECT_EQ(db_.count("select * from 預排資料 where length([DATE]) <> 7"), 0);
}

TEST_F(Demo, MasterDataCoversTheCasesTheLookupsTell)
{
    expectRows({"select * from EMPLOYEE where ID = 'A001' and NAME = '王大明' and ifnull(ODATE, '') = ''"});
    EXPECT_EQ(db_.value("select 管理者 from 使用者資料 where 使用者 = '王大明'"), "Y");
    EXPECT_EQ(db_.count("select * from 使用者資料明細 where 使用者 = '王大明' and 生產管理細部 <> ''"), 1);
    EXPECT_EQ(db_.count("select * from EMPLOYEE e inner join PHRASE p on p.[DESC] = e.車別 and p.ITEM = '機別' "
                        "where e.ID = 'A001'"),
              1);
    expectRows({"select * from EMPLOYEE where ODATE <> ''", "select * from CUST where 停用 = '1'",
                "select * from VENDER where 停用 = '1'", "select * from VENDER where 製作 <> 0",
                "select * from VENDER where 停用 = '0'", "select * from VENDER where 停用 = ''",
                "select * from VENDER where 停用 is null", "select * from 片語資料_品檢 where KIND = 'D-印刷'"});
    // Every kind has active vendors in the lookups, and machines for the filter.
    for (const auto& k : qtmv::processKinds()) {
        EXPECT_GT(db_.count("select * from VENDER where ITEM" + std::to_string(k.number) +
                            " = '1' and (停用 = '0' or 停用 = '' or 停用 is null)"),
                  0)
            << k.displayName;
    }
    EXPECT_GE(db_.count("select * from PHRASE where KIND = 'Z-雜項' and ITEM = '機別' and MSG like '%印刷%'"), 3);
    EXPECT_EQ(db_.count("select * from PHRASE where KIND = 'Z-雜項' and ITEM = '機別' and MSG = ''"), 1);
    for (const char* list : {"停工說明", "油墨明細", "裝訂說明", "儲位"})
        EXPECT_GT(db_.count(std::string("select * from PHRASE where KIND = 'Z-雜項' and ITEM = '") + jet::sqlText(list) + "'"), 0);
    // A press without a capacity record.
    expectRows({"select * from PHRASE p where ITEM = '機別' and MSG like '%印刷%' and not exists "
                "(select * from 印刷產能資料_工單 c where c.種類 = 'D-印刷' and c.機別 = p.[DESC])"});
}

TEST_F(Demo, SideTablesAndSettingsAreFilled)
{
    expectRows({"select * from VENDERAC where EAMT = 0", "select * from VENDERAC where EAMT <> 0",
                "select * from 紙品採購明細 d inner join 紙品採購資料 h on h.採購單號 = d.採購單號",
                "select * from 工單lable where 內容8 like '重工%'", "select * from 工單lable where 內容8 not like '重工%'"});
    EXPECT_EQ(db_.count("select * from CROWD c where c.REM <> '' and not exists "
                        "(select * from 刀模管理資料 d where d.刀模代號 = c.REM)"),
              0);
    for (const char* t : {"刀模管理資料", "工單頁數", "工單裝訂流程", "工單品檢明細", "工單印刷數據", "SYSLOAD",
                          "排程表尾預設", "單筆備註預設", "SYSDB", "邊界設定_半張紙", "預排資料耗時明細"})
        EXPECT_GT(db_.count(std::string("select * from [") + t + "]"), 0) << t;
    EXPECT_EQ(db_.count("select * from SYSLOCK"), 0); // no maintenance under way
}

TEST_F(Demo, ViewsShowTheScheduleAndTheAnalysis)
{
    for (const auto& k : qtmv::processKinds())
        EXPECT_GT(db_.count("select * from [" + std::string(k.preScheduleTable) + "]"), 0) << k.preScheduleTable;
    expectRows({"select * from [不良分析4] where KIND = 'D-印刷' and 結束1 <> '' and length(開始時間) = 11 "
                "and 時標準量 > 0 and QTY > 0"});
    EXPECT_EQ(db_.count("select * from [不良分析4]"), db_.count("select * from 預排資料耗時明細"));
}

} // namespace
