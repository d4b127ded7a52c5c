// The schema on a database server: made from the whole of schema.sql, it
// answers the suite's statements as the SQLite database does.
#include "db/ServerSchema.h"
#include "db/testing/FreshDatabase.h"
#include "db/testing/ServerFreshDatabase.h"

#include "common/ProcessKind.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"

#include <gtest/gtest.h>

#include <memory>

using qtmv::db::test::FreshDatabase;
using qtmv::db::test::ServerFreshDatabase;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The field names, then the rows a statement reads.
Rows Read(jet::Connection& c, const std::string& jetSql)
{
    jet::Recordset rs;
    rs.open(jetSql, c);
    Rows out(1);
    for (int i = 0; i < rs.fieldCount(); ++i)
        out[0].push_back(rs.fieldName(i));
    for (const auto& row : rs.rows()) {
        out.emplace_back();
        for (const auto& v : row)
            out.back().push_back(v.isNull() ? "<null>" : v.text());
    }
    return out;
}

// The same statements run on an SQLite file and on a server database.
class ServerSchema : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!jet::testing::TestServer())
            GTEST_SKIP() << jet::testing::kNoTestServer;
        server_ = std::make_unique<ServerFreshDatabase>();
        onFile_.open(file_.connectionString());
        onServer_.open(server_->connectionString());
    }
    void both(const std::string& jetSql)
    {
        onFile_.execute(jetSql);
        onServer_.execute(jetSql);
    }
    // The statement reads the same field names and rows on both.
    void expectSame(const std::string& jetSql) { EXPECT_EQ(Read(onServer_, jetSql), Read(onFile_, jetSql)) << jetSql; }

    FreshDatabase file_;
    std::unique_ptr<ServerFreshDatabase> server_;
    jet::Connection onFile_, onServer_;
};

// Every table and view of schema.sql, with its columns as schema.sql names
// them, the row identity hidden.
TEST_F(ServerSchema, EveryTableAndViewWithItsColumns)
{
    for (const std::string& t : qtmv::db::SchemaTables())
        expectSame("select * from [" + t + "] where 1 = 0");
    for (const auto& k : qtmv::ProcessKinds())
        expectSame("select * from [" + std::string(k.preScheduleTable) + "] where 1 = 0");
}

TEST_F(ServerSchema, KeysCompareAsJetDoesAndDefaultsFill)
{
    both("insert into [PRINTING_S] (ID, INO, PO, [NO]) values ('1131204001', 1, 'ab1130001', 1)");
    expectSame("select ID, PO, FDATE, REM, QTY from [PRINTING_S] where PO = 'AB1130001' and [NO] = 1");
    expectSame("select count(*) as N from [PRINTING_S] where PO like 'AB%'");
    // (The file's keys: SchemaTest's table walk.)
    EXPECT_THROW(onServer_.execute("insert into [PRINTING_S] (ID, INO, PO, [NO]) values ('1131204001', 1, 'X', 1)"),
                 jet::Error);
    // A key numbered by the database itself.
    both("insert into [PHRASE] ([KIND], [ITEM], [DESC]) values ('Z-雜項', '機別', 'M1')");
    expectSame("select ID, [DESC] from [PHRASE] ");
}

// The analysis view: its kind and machine found from the piece, its times
// cut from the texts, its numbers read from text as SQLite reads them.
TEST_F(ServerSchema, AnalysisViewReadsAsOnTheFile)
{
    both("insert into [PWORK] (PO, [DESC]) values ('1131200001', '食品彩盒 350g白銅')");
    both("insert into [EMPLOYEE] (ID, NAME) values ('A013', '林建宏')");
    both("insert into [印刷產能資料] (機別, 每時產能) values ('海德堡四色機', 8000)");
    both("insert into [PRINTING] (PO, [NO], QTY, AMT) values ('1131200001', 1, 5000, 12000)");
    both("insert into [預排資料明細] (ID, INO, KIND, PO, [NO], 機別) values ('1131204001', 1, '印 刷', '1131200001', 1, "
         "'海德堡四色機'), ('1131204001', 2, '印 刷', '1131200001', 2, '小森五色機')");
    both("insert into [預排資料耗時明細] (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量, 經辦代號, 耗時, "
         "不良數) values ('1131204001', '1131200001', 1, 1, 'D-印刷', '海德堡四色機', '1131204 0830', '1131204 1015', "
         "2500, 'A013', '1.75', 12), ('1131204001', '1131200001', 2, 2, '', '', '1131204 0830', '', 0, '', '', 0)");
    expectSame("select KIND, 機別, 經辦代號, 經辦, 完成數, 耗時, 不良數量, 結束1, PO, [NO], 開始時間, 結束時間, PKEY, "
               "PKEY1, [DESC], 時標準量, QTY, SUM from [不良分析4] order by PKEY");
}

// A plant's database made before the program's own tables existed gets the
// missing ones (with their indexes) and keeps what it has, on either engine;
// so does the suite's SYSPOLOCK1 made without the program's columns.
void ExpectMissingProgramTablesAndColumnsAdded(jet::Connection& c)
{
    c.execute("drop table [日報異動紀錄]");
    c.execute("drop table [色號目標值]");
    c.execute("insert into [品檢允收不良率] ([KIND], 允收率) values ('D-印刷', 2.5)");
    EXPECT_EQ(qtmv::db::AddMissingProgramTables(c), (std::vector<std::string>{"日報異動紀錄", "色號目標值"}));
    EXPECT_TRUE(qtmv::db::AddMissingProgramTables(c).empty());
    c.execute("insert into [日報異動紀錄] (時間, ID, INO, 欄位, 舊值, 新值) values ('1151206 1530', 'P1', 1, '完工日', '', "
              "'12/06-15')");
    c.execute("insert into [色號目標值] (色號, L, A, B) values ('PANTONE 185C', 47.5, 71.2, 42.1)");
    EXPECT_EQ(Read(c, "select h.新值, r.允收率 from [日報異動紀錄] h, [品檢允收不良率] r "
                      "where h.ID = 'p1' and r.[KIND] = 'D-印刷'"),
              (Rows{{"新值", "允收率"}, {"12/06-15", "2.5"}}));

    // The tables all there, the columns alone are added.
    for (const char* column : {"製程", "鎖定時間"})
        c.executeNative(c.onServer() ? std::string("alter table \"syspolock1\" drop column \"") + column + "\""
                                     : std::string("alter table [SYSPOLOCK1] drop column [") + column + "]");
    c.execute("insert into [SYSPOLOCK1] (ID, COMPUTER, [USER], 工單單號, 工單序, 單號) "
              "values ('工務', 'PC2', '李大同', 'P001', 1, 'D001')");
    EXPECT_EQ(qtmv::db::AddMissingProgramTables(c), (std::vector<std::string>{"SYSPOLOCK1.製程", "SYSPOLOCK1.鎖定時間"}));
    EXPECT_TRUE(qtmv::db::AddMissingProgramTables(c).empty());
    EXPECT_EQ(Read(c, "select [USER], 製程, 鎖定時間 from [SYSPOLOCK1] where 單號 = 'd001'"),
              (Rows{{"USER", "製程", "鎖定時間"}, {"李大同", "", ""}}));

    // Colour targets kept before they had tolerances: every row stays; the
    // added columns are null, and numbers.
    for (const char* column : {"容許色差", "濃度目標", "濃度容許"})
        c.executeNative(c.onServer() ? std::string("alter table \"色號目標值\" drop column \"") + column + "\""
                                     : std::string("alter table [色號目標值] drop column [") + column + "]");
    c.execute("insert into [色號目標值] (色號, L, A, B, 備註) values ('K', 16, 0, 0, 'ISO')");
    EXPECT_EQ(qtmv::db::AddMissingProgramTables(c),
              (std::vector<std::string>{"色號目標值.容許色差", "色號目標值.濃度目標", "色號目標值.濃度容許"}));
    EXPECT_TRUE(qtmv::db::AddMissingProgramTables(c).empty());
    c.execute("update [色號目標值] set 容許色差 = 2.5, 濃度目標 = 1.45 where 色號 = 'k'");
    EXPECT_EQ(Read(c, "select count(*) as N, sum(iif(容許色差 < 10 and 濃度目標 > 1.4 and 濃度容許 is null and "
                      "備註 = 'ISO', 1, 0)) as K from [色號目標值]"),
              (Rows{{"N", "K"}, {"2", "1"}}));

    // The load's indexes on suite tables: a missing one is added, unless its
    // table lacks a column it holds.
    const bool server = c.onServer();
    auto index = [&](const std::string& name) {
        return Read(c, server ? "select indexname from pg_indexes where indexname = lower('" + name + "')"
                              : "select name from sqlite_master where name = '" + name + "'").size() > 1;
    };
    c.executeNative(server ? "drop index \"ix_paper_po_no_fdate_item\"" : "drop index [IX_PAPER_PO_NO_FDATE_ITEM]");
    c.executeNative(server ? "drop index \"ix_glaze_po_no_item\"" : "drop index [IX_GLAZE_PO_NO_ITEM]");
    c.executeNative(server ? "alter table \"glaze\" drop column \"item\"" : "alter table [GLAZE] drop column ITEM");
    ASSERT_FALSE(index("IX_PAPER_PO_NO_FDATE_ITEM"));
    EXPECT_EQ(qtmv::db::AddMissingProgramTables(c), (std::vector<std::string>{"IX_PAPER_PO_NO_FDATE_ITEM"}));
    EXPECT_TRUE(index("IX_PAPER_PO_NO_FDATE_ITEM"));
    EXPECT_FALSE(index("IX_GLAZE_PO_NO_ITEM"));
    EXPECT_TRUE(qtmv::db::AddMissingProgramTables(c).empty());
}

TEST(ProgramTables, MissingOnesAreAddedToAFileDatabase)
{
    FreshDatabase file;
    jet::Connection c;
    c.open(file.connectionString());
    ExpectMissingProgramTablesAndColumnsAdded(c);
}

TEST_F(ServerSchema, MissingProgramTablesAreAddedToAServerDatabase)
{
    ExpectMissingProgramTablesAndColumnsAdded(onServer_);
}

} // namespace
