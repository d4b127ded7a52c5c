#include "platform/ui/GridHelpers.h"

#include <QWidget>

#include <algorithm>

namespace qtmv {

void SetupGrid(SpreadGrid& grid, int rows, const std::vector<std::string>& headings)
{
    std::vector<GridColumnSpec> columns;
    columns.reserve(headings.size());
    for (const auto& h : headings)
        columns.push_back(GridColumnSpec{h});
    SetupGrid(grid, rows, columns);
}

void SetupGrid(SpreadGrid& grid, int rows, const std::vector<GridColumnSpec>& columns)
{
    grid.setFont(MingFont());
    grid.setRows(CellTable(static_cast<std::size_t>(std::max(rows, 0))));
    // Columns start afresh: nothing editable or coloured from an earlier layout.
    grid.setMaxCol(0);
    grid.setMaxCol(static_cast<int>(columns.size()));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int col = static_cast<int>(i) + 1;
        grid.setHeading(col, columns[i].heading);
        grid.setColWidth(col, columns[i].width);
        grid.setColHidden(col, columns[i].hidden);
    }
}

void ClearGrid(SpreadGrid& grid)
{
    grid.clearCells();
}

void CopyRowsToGrid(SpreadGrid& grid, CellTable rows)
{
    // A sheet keeps at least one row to put the active cell on.
    if (rows.empty())
        rows.emplace_back();
    grid.setRows(std::move(rows));
}

CellTable ReadGridCells(const SpreadGrid& grid)
{
    return grid.allCells();
}

void WriteGridCells(SpreadGrid& grid, CellTable cells)
{
    grid.setRows(std::move(cells));
}

void EnableGrid(SpreadGrid& grid, bool enabled, const QColor& background)
{
    grid.setGridEnabled(enabled, background);
}

void RecordGridColumns(const QWidget* window, std::vector<GridColumnState>& table)
{
    table.clear();
    if (!window)
        return;
    for (const SpreadGrid* grid : window->findChildren<SpreadGrid*>()) {
        const std::string name = grid->objectName().toStdString();
        for (int col = 1; col <= grid->MaxCol(); ++col)
            table.push_back(GridColumnState{name, col, grid->colHidden(col)});
    }
}

} // namespace qtmv
