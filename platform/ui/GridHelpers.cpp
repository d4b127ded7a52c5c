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
    grid.setLayout(rows, columns);
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
