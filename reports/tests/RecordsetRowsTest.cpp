// A query's rows as a report's data.
#include "reports/RecordsetRows.h"

#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/tests/TempDatabase.h"

#include <gtest/gtest.h>

using namespace qtmv;

namespace qtmv::report {
// A value as a failure shows it: its type (0 null, 1 integer, 2 real, 3 text) and text.
void PrintTo(const Value& v, std::ostream* os) { *os << static_cast<int>(v.type()) << ":" << v.text(); }
} // namespace qtmv::report

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
    // Values compare with their types: 12 an integer, 1200 a real, null null.
    EXPECT_EQ(t.row(0), (std::vector<report::Value>{"P001", "W1130001", 12, 1200.0, nullptr}));
    EXPECT_EQ(t.row(1), (std::vector<report::Value>{"P001", "W1130002", 3, 800.5, " 急件 "}));
    EXPECT_EQ(t.row(0)[3].text(), "1200");

    // Looked up by name as a layout's fields are, whatever the case.
    const report::RowView second(&t, 1);
    EXPECT_EQ(second.text("工單單號").toStdString(), "W1130002");
    EXPECT_EQ(second.text("rem").toStdString(), "急件");
    EXPECT_EQ(second.value("qty").number(), 3);
}
