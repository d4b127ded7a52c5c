#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Value.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

namespace jet {
namespace {

TEST(Value, TextAsJetShowsIt)
{
    EXPECT_EQ(Value().text(), "");
    EXPECT_EQ(Value(nullptr).trimmed(), "");
    const std::pair<double, const char*> numbers[] = {
        {1.5, "1.5"},           {2.0, "2"},     {-0.0, "0"},         {0.1 + 0.2, "0.3"},    {1234567.25, "1234567.25"},
        {123456789012345.0, "123456789012345"}, {1e15, "1E+15"},     {0.0001, "0.0001"},    {0.00001, "1E-05"}};
    for (const auto& [number, text] : numbers)
        EXPECT_EQ(Value(number).text(), text) << number;
    EXPECT_EQ(Value(-42LL).text(), "-42");
    EXPECT_EQ(Value(" 12 ").number(), 12);
    EXPECT_EQ(Value().number(), 0);
}

TEST(SqlNumber, AlwaysAPlainLiteral)
{
    EXPECT_EQ(SqlNumber(-0.0), "0");
    EXPECT_EQ(SqlNumber(1e20), "100000000000000000000");
    EXPECT_EQ(SqlNumber(1e-7), "0.0000001");
    EXPECT_EQ(SqlNumber(12), "12");
    EXPECT_EQ(SqlNumber(3000000000LL), "3000000000");
    for (const double x : {0.1, 1.0 / 3, 123456.789, -9.87654321e-3})
        EXPECT_EQ(std::stod(SqlNumber(x)), x) << SqlNumber(x);
    EXPECT_THROW(SqlNumber(HUGE_VAL), Error);
    EXPECT_THROW(SqlNumber(std::nan("")), Error);
}

TEST(SqlText, QuotedRemarkRoundTripsChangingOnlyItsRow)
{
    testing::TempDatabase db("create table T (ID text, REM text);"
                             "insert into T values ('A', 'x'), ('B', 'y');");
    Connection c;
    c.open(db.connectionString());
    const std::string remark = "O'Neil 5' x 3'";
    EXPECT_EQ(c.execute("update [T] set REM = '" + SqlText(remark) + "' where ID = 'A'"), 1);
    Recordset rs;
    rs.open("select REM from [T] where ID = 'A'", c);
    EXPECT_EQ(rs.field("REM").text(), remark);
}

TEST(SqlVal, RegisteredOnEveryConnectionWithNullsKept)
{
    testing::TempDatabase db;
    for (int round = 0; round < 2; ++round) {
        Connection c;
        c.open(db.connectionString());
        Recordset rs;
        // The texts themselves are read as Val reads them (TextTests).
        rs.open("select val(null) as a, val(2.5) as b, val(' 1 2 3') as c", c);
        EXPECT_TRUE(rs.field("a").isNull());
        EXPECT_EQ(rs.field("b"), Value(2.5));
        EXPECT_EQ(rs.field("c"), Value(123));
    }
}

} // namespace
} // namespace jet
