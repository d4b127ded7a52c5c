// The half-sheet paper's margins, read per workstation user.
#include "reports/HalfSheet.h"

#include "platform/jet/Connection.h"
#include "platform/jet/tests/TempDatabase.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::reports;

TEST(ReportHalfSheet, MarginsReadInTwipsPerUserWithDefaults)
{
    jet::testing::TempDatabase db(
        "CREATE TABLE [邊界設定_半張紙] (ID TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,"
        " 上邊界 REAL DEFAULT 0, 下邊界 REAL DEFAULT 0, 左邊界 REAL DEFAULT 0, 右邊界 REAL DEFAULT 0);"
        "insert into [邊界設定_半張紙] values ('王小明', 1440, 720, 567, 0);");
    jet::Connection conn;
    conn.open(db.connectionString());
    const report::PageSetup s = ReadHalfSheetSetup(conn, "王小明");
    EXPECT_EQ(s.size, QSizeF(210, 148.5));
    EXPECT_DOUBLE_EQ(s.top, 25.4);
    EXPECT_DOUBLE_EQ(s.bottom, 12.7);
    EXPECT_NEAR(s.left, 10.0, 0.01);
    EXPECT_DOUBLE_EQ(s.right, 0);
    const report::PageSetup none = ReadHalfSheetSetup(conn, "O'Brien");   // quote must not break the query
    EXPECT_EQ(none.size, QSizeF(210, 148.5));
    EXPECT_DOUBLE_EQ(none.top, report::PageSetup{}.top);
}
