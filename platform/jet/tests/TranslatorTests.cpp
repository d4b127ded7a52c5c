// Statement texts as the windows write them, translated and run on a real
// database with the tables they need.
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Translator.h"
#include "EngineDatabase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace jet {
namespace {

using Rows = std::vector<std::string>;

// The rows `sql` reads, each row's fields as text joined with "|".
Rows RowsOf(Connection& c, const std::string& sql)
{
    Recordset rs;
    rs.open(sql, c);
    Rows out;
    for (const auto& row : rs.rows()) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i)
            line += (i ? "|" : "") + row[i].text();
        out.push_back(line);
    }
    return out;
}

TEST(Translate, TextsThatChangeAndQuotedLiteralsThatDoNot)
{
    EXPECT_EQ(Translate("delete * from [T] where a = \"it's\""), "delete from \"T\" where a = 'it''s'");
    EXPECT_EQ(Translate("update [T] set T.a = 1, [T].[b] = T.a where T.c = 2"),
              "update \"T\" set a = 1, \"b\" = T.a where T.c = 2");
    EXPECT_EQ(Translate("select 5--1"), "select 5- -1"); // Jet's minus minus, never a comment
    const std::string lit = "'a & b [x] select top 1 IsNull(y) \"q\" -- ? ;'";
    EXPECT_EQ(Translate("select " + lit + " from T"), "select " + lit + " from T");
}

TEST(Translate, RefusesWhatItCannotTranslate)
{
    for (const char* bad : {"select 'open", "select (a from T", "select a) from T", "select * from T where a = ?",
                            "delete from T; drop table U", "select top 10 percent * from T",
                            "update A left join B on A.x = B.x set A.y = 1", "select a & from T",
                            "update A inner join B on A.x = B.x set A.y = 1, B.z = 2", "select [] from T", "",
                            "delete from [CUST] inner join [CUSTE] on CUST.ID = CUSTE.ID"}) {
        try {
            Translate(bad);
            ADD_FAILURE() << "translated: " << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), Error::Kind::Syntax) << bad;
            EXPECT_NE(e.sql().find(bad), std::string::npos) << e.description();
        }
    }
    // A NUL inside a value: cut there, this would run as another statement.
    const std::string sql("update T set REM ='a\0' where 1 = 1 --' where ID = 'x'", 53);
    testing::ExpectError([&] { Translate(sql); }, Error::Kind::Syntax, {"NUL"});
}

// Statement texts run on both engines, on the same rows.
class Statements : public ::testing::TestWithParam<testing::Engine> {
protected:
    std::unique_ptr<testing::EngineDatabase> db;
    Connection c;

    void SetUp() override
    {
        QTMV_SKIP_WITHOUT_SERVER(GetParam());
        db = std::make_unique<testing::EngineDatabase>(GetParam());
        db->table("預排資料", "ID text");
        db->table("PWORK", "PO text, CUST text, FDATE text, [DESC] text, ODATE text, EMPNO text, 貼紙 text");
        db->table("CUST", "ID text collate nocase, SNAME text collate nocase");
        db->table("EMPLOYEE", "ID text, NAME text, 部門 text");
        db->table("PRINTING_S", "ID text, INO integer, PO text, [NO] integer, 順序 text, FDATE text, REM text");
        c.open(db->connectionString());
        for (const char* seed : {
                 "insert into [預排資料] (ID) values ('S1'), ('S2')",
                 "insert into [PWORK] (PO, CUST, FDATE, [DESC], ODATE, EMPNO, 貼紙) values ('P1', 'C1', '', 'box', "
                 "'1130101', 'E1', ''), ('P2', 'C1', '1130101', 'bag', '', 'E9', ''), ('P3', 'C2', null, 'card', '', "
                 "null, '')",
                 "insert into [CUST] (ID, SNAME) values ('C1', 'One'), ('C2', 'Two'), ('C3', 'Three'), ('C4', 'Four')",
                 "insert into [EMPLOYEE] (ID, NAME, 部門) values ('E1', 'Wang', '運送部'), ('E2', 'Lee', '印刷部')",
                 "insert into [PRINTING_S] (ID, INO, PO, [NO], 順序, FDATE, REM) values ('S1', 1, 'P1', 1, '10', '', "
                 "' r1 '), ('S1', 2, 'P1', 2, '9', null, null), ('S2', 1, 'P2', 1, '1', '', ''), ('S2', 2, 'P3', 1, "
                 "'2', '1130505', ''), ('S2', 3, 'P3', 1, '9', '', ''), ('S2', 4, 'P3', 1, '9', null, '')"})
            c.execute(seed);
    }
};

// A header query: Jet's parenthesised join nesting, an alias, and fields
// named with or without their table.
TEST_P(Statements, HeaderWithNestedJoinAndAlias)
{
    Recordset rs;
    rs.open("select PWORK.PO, PWORK.ODATE, PWORK.CUST, CUST.SNAME, PWORK.EMPNO, EMPLOYEE.NAME as EMPNAME, "
            "PWORK.[DESC], PWORK.貼紙 from (CUST INNER JOIN PWORK ON CUST.ID = PWORK.CUST) LEFT JOIN EMPLOYEE ON "
            "PWORK.EMPNO = EMPLOYEE.ID where PO = 'P1' ",
            c);
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.text("EMPNAME"), "Wang");
    EXPECT_EQ(rs.text("PWORK.PO"), "P1");
    EXPECT_EQ(rs.text("PWORK.[DESC]"), "box");
    EXPECT_EQ(rs.fieldIndex("CUST.PO"), 0); // unknown table: falls back to the column name
}

TEST_P(Statements, LocatorQueriesAndNullNeutralising)
{
    EXPECT_EQ(RowsOf(c, "select PO from [PWORK] where iif(FDATE is null,'',FDATE) = '' order by PO"),
              (Rows{"P1", "P3"}));
    EXPECT_EQ(RowsOf(c, "select PO, [NO], FDATE from [PRINTING_S] where PO = 'P3' order by FDATE desc, [NO] desc, "
                        "val(順序) desc "),
              (Rows{"P3|1|1130505", "P3|1|", "P3|1|"}));
    EXPECT_EQ(RowsOf(c, "select ID from [PRINTING_S] where ID between 'S1' and 'S1zzz' and INO between 2 and 9"),
              Rows{"S1"});
}

TEST_P(Statements, ConcatenationFollowsJet)
{
    // & ranks below arithmetic; a null operand counts as "", all null is null.
    EXPECT_EQ(RowsOf(c, "select 1 + 2 & 3 * 2, 'a' & null & 1.5, -1 & 2.0, null & null, 'x' & 'a & b'"),
              Rows{"36|a1.5|-12||xa & b"});
    EXPECT_EQ(RowsOf(c, "select PO & '-' & [NO] & '/' & REM from [PRINTING_S] where ID = 'S1' order by INO"),
              (Rows{"P1-1/ r1 ", "P1-2/"}));
    EXPECT_EQ(RowsOf(c, "select ID from [PRINTING_S] where ID & '-' & INO = 'S2-' & (1 + 3)"), Rows{"S2"});
    EXPECT_EQ(RowsOf(c, "select IsNull(REM), Nz(REM, 'none'), UCase('ab'), Len('abc'), Mid('abcd', 2, 2), 7 Mod 4 "
                        "from [PRINTING_S] where ID = 'S1' and INO = 2"),
              Rows{"1|none|AB|3|bc|3"});
}

TEST_P(Statements, TopAndGroupedSums)
{
    c.execute("create table [刀模管理資料] (序 integer, 刀模代號 text)");
    c.execute("insert into [刀模管理資料] (序, 刀模代號) values (3, 'K3'), (12, 'K12'), (7, 'K7')");
    EXPECT_EQ(RowsOf(c, "select top 1 序 from [刀模管理資料] order by 序 desc"), Rows{"12"});
    EXPECT_EQ(RowsOf(c, "select 刀模代號 from [刀模管理資料] where 序 in (select top 2 序 from [刀模管理資料] order by 序) "
                        "order by 序 desc"),
              (Rows{"K7", "K3"}));

    c.execute("create table [不良分析_tmp] (ID text, 種類 text, 機別 text, 完成日期 text, 完成數 text, 耗時 text, "
              "不良數 text, 產值 text)");
    c.execute("insert into [不良分析_tmp] values ('K1', 'D-印刷', 'M1', '1130101', '10', '90', '1', '100'), "
              "('K1', 'D-印刷', 'M1', '1130101', ' 5', '30', '', '2.5'), "
              "('K1', 'D-印刷', 'M2', '1130101', '1 000', null, 'x', '0'), "
              "('K2', 'D-印刷', 'M1', '1130101', '99', '1', '1', '1')");
    EXPECT_EQ(RowsOf(c, "select ID, 種類, 機別, 完成日期, sum(val(完成數)) as 完成數, sum(val(耗時)) as 耗時, "
                        "sum(val(不良數)) as 不良數, sum(val(產值)) as 產值, count(*) as 筆數 from [不良分析_tmp] "
                        "where ID = 'K1' group by ID, 種類, 機別, 完成日期 order by 種類, 機別, 完成日期 "),
              (Rows{"K1|D-印刷|M1|1130101|15|120|1|102.5|2", "K1|D-印刷|M2|1130101|1000||0|0|1"}));
}

TEST_P(Statements, UpdateOverJoinedTables)
{
    c.execute("create table [紙品採購資料] (採購單號 text, [KIND] text)");
    c.execute("create table [紙品採購明細] (採購單號 text, PO text, [NO] integer, 紙到 text)");
    c.execute("insert into [紙品採購資料] values ('A', '紙 品'), ('B', '裱 紙')");
    c.execute("insert into [紙品採購明細] values ('A', 'P1', 1, ''), ('B', 'P1', 1, ''), ('A', 'P1', 2, ''), "
              "('A', 'P2', 1, '')");
    const std::string paper = "update [紙品採購明細] inner join [紙品採購資料] on 紙品採購明細.採購單號 = "
                              "紙品採購資料.採購單號 set 紙品採購明細.紙到 = 'Y' where 紙品採購明細.PO = '"
        + SqlText("P1") + "' and 紙品採購明細.[NO] = " + SqlNumber(1.0) + " and 紙品採購資料.[KIND] = '"
        + SqlText("紙 品") + "' ";
    EXPECT_EQ(c.execute(paper), 1);
    EXPECT_EQ(RowsOf(c, "select 採購單號, PO, [NO], 紙到 from [紙品採購明細] order by 採購單號, PO, [NO]"),
              (Rows{"A|P1|1|Y", "A|P1|2|", "A|P2|1|", "B|P1|1|"}));

    // Parenthesised nesting, an alias and two set columns.
    c.execute("create table [預排資料明細] (ID text, PO text, [NO] integer, 機別 text)");
    c.execute("insert into [預排資料明細] values ('S1', 'P1', 1, 'M1'), ('S1', 'P1', 2, 'M2')");
    EXPECT_EQ(c.execute("update ([預排資料明細] as D inner join [預排資料] on D.ID = 預排資料.ID) inner join "
                        "[PWORK] on D.PO = PWORK.PO set D.機別 = PWORK.CUST & '-' & D.[NO], D.[NO] = D.[NO] + 10 "
                        "where PWORK.PO = 'P1' And D.[NO] = 2"),
              1);
    EXPECT_EQ(RowsOf(c, "select 機別, [NO] from [預排資料明細] order by [NO]"), (Rows{"M1|1", "C1-2|12"}));
}

TEST_P(Statements, DeletesAndMaintenance)
{
    c.execute("create table [工單品檢明細] (主要檢查項目 text, 檢查標準 text, 權責單位 text, 檢驗數量 text, 不良數量 text, "
              "不良率 text, 判定 text)");
    c.execute("insert into [工單品檢明細] values ('', '', '', '0', '0', '0', ''), ('a', '', '', '0', '0', '0', ''), "
              "('', '', '', '200', '3', '1.5', 'OK')");
    EXPECT_EQ(c.execute("delete from [工單品檢明細] where 主要檢查項目 = '' And 檢查標準 = '' And 權責單位 = '' And "
                        "檢驗數量 = '0' And 不良數量 = '0' And 不良率 = '0' And 判定 = '' "),
              1);
    EXPECT_EQ(c.execute("delete * from [工單品檢明細] where 判定 = 'OK'"), 1);
    EXPECT_EQ(c.execute("delete [工單品檢明細].* from [工單品檢明細]"), 1);
}

// What Jet compares without regard to case, and its val() and iif().
TEST_P(Statements, CaseAndNumbersAsJetReadsThem)
{
    EXPECT_EQ(RowsOf(c, "select ID from [CUST] where SNAME = 'ONE' or ID = 'c2' order by ID"), (Rows{"C1", "C2"}));
    EXPECT_EQ(RowsOf(c, "select ID from [CUST] where SNAME like '%HRE%'"), Rows{"C3"});
    EXPECT_EQ(RowsOf(c, "select NAME from [EMPLOYEE] where NAME like 'wa%' and 部門 like '%運送%'"), Rows{"Wang"});
    EXPECT_EQ(RowsOf(c, "select val('1 2 3'), val(' 12abc'), val('x'), val('-1.5e2'), val('&H1F'), val(''), "
                        "iif(val(null) is null, 'null', 'set'), iif(1 = 2, 'a', iif(2 = 2, 'b', 'c'))"),
              Rows{"123|12|0|-150|31|0|null|b"});
    EXPECT_EQ(RowsOf(c, "select 順序 from [PRINTING_S] where ID = 'S2' order by val(順序) desc, INO"),
              (Rows{"9", "9", "2", "1"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, Statements, ::testing::Values(testing::Engine::SQLite, testing::Engine::Server),
                         testing::EngineName);

} // namespace
} // namespace jet
