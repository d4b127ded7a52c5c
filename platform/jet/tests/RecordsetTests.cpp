#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/TextRows.h"
#include "EngineDatabase.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace jet {
namespace {

using TextTable = std::vector<std::vector<std::string>>;

// Every row read, `width` texts each; the row handed in holds texts of
// before, which each read must replace.
TextTable AllOf(TextRows rows, std::size_t width)
{
    TextTable out;
    // Wider than any read: columns past the statement's must not keep these.
    std::vector<std::string> row(8, "left over");
    while (rows.next(row, width))
        out.push_back(row);
    return out;
}

// The statements, run at once in a transaction, fail naming the table that is not there.
void ExpectFailsAtNoSuch(Connection& c, const std::vector<std::string>& statements)
{
    try {
        Transaction tx(c);
        c.executeAll(statements);
        ADD_FAILURE() << "a failed statement was not told: " << statements.front();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("NOSUCH"), std::string::npos) << e.what();
    }
}

// Every case runs on an SQLite file and on a server database.
class RecordsetTest : public ::testing::TestWithParam<testing::Engine> {
protected:
    std::unique_ptr<testing::EngineDatabase> db_;
    Connection c;
    Connection other; // a second workstation

    void SetUp() override
    {
        QTMV_SKIP_WITHOUT_SERVER(GetParam());
        db_ = std::make_unique<testing::EngineDatabase>(GetParam());
        db().table("PRINTING_S", "ID text, INO integer, PO text, [NO] integer, REM text, FDATE text, QTY real, "
                                 "FLAG text default 'N'");
        db().table("SYSUSER1", "ID text, FUNC text, LPID integer, NOTE text default '-'");
        db().exec("create view 印刷預排表 as select * from PRINTING_S");
        c.open(db().connectionString());
        other.open(db().connectionString());
        c.execute("insert into [PRINTING_S] (ID, INO, PO, [NO], REM, FDATE, QTY, FLAG) values "
                  "('S1', 1, 'P1', 1, ' first ', '', 1.5, 'Y'), ('S1', 2, 'P1', 2, null, null, 2.0, 'Y'), "
                  "('S2', 1, 'P2', 1, 'third', '1130101', 3, 'Y')");
    }
    const testing::EngineDatabase& db() const { return *db_; }
    void openForEdit(Recordset& rs, const std::string& sql)
    {
        rs.open(sql, c, CursorLocation::Client, CursorType::Dynamic, LockType::Optimistic);
    }
    // update() refuses with RowChanged, naming each of the words; the pending edit is dropped.
    static void expectRowChanged(Recordset& rs, std::initializer_list<std::string> words)
    {
        testing::ExpectError([&] { rs.update(); }, Error::Kind::RowChanged, words);
        rs.cancelUpdate();
    }
};

TEST_P(RecordsetTest, ClientStaticReadsEverythingAndNavigates)
{
    Recordset rs;
    rs.open("select * from [PRINTING_S] order by ID, INO", c);
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.text("rem"), "first");            // case-insensitive, trimmed
    EXPECT_EQ(rs.field("REM").text(), " first ");  // joined with "", not trimmed
    EXPECT_EQ(rs.field("[NO]"), Value(1));
    rs.moveNext();
    EXPECT_EQ(rs.text("REM"), "");                 // null reads as ""
    rs.moveLast();
    EXPECT_EQ(rs.absolutePosition(), 2);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.absolutePosition(), -1);
    EXPECT_THROW(rs.moveNext(), Error);
    EXPECT_THROW(rs.field("ID"), Error);
    rs.moveFirst();
    rs.movePrevious();
    EXPECT_TRUE(rs.bof());
    EXPECT_THROW(rs.movePrevious(), Error);
    rs.moveNext();
    EXPECT_EQ(rs.text("ID"), "S1");
    EXPECT_EQ(rs.fieldIndex("missing"), -1);
    EXPECT_THROW(rs.field("missing"), Error);

    Recordset empty;
    empty.open("select * from [PRINTING_S] where ID = 'none'", c);
    EXPECT_EQ(empty.recordCount(), 0);
    EXPECT_TRUE(empty.bof());
    EXPECT_TRUE(empty.eof());
}

TEST_P(RecordsetTest, ServerForwardOnlyStepsLazily)
{
    Recordset rs;
    // Texts shorter and longer than the row before, a null and a number
    // between them: each row read into the last one's values shows its own.
    rs.open("select ID, INO, REM, QTY from [PRINTING_S] order by ID, INO", c, CursorLocation::Server,
            CursorType::ForwardOnly, LockType::ReadOnly);
    EXPECT_EQ(rs.recordCount(), -1);
    EXPECT_FALSE(rs.bof());
    EXPECT_THROW(rs.moveFirst(), Error);
    std::vector<std::string> seen;
    for (; !rs.eof(); rs.moveNext()) {
        EXPECT_EQ(rs.rows().size(), 1u); // only the current row is held
        seen.push_back(std::to_string(rs.absolutePosition()) + rs.field("ID").text() + "|" + rs.field("REM").text()
                       + "|" + rs.field("QTY").text() + "|" + (rs.field("REM").isNull() ? "null" : ""));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"0S1| first |1.5|", "1S1||2|null", "2S2|third|3|"}));
    EXPECT_FALSE(rs.bof());
    rs.close();
    EXPECT_FALSE(rs.isOpen());

    rs.open("select * from [SYSUSER1] ", c, CursorLocation::Server, CursorType::ForwardOnly, LockType::ReadOnly);
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
}

TEST_P(RecordsetTest, StatementWithoutRowsLeavesItClosed)
{
    Recordset rs;
    rs.open("update [PRINTING_S] set FLAG = 'Z' where ID = 'S1'", c);
    EXPECT_FALSE(rs.isOpen());
    EXPECT_EQ(rs.recordsAffected(), 2);
    EXPECT_THROW(rs.eof(), Error);
}

TEST_P(RecordsetTest, UpdateAndMovingOnWriteOnlyTheChangedFields)
{
    Recordset rs;
    openForEdit(rs, "select ID, INO, REM from [PRINTING_S] where ID = 'S1' and INO = 1");
    ASSERT_EQ(rs.recordCount(), 1);
    // Meanwhile another workstation stamps the finish date of the same row.
    other.execute("update [PRINTING_S] set FDATE = '1130202' where ID = 'S1' and INO = 1");
    rs.set("REM", "O'Neil 5' x 3'");
    EXPECT_EQ(rs.text("REM"), "O'Neil 5' x 3'"); // the new value reads back before update()
    rs.update();
    EXPECT_EQ(db().scalar("select REM || '|' || FDATE from PRINTING_S where ID = 'S1' and INO = 1"),
              "O'Neil 5' x 3'|1130202");

    // A second change of the same row builds on what this recordset wrote.
    rs.set("REM", "again");
    rs.update();
    EXPECT_EQ(db().scalar("select REM from PRINTING_S where ID = 'S1' and INO = 1"), "again");

    // A row read with nulls is found again by them.
    Recordset nulls;
    openForEdit(nulls, "select top 1 * from [PRINTING_S] where ID = 'S1' and INO = 2");
    nulls.set("REM", "was null");
    nulls.set("FDATE", "1130404");
    nulls.update();
    EXPECT_EQ(db().scalar("select REM || FDATE from PRINTING_S where INO = 2"), "was null1130404");

    // Moving on writes a pending edit; closing drops one.
    Recordset all;
    openForEdit(all, "select * from [PRINTING_S] order by ID, INO");
    all.set("FLAG", "A");
    all.moveNext();
    EXPECT_EQ(db().scalar("select FLAG from PRINTING_S where ID = 'S1' and INO = 1"), "A");
    all.set("FLAG", "B");
    all.close();
    EXPECT_EQ(db().scalar("select FLAG from PRINTING_S where ID = 'S1' and INO = 2"), "Y");
}

TEST_P(RecordsetTest, ConflictsWithAnotherWorkstation)
{
    Recordset rs;
    openForEdit(rs, "select * from [PRINTING_S] where ID = 'S1' order by INO");
    ASSERT_EQ(rs.recordCount(), 2);
    other.execute("update [PRINTING_S] set REM = 'theirs' where ID = 'S1' and INO = 1");
    rs.set("REM", "mine");
    expectRowChanged(rs, {"修改", "REM", "PRINTING_S"});
    EXPECT_EQ(db().scalar("select REM from PRINTING_S where ID = 'S1' and INO = 1"), "theirs");

    // The second row vanishes; a null read is compared as null.
    rs.moveNext();
    other.execute("delete from [PRINTING_S] where ID = 'S1' and INO = 2");
    rs.set("FDATE", "1130303");
    expectRowChanged(rs, {"刪除"});
    EXPECT_EQ(db().scalar("select count(*) from PRINTING_S"), "2");
}

TEST_P(RecordsetTest, AddNewTakesDefaultsAndBecomesCurrent)
{
    Recordset rs;
    openForEdit(rs, "select top 1 * from [SYSUSER1] where ID = '" + SqlText("PC1\\王") + "' and FUNC = '"
                        + SqlText("日報登錄作業") + "' ");
    ASSERT_EQ(rs.recordCount(), 0);
    rs.addNew();
    rs.set("ID", "PC1\\王");
    rs.set("FUNC", "日報登錄作業");
    rs.set("LPID", 4242LL);
    rs.update();
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.absolutePosition(), 0);
    EXPECT_EQ(rs.text("NOTE"), "-"); // the table's default
    EXPECT_EQ(db().scalar("select ID || '|' || FUNC || '|' || LPID || '|' || NOTE from SYSUSER1"),
              "PC1\\王|日報登錄作業|4242|-");

    // The same locator again finds the row and refreshes it: still one row.
    Recordset again;
    openForEdit(again, "select top 1 * from [SYSUSER1] where ID = 'PC1\\王' and FUNC = '日報登錄作業' ");
    ASSERT_EQ(again.recordCount(), 1);
    again.set("LPID", 7);
    again.update();
    EXPECT_EQ(db().scalar("select count(*) || '|' || max(LPID) from SYSUSER1"), "1|7");
}

TEST_P(RecordsetTest, RefusesEditsItCannotWrite)
{
    auto refused = [&](const std::string& sql, const std::string& field, const std::string& says) {
        Recordset rs;
        openForEdit(rs, sql);
        ASSERT_FALSE(rs.eof()) << sql;
        testing::ExpectError([&] { rs.set(field, "x"); }, Error::Kind::Usage, {says});
    };
    refused("select a.ID, b.REM from [PRINTING_S] a inner join [PRINTING_S] b on a.ID = b.ID", "REM", "多個資料表");
    refused("select ID, count(*) as N from [PRINTING_S] group by ID", "ID", "group by");
    refused("select ID, REM & '!' as R from [PRINTING_S]", "R", "計算");
    refused("select * from [印刷預排表] ", "REM", "不是資料表");

    Recordset ro;
    ro.open("select * from [PRINTING_S]", c);
    EXPECT_THROW(ro.set("REM", "x"), Error);
    EXPECT_THROW(ro.addNew(), Error);
    EXPECT_EQ(db().scalar("select count(*) from PRINTING_S where REM = 'x'"), "0");
}

// Rows read straight into texts give each field as a recordset's value
// shows it: numbers in Jet's form, null as "", fields beyond the statement "".
TEST_P(RecordsetTest, TextRowsGiveTheTextsOfTheValues)
{
    const std::string sql = "select ID, INO, REM, FDATE, QTY from [PRINTING_S] order by ID, INO";
    EXPECT_EQ(TextRows(c, sql).fieldCount(), 5);
    EXPECT_EQ(AllOf(TextRows(c, sql), 7), (TextTable{{"S1", "1", " first ", "", "1.5", "", ""},
                                                   {"S1", "2", "", "", "2", "", ""},
                                                   {"S2", "1", "third", "1130101", "3", "", ""}}));

    TextRows none(c, "select ID from [PRINTING_S] where ID = 'none'");
    std::vector<std::string> row;
    EXPECT_FALSE(none.next(row, 1));

    // Numbers of every form as their values write them: a server sends some
    // with an exponent, more digits than Jet shows, or as -0.
    const std::string sums = "select QTY / 3, QTY * 1000000000000000, QTY / 10000, QTY / 100000, QTY + 0.1 + 0.2, "
                             "-(QTY * 0), QTY * 2 from [PRINTING_S] order by ID, INO";
    Recordset rs;
    rs.open(sums, c);
    TextRows numbers(c, sums);
    for (; !rs.eof(); rs.moveNext()) {
        ASSERT_TRUE(numbers.next(row, 7));
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(row[static_cast<std::size_t>(i)], rs.field(i).text()) << i;
    }
    EXPECT_EQ(row, (std::vector<std::string>{"1", "3E+15", "0.0003", "3E-05", "3.3", "0", "6"}));
}

// A series gives each statement's rows in turn, the later ones complete
// however long the reader took over the first (2,187 rows, read while the
// server sends the rest). A statement that fails is told when its turn
// comes; a series left unread, or ended by a failure, leaves the
// connection free for the next statement.
TEST_P(RecordsetTest, SeriesGiveEachStatementsRowsInTurn)
{
    const std::string many = "select a.ID from [PRINTING_S] a, [PRINTING_S] b, [PRINTING_S] c, [PRINTING_S] d, "
                             "[PRINTING_S] e, [PRINTING_S] f, [PRINTING_S] g";
    {
        TextRowsSeries series(c, {many, "select REM, QTY from [PRINTING_S] order by ID, INO", many});
        EXPECT_EQ(AllOf(series.next(), 1).size(), 2187u);
        EXPECT_EQ(AllOf(series.next(), 2), (TextTable{{" first ", "1.5"}, {"", "2"}, {"third", "3"}}));
        EXPECT_EQ(AllOf(series.next(), 1).size(), 2187u);
        EXPECT_THROW(series.next(), Error);
    }
    {
        TextRowsSeries series(c, {"select ID from [PRINTING_S] where INO = 2", "select X from [NOSUCH]", many});
        EXPECT_EQ(AllOf(series.next(), 1), TextTable{{"S1"}});
        EXPECT_THROW(series.next(), Error);
    }
    EXPECT_EQ(AllOf(TextRows(c, "select count(*) from [PRINTING_S]"), 1)[0][0], "3");
    {
        TextRowsSeries unread(c, {many, many});
        unread.next();
    }
    EXPECT_EQ(AllOf(TextRows(c, "select count(*) from [PRINTING_S]"), 1)[0][0], "3");
}

// Statements run at once run in their order; the first that fails is
// told with its own text, the ones after it do not run, and the connection
// is free for the next statement.
TEST_P(RecordsetTest, StatementsRunAtOnceRunInOrderAndStopAtAFailure)
{
    const auto rems = [&] { return AllOf(TextRows(c, "select REM from [PRINTING_S] order by ID, INO"), 1); };
    const TextTable ran{{"b"}, {""}, {"c"}};
    {
        Transaction tx(c);
        c.executeAll({"update [PRINTING_S] set REM = 'a' where ID = 'S1' and INO = 1",
                      "update [PRINTING_S] set REM = 'b' where REM = 'a'",
                      "update [PRINTING_S] set REM = 'c' where ID = 'S2'"});
        tx.commit();
    }
    EXPECT_EQ(rems(), ran);
    ExpectFailsAtNoSuch(c, {"update [PRINTING_S] set REM = 'x' where ID = 'S1' and INO = 1", "update [NOSUCH] set X = 1",
                            "update [PRINTING_S] set REM = 'y' where ID = 'S2'"});
    EXPECT_EQ(rems(), ran);
    EXPECT_THROW(c.executeAll({"update [NOSUCH] set X = 1", "update [PRINTING_S] set REM = 'y' where ID = 'S2'"}),
                 Error);
    EXPECT_EQ(rems(), ran);

    // Updates of one shape, many times over and between others (a server
    // prepares such a shape once), run as written: of two values for a row
    // the later wins, a quote in a value stays. A failure among them leaves
    // nothing prepared on the connection for the statements after it.
    const auto prepared = [&] {
        return c.onServer() ? AllOf(TextRows(c, "select count(*) from pg_prepared_statements"), 1).at(0).at(0) : "0";
    };
    const TextTable shaped{{"g"}, {"i"}, {"it's"}};
    {
        Transaction tx(c);
        c.executeAll({"update [PRINTING_S] set REM = 'd' where ID = 'S1' and INO = 1",
                      "update [PRINTING_S] set FDATE = 'f' where ID = 'S2'",
                      "update [PRINTING_S] set REM = 'it''s' where ID = 'S2' and INO = 1",
                      "update [PRINTING_S] set REM = 'e' where ID = 'S1' and INO = 2 and (FLAG = 'Y')",
                      "update [PRINTING_S] set REM = 'g' where ID = 'S1' and INO = 1",
                      "update [PRINTING_S] set REM = 'h' where ID = 'S1' and INO = 2 and (FLAG = 'N')",
                      "update [PRINTING_S] set REM = 'i' where ID = 'S1' and INO = 2 and (FLAG = 'Y')"});
        tx.commit();
    }
    EXPECT_EQ(rems(), shaped);
    EXPECT_EQ(prepared(), "0");
    // A failure after a shape was prepared, and one in the preparing itself.
    for (const std::vector<std::string>& failing :
         {std::vector<std::string>{"update [PRINTING_S] set REM = 'x' where ID = 'S1' and INO = 1",
                                   "update [PRINTING_S] set REM = 'y' where ID = 'S1' and INO = 2",
                                   "update [NOSUCH] set X = 1",
                                   "update [PRINTING_S] set REM = 'z' where ID = 'S2' and INO = 1"},
          std::vector<std::string>{"update [PRINTING_S] set NOSUCH = 'a' where ID = 'S1'",
                                   "update [PRINTING_S] set NOSUCH = 'b' where ID = 'S2'"}}) {
        ExpectFailsAtNoSuch(c, failing);
        EXPECT_EQ(rems(), shaped);
    }
    c.executeAll({"update [PRINTING_S] set REM = 'j' where ID = 'S1' and INO = 1",
                  "update [PRINTING_S] set REM = 'k' where ID = 'S2' and INO = 1"});
    EXPECT_EQ(rems(), (TextTable{{"j"}, {"i"}, {"k"}}));
    EXPECT_EQ(prepared(), "0");
}

INSTANTIATE_TEST_SUITE_P(Engines, RecordsetTest, ::testing::Values(testing::Engine::SQLite, testing::Engine::Server),
                         testing::EngineName);

} // namespace
} // namespace jet
