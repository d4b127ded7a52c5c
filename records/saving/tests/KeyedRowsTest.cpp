// Rows read at once for many keys must be the rows each key's own statement
// finds, on either engine, and a set must write only what differs.
#include "records/saving/KeyedRows.h"

#include "db/testing/EngineFreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/text/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace qtmv::daily;
using qtmv::db::test::Engine;
using qtmv::db::test::EngineFreshDatabase;

namespace {

class KeyedRowsTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        QTMV_SKIP_WITHOUT_TEST_SERVER(GetParam());
        db = std::make_unique<EngineFreshDatabase>(GetParam());
        conn.open(db->session().ConnectionString);
    }
    std::unique_ptr<EngineFreshDatabase> db;
    jet::Connection conn;
};

} // namespace

// Keys as a grid gives them: in another case, with blanks around, a number
// written as text, a line that is not there, a work order whose letters are
// beyond ASCII (which the engines fold differently), and more keys than one
// statement takes.
TEST_P(KeyedRowsTest, EachKeyHasTheRowsItsOwnStatementFinds)
{
    db->exec("insert into [PRINTING] (PO, [NO], FDATE) values ('A100', 1, 'x'), ('A100', 2, 'y'), ('B200', 1, ''), "
             "('Ü9', 1, 'z'), ('ü9', 2, 'w')");
    std::vector<std::pair<std::string, std::string>> keys{{"a100", "1"}, {" A100 ", "2.0"}, {"A100", "3"},
                                                          {"b200", "1"},  {"C300", "1"},     {"ü9", "1"},
                                                          {"Ü9", "2"},    {"Ü9", "1"}};
    for (int i = 0; i < 450; ++i) {
        const std::string po = "P" + std::to_string(1000 + i);
        db->exec("insert into [PRINTING] (PO, [NO], FDATE) values ('" + po + "', 1, '" + std::to_string(i) + "')");
        keys.emplace_back(i % 2 ? po : "p" + po.substr(1), "1");
    }
    KeyedRows read(conn, {"[PRINTING]", "PO", "[NO]", {"FDATE"}, "", ""}, keys);
    for (const auto& [po, no] : keys) {
        SCOPED_TRACE(po + " " + no);
        const std::string where = "where PO = '" + qtmv::Trim(po) + "' and [NO] = " + no;
        const auto& rows = read.rows(po, no);
        ASSERT_EQ(static_cast<long long>(rows.size()), db->count("select * from [PRINTING] " + where));
        if (rows.size() == 1) {
            EXPECT_EQ(read.value(rows.front(), "FDATE").text(), db->value("select FDATE from [PRINTING] " + where));
        }
    }
    EXPECT_EQ(read.rows("P1449", "1").size(), 1u);   // the last key, past the first statement's share
    EXPECT_TRUE(read.rows("A100", "3").empty());
}

// A further condition, several rows for one key (no single row: the table
// is left alone), a null written as the empty text, the same text not
// written again, and a later set comparing with what an earlier one wrote.
TEST_P(KeyedRowsTest, SetWritesOnlyWhatDiffersOnASingleRowAndRemembersIt)
{
    db->exec("insert into [VENDERAC] (PO, [NO], [KIND], ODATE, EAMT) values ('A1', 1, '印 刷', null, 0), "
             "('A1', 1, '上 光', 'keep', 0), ('A1', 2, '印 刷', 'a', 0), ('A1', 2, '印 刷', 'b', 0), "
             "('A1', 3, '印 刷', 'old', 5)");
    const std::vector<std::pair<std::string, std::string>> keys{{"a1", "1"}, {"A1", "2"}, {"A1", "3"}};
    KeyedRows orders(conn, {"[VENDERAC]", "PO", "[NO]", {"ODATE"}, "KIND = '印 刷' and EAMT = 0", ""}, keys);
    auto stored = [&](const std::string& no) {
        return db->rows("select ODATE from [VENDERAC] where [NO] = " + no + " and [KIND] = '印 刷' order by ODATE");
    };

    std::vector<std::string> writes;
    auto set = [&](const char* po, const char* no, const char* odate) {
        return orders.set(po, no, {{"ODATE", odate}}, &writes);
    };

    EXPECT_TRUE(set("a1", "1", ""));   // null is not the empty text
    EXPECT_FALSE(set("A1", "1", ""));
    EXPECT_EQ(orders.only("A1", "2"), nullptr);
    EXPECT_FALSE(set("A1", "2", "c"));
    EXPECT_FALSE(set("A1", "3", "c"));   // not of the condition
    EXPECT_EQ(writes.size(), 1u);
    conn.executeAll(writes);
    writes.clear();
    EXPECT_EQ(stored("1"), (std::vector<std::vector<std::string>>{{""}}));
    EXPECT_EQ(db->value("select ODATE from [VENDERAC] where [KIND] = '上 光'"), "keep");
    EXPECT_EQ(stored("2"), (std::vector<std::vector<std::string>>{{"a"}, {"b"}}));
    EXPECT_EQ(stored("3"), (std::vector<std::vector<std::string>>{{"old"}}));

    // Two rows of the grid on one line, the second (its cell padded) putting
    // back what was there: both updates run, in their order.
    EXPECT_TRUE(set("A1", "1", "1204"));
    EXPECT_TRUE(set(" A1 ", "1", ""));
    conn.executeAll(writes);
    writes.clear();
    EXPECT_EQ(stored("1"), (std::vector<std::vector<std::string>>{{""}}));

    // A dry run changes only what it read.
    EXPECT_TRUE(orders.set("A1", "1", {{"ODATE", "dry"}}, nullptr));
    EXPECT_EQ(orders.value(*orders.only("A1", "1"), "ODATE").text(), "dry");
    EXPECT_EQ(stored("1"), (std::vector<std::vector<std::string>>{{""}}));
}

INSTANTIATE_TEST_SUITE_P(Engines, KeyedRowsTest, ::testing::Values(Engine::SQLite, Engine::Server),
                         qtmv::db::test::EngineName);
