// A query's rows as a report's data.
#include "reports/RecordsetRows.h"

#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/tests/TempDatabase.h"

#include <gtest/gtest.h>

using namespace qtmv;

TEST(RecordsetRows, EveryRowAndColumnWithItsValuesAsRead)
{
    jet::testing::TempDatabase db(
        "create table [印前預排表] (ID text, PO text, QTY integer, AMT real, REM text);"
        "insert into [印前預排表] values ('P001', 'W1130002', 3, 800.5, ' 急件 ');"
        "insert into [印前預排表] values ('P001', 'W1130001', 12, 1200, null);");
    jet::Connection conn;
    conn.open(db.connectionString());
    jet::Recordset rs;
    rs.open("select ID, PO as 工單單號, QTY, AMT, REM from [印前預排表] order by PO", conn);
    const report::DataTable t = reports::TableOf(rs);

    EXPECT_EQ(t.columns(), (std::vector<std::string>{"ID", "工單單號", "QTY", "AMT", "REM"}));
    ASSERT_EQ(t.rowCount(), 2u);
    const std::vector<report::Value>& first = t.row(0);
    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(first[0], report::Value("P001"));
    EXPECT_EQ(first[1], report::Value("W1130001"));
    EXPECT_EQ(first[2].type(), report::Value::Type::Integer);
    EXPECT_EQ(first[2], report::Value(12));
    EXPECT_EQ(first[3].type(), report::Value::Type::Real);
    EXPECT_EQ(first[3].text(), "1200");
    EXPECT_TRUE(first[4].isNull());
    EXPECT_EQ(t.row(1)[3], report::Value(800.5));

    // Looked up by name as a layout's fields are, whatever the case.
    const report::RowView second(&t, 1);
    EXPECT_EQ(second.text("工單單號").toStdString(), "W1130002");
    EXPECT_EQ(second.text("rem").toStdString(), "急件");
    EXPECT_EQ(second.value("qty").number(), 3);
}
