#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Value.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace jet {
namespace {

TEST(Val, LeadingNumberOfOddTexts)
{
    EXPECT_EQ(val("12abc"), 12);
    EXPECT_EQ(val(""), 0);
    EXPECT_EQ(val(" 1 2 3"), 123);
    EXPECT_EQ(val("-3.5e2x"), -350);
    EXPECT_EQ(val("abc"), 0);
    EXPECT_EQ(val("1.2.3"), 1.2);
    EXPECT_EQ(val("  -  7"), -7);
    EXPECT_EQ(val(".5"), 0.5);
    EXPECT_EQ(val("1e"), 1);        // an exponent without digits is not one
    EXPECT_EQ(val("2D3"), 2000);    // Jet's D exponent
    EXPECT_EQ(val("1,000"), 1);
    EXPECT_EQ(val("&H1F"), 31);
    EXPECT_EQ(val("&HFFFF"), -1);   // 16-bit values read signed, as in Jet
    EXPECT_EQ(val("&O17"), 15);
    EXPECT_TRUE(std::isinf(val("1e999")));
    EXPECT_FALSE(std::signbit(val("-0")));
}

TEST(Value, TextAsJetShowsIt)
{
    EXPECT_EQ(Value().text(), "");
    EXPECT_EQ(Value(nullptr).trimmed(), "");
    EXPECT_EQ(Value(1.5).text(), "1.5");
    EXPECT_EQ(Value(2.0).text(), "2");
    EXPECT_EQ(Value(-0.0).text(), "0");
    EXPECT_EQ(Value(0.1 + 0.2).text(), "0.3");
    EXPECT_EQ(Value(1234567.25).text(), "1234567.25");
    EXPECT_EQ(Value(123456789012345.0).text(), "123456789012345");
    EXPECT_EQ(Value(1e15).text(), "1E+15");
    EXPECT_EQ(Value(0.0001).text(), "0.0001");
    EXPECT_EQ(Value(0.00001).text(), "1E-05");
    EXPECT_EQ(Value(-42LL).text(), "-42");
    EXPECT_EQ(Value(" 12 ").number(), 12);
    EXPECT_EQ(Value().number(), 0);
    EXPECT_EQ(Value(7).number(), 7);
}

TEST(Trim, BlanksIncludingFullWidthSpace)
{
    EXPECT_EQ(trim(" \t 王大明\r\n"), "王大明");
    EXPECT_EQ(trim("\xE3\x80\x80" "印 刷" "\xE3\x80\x80 "), "印 刷");
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(trim(""), "");
}

TEST(SqlNumber, AlwaysAPlainLiteral)
{
    EXPECT_EQ(sqlNumber(5.0), "5");
    EXPECT_EQ(sqlNumber(-2.5), "-2.5");
    EXPECT_EQ(sqlNumber(0.0), "0");
    EXPECT_EQ(sqlNumber(-0.0), "0");
    EXPECT_EQ(sqlNumber(1e20), "100000000000000000000");
    EXPECT_EQ(sqlNumber(1e-7), "0.0000001");
    EXPECT_EQ(sqlNumber(12), "12");
    EXPECT_EQ(sqlNumber(3000000000LL), "3000000000");
    for (const double x : {0.1, 1.0 / 3, 123456.789, -9.87654321e-3})
        EXPECT_EQ(std::stod(sqlNumber(x)), x) << sqlNumber(x);
    EXPECT_THROW(sqlNumber(HUGE_VAL), Error);
    EXPECT_THROW(sqlNumber(std::nan("")), Error);
}

TEST(SqlText, QuotedRemarkRoundTripsAndCannotChangeTheStatement)
{
    testing::TempDatabase db("create table T (ID text, REM text);"
                             "insert into T values ('A', 'x'), ('B', 'y');");
    Connection c;
    c.open(db.connectionString());
    const std::string remark = "O'Neil 5' x 3'";
    EXPECT_EQ(sqlText(remark), "O''Neil 5'' x 3''");
    EXPECT_EQ(c.execute("update [T] set REM = '" + sqlText(remark) + "' where ID = 'A'"), 1);
    Recordset rs;
    rs.open("select REM from [T] where ID = 'A'", c);
    EXPECT_EQ(rs.field("REM").text(), remark);

    // Typed text stays a value: it matches no key and changes nothing.
    const std::string typed = "x' or '1'='1";
    EXPECT_EQ(c.execute("delete from [T] where ID = '" + sqlText(typed) + "'"), 0);
    EXPECT_EQ(c.execute("update [T] set REM = '" + sqlText(typed) + "' where ID = 'B'"), 1);
    EXPECT_EQ(db.scalar("select count(*) from T"), "2");
    EXPECT_EQ(db.scalar("select REM from T where ID = 'B'"), typed);
    EXPECT_EQ(db.scalar("select REM from T where ID = 'A'"), remark);
}

TEST(SqlVal, RegisteredOnEveryConnectionWithNullsKept)
{
    testing::TempDatabase db;
    for (int round = 0; round < 2; ++round) {
        Connection c;
        c.open(db.connectionString());
        Recordset rs;
        rs.open("select val(null) as a, val(12) as b, val(2.5) as c, val('12abc') as d, val(' 1 2 3') as e, "
                "val('') as f, val('-3.5e2x') as g, val('abc') as h",
                c);
        EXPECT_TRUE(rs.field("a").isNull());
        EXPECT_EQ(rs.field("b"), Value(12));
        EXPECT_EQ(rs.field("c"), Value(2.5));
        EXPECT_EQ(rs.field("d"), Value(12));
        EXPECT_EQ(rs.field("e"), Value(123));
        EXPECT_EQ(rs.field("f"), Value(0));
        EXPECT_EQ(rs.field("g"), Value(-350));
        EXPECT_EQ(rs.field("h"), Value(0));
    }
}

} // namespace
} // namespace jet
