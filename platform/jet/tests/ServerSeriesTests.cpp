// Which statements of a series a server gets prepared, and with what.
#include "platform/jet/ServerSeries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace jet {
namespace {

TEST(ServerSeries, RepeatedPlainUpdatesArePreparedOnceAndRunInTheirOrder)
{
    const std::vector<std::string> sqls{
        "update \"printing_s\" set 完工說明 = 'a', FDATE = '1131204' where ID = 'X1' and INO = 4",
        "update 預排資料明細 set 完工說明 = 'it''s' where ID = 'X1' and INO = 4 and (KIND = '印 刷');",
        "select 1",
        "update \"printing_s\" set 完工說明 = 'b', FDATE = '' where ID = 'x2' and INO = 10",
        "update 預排資料明細 set 完工說明 = 'c' where ID = 'X2' and INO = 10 and (KIND = '印 刷')",
    };
    const ServerSeries s = PrepareRepeated(sqls, "p");
    const std::vector<std::string> expected{
        "prepare p1 as update \"printing_s\" set 完工說明 = $1, FDATE = $2 where ID = $3 and INO = $4",
        "execute p1('a', '1131204', 'X1', 4)",
        "prepare p2 as update 預排資料明細 set 完工說明 = $1 where ID = $2 and INO = $3 and (KIND = $4)",
        "execute p2('it''s', 'X1', 4, '印 刷')",
        "select 1",
        "execute p1('b', '', 'x2', 10)",
        "execute p2('c', 'X2', 10, '印 刷')",
        "deallocate p1",
        "deallocate p2",
    };
    EXPECT_EQ(s.sqls, expected);
    EXPECT_EQ(s.origin, (std::vector<int>{0, 0, 1, 1, 2, 3, 4, -1, -1}));
    ASSERT_EQ(s.prepared.size(), 2u);
    EXPECT_EQ(s.prepared[1].prepareAt, 2u);
    EXPECT_EQ(s.prepared[1].deallocateAt, 8u);
}

// A value a parameter could take otherwise than the literal does (a
// decimal, a sign, null, a number beyond an integer's digits), an
// expression, a parameter already in the text or another statement: sent
// as written, however often.
TEST(ServerSeries, OtherStatementsAreSentAsWritten)
{
    for (const std::string sql : {"update T set A = 1.5 where ID = 'a'", "update T set A = -1 where ID = 'a'",
                                   "update T set A = null where ID = 'a'", "update T set A = 1234567890 where ID = 'a'",
                                   "update T set A = 'x' where ID = 'a' or ID = 'b'", "update T set A = B where ID = 'a'",
                                   "update T set A = 'x' where lower(ID) = 'a'", "update T set A = 'x' where ID = 'a' x",
                                   "update T set A = 'x' from U where ID = 'a'", "update T set A = 'x'",
                                   "delete from T where ID = 'a'", "update T set A = 'x where ID = 'a'",
                                   "update T set A = 'x' where $1 = 'a'"}) {
        const ServerSeries s = PrepareRepeated({sql, sql}, "p");
        EXPECT_EQ(s.sqls, (std::vector<std::string>{sql, sql})) << sql;
        EXPECT_TRUE(s.prepared.empty()) << sql;
    }
    // Once is not worth a prepare.
    EXPECT_EQ(PrepareRepeated({"update T set A = 'x' where ID = 'a'"}, "p").sqls,
              (std::vector<std::string>{"update T set A = 'x' where ID = 'a'"}));
}

} // namespace
} // namespace jet
