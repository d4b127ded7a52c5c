#include "platform/ui/GridHelpers.h"
#include "platform/ui/tests/TestApp.h"

#include <QFrame>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

using qtmv::CellTable;
using qtmv::SpreadGrid;

class GridHelpersTest : public ::testing::Test, protected qtmv::test::WithApp {};

TEST_F(GridHelpersTest, SetupGivesRowsHeadingsAndLayout)
{
    SpreadGrid grid;
    grid.setText(3, 2, "left over");
    qtmv::SetupGrid(grid, 500, std::vector<qtmv::GridColumnSpec>{
                                   {"工單單號", 90, false}, {"序", 30, false}, {"客戶", 0, false}, {"EAMT", 60, true}});
    EXPECT_EQ(grid.maxRow(), 500);
    EXPECT_EQ(grid.MaxCol(), 4);
    EXPECT_EQ(grid.text(0, 3), "客戶");
    EXPECT_EQ(grid.text(3, 2), "");
    EXPECT_EQ(grid.colWidth(1), 90);
    EXPECT_TRUE(grid.colHidden(3));
    EXPECT_TRUE(grid.colHidden(4));
    EXPECT_FALSE(grid.colHidden(2));
    EXPECT_TRUE(grid.tableView()->isColumnHidden(2));   // a zero width hides the view's column too

    // A second layout keeps nothing of the first one's columns.
    grid.setColumnEditable(2, true);
    grid.setColumnBackground(1, Qt::yellow);
    grid.setCellForeground(4, 1, Qt::red);
    qtmv::SetupGrid(grid, 500, std::vector<std::string>{"A", "B"});
    EXPECT_EQ(grid.MaxCol(), 2);
    EXPECT_EQ(grid.colWidth(2), SpreadGrid::kDefaultColumnWidth);
    EXPECT_FALSE(grid.isCellEditable(1, 2));
    const QAbstractItemModel* m = grid.tableView()->model();
    EXPECT_FALSE(m->index(0, 0).data(Qt::BackgroundRole).value<QColor>() == QColor(Qt::yellow));
    EXPECT_FALSE(m->index(3, 0).data(Qt::ForegroundRole).value<QColor>() == QColor(Qt::red));
}

struct FieldValue {   // a recordset field as the data layer hands it out
    std::string value;
    std::string text() const { return value; }
};

TEST_F(GridHelpersTest, BulkLoadReadsBackEqual)
{
    SpreadGrid grid;
    qtmv::SetupGrid(grid, 500, std::vector<std::string>(90, "欄"));
    CellTable rows(1000);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 90; ++c)
            rows[r].push_back(c % 7 == 0 ? "" : "單" + std::to_string(r) + "-" + std::to_string(c));
    rows[5].resize(10);   // a short row reads back padded with empty cells
    CellTable expected = rows;
    expected[5].resize(90);

    qtmv::CopyRowsToGrid(grid, rows);
    EXPECT_EQ(grid.heading(90), "欄");   // headings and layout survive a load
    EXPECT_EQ(qtmv::ReadGridCells(grid), expected);

    expected[0][0] = "changed";
    qtmv::WriteGridCells(grid, expected);
    EXPECT_EQ(qtmv::ReadGridCells(grid), expected);

    // A record wider than the sheet widens it rather than losing fields.
    qtmv::CopyRowsToGrid(grid, CellTable{std::vector<std::string>(92, "x")});
    EXPECT_EQ(grid.MaxCol(), 92);
    EXPECT_EQ(grid.text(1, 92), "x");

    // No records: one empty row remains.
    qtmv::CopyRowsToGrid(grid, CellTable{});
    EXPECT_EQ(grid.maxRow(), 1);
    EXPECT_EQ(grid.text(1, 1), "");

    // Rows of recordset fields load as their texts.
    qtmv::CopyRowsToGrid(grid, std::vector<std::vector<FieldValue>>{{{"A1130001"}, {"1"}}, {{"A1130002"}, {""}}});
    EXPECT_EQ(grid.maxRow(), 2);
    EXPECT_EQ(grid.text(2, 1), "A1130002");
    EXPECT_EQ(grid.findRow(1, "A1130002"), 2);
    EXPECT_EQ(grid.findRow(1, "nope"), 0);

    qtmv::ClearGrid(grid);   // the cells go, the size stays
    EXPECT_EQ(grid.maxRow(), 2);
    EXPECT_EQ(grid.text(1, 2), "");
    EXPECT_EQ(grid.text(2, 1), "");
}

TEST_F(GridHelpersTest, ColumnHiddenByFlagOrZeroWidth)
{
    SpreadGrid grid;
    qtmv::SetupGrid(grid, 5, std::vector<std::string>{"a", "b", "c", "d"});
    grid.setColWidth(2, 0);
    grid.setColHidden(3, true);
    EXPECT_TRUE(grid.colHidden(2));
    EXPECT_TRUE(grid.colHidden(3));
    EXPECT_TRUE(grid.tableView()->isColumnHidden(1));
    EXPECT_TRUE(grid.tableView()->isColumnHidden(2));
    grid.setColHidden(2, false);
    EXPECT_TRUE(grid.colHidden(2));   // still width 0
    grid.setColWidth(2, 40);
    EXPECT_FALSE(grid.colHidden(2));
    EXPECT_EQ(grid.tableView()->columnWidth(1), 40);   // a hidden view column measures 0

    grid.setColWidthTwips(4, 1300);
    EXPECT_EQ(grid.colWidth(4), 87);
    EXPECT_EQ(grid.colWidthTwips(4), 1305);

    // A load keeps the layout.
    qtmv::CopyRowsToGrid(grid, CellTable{{"1", "2", "3", "4"}});
    EXPECT_TRUE(grid.tableView()->isColumnHidden(2));
    EXPECT_EQ(grid.tableView()->columnWidth(3), 87);
}

TEST_F(GridHelpersTest, RecordGridColumnsListsEveryGridAndColumn)
{
    QWidget window;
    auto* frame = new QFrame(&window);
    auto* first = new SpreadGrid(frame);
    first->setObjectName(QStringLiteral("fml印刷"));
    qtmv::SetupGrid(*first, 10, std::vector<std::string>{"a", "b", "c"});
    first->setColWidth(2, 0);
    auto* second = new SpreadGrid(&window);
    second->setObjectName(QStringLiteral("fml其他"));
    qtmv::SetupGrid(*second, 10, std::vector<std::string>{"x", "y"});
    second->setColHidden(1, true);

    std::vector<qtmv::GridColumnState> table{{"stale", 9, true}};
    qtmv::RecordGridColumns(&window, table);
    std::string listed;   // "grid column[H]" per entry, H for hidden
    for (const auto& c : table)
        listed += c.gridName + " " + std::to_string(c.column) + (c.hidden ? "H " : " ");
    EXPECT_EQ(listed, "fml印刷 1 fml印刷 2H fml印刷 3 fml其他 1H fml其他 2 ");

    QWidget plain;
    new QFrame(&plain);
    qtmv::RecordGridColumns(&plain, table);
    EXPECT_TRUE(table.empty());
}

} // namespace
