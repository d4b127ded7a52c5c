#pragma once
// Shared operations on the spreadsheet grids (module modFml): every window
// prepares, fills, reads and lays out its grids through these, with the grid
// as the first argument. FitTextToField lives in TextFit.h (no widgets).
#include "platform/ui/SpreadGrid.h"
#include "platform/ui/TextFit.h"

#include <QColor>

#include <concepts>
#include <string>
#include <vector>

class QWidget;

namespace qtmv {

// One column of a grid's layout.
using GridColumnSpec = SpreadGrid::ColumnSetup;

// Prepares a grid: the Ming font, `rows` empty rows, one column per heading
// (or per column description) with its width and hidden state. Previous cells and column
// settings (editable, colours, alignment) are dropped.
void SetupGrid(SpreadGrid& grid, int rows, const std::vector<std::string>& headings);
void SetupGrid(SpreadGrid& grid, int rows, const std::vector<GridColumnSpec>& columns);

// Empties every cell; size and layout stay.
void ClearGrid(SpreadGrid& grid);

// Copies the rows of an opened recordset into the grid: field n into column n,
// from row 1. The grid then has one row per record (one empty row when there
// are none).
void CopyRowsToGrid(SpreadGrid& grid, CellTable rows);

// The same for rows of field values (jet::Value or anything whose text()
// gives the field as UTF-8 text, null as "").
template <class Row>
    requires requires(const Row& row) {
        row.size();
        { row[0].text() } -> std::convertible_to<std::string>;
    }
void CopyRowsToGrid(SpreadGrid& grid, const std::vector<Row>& rows)
{
    CellTable table;
    table.reserve(rows.size());
    for (const Row& row : rows) {
        auto& out = table.emplace_back();
        out.reserve(row.size());
        for (const auto& field : row)
            out.push_back(field.text());
    }
    CopyRowsToGrid(grid, std::move(table));
}

// All cells at once, maxRow rows of maxCol texts ([row - 1][col - 1]).
CellTable ReadGridCells(const SpreadGrid& grid);
// Writes such a table back: the grid gets its rows and, when wider, its columns.
void WriteGridCells(SpreadGrid& grid, CellTable cells);

// Enables or disables a grid with a background colour (white when enabled,
// grey C0C0C0 when disabled, unless given).
void EnableGrid(SpreadGrid& grid, bool enabled, const QColor& background = QColor());

// One entry per grid and column.
struct GridColumnState {
    std::string gridName;   // the grid's object name
    int column = 0;         // 1 .. MaxCol
    bool hidden = false;    // marked hidden or width 0
};

// For every grid of the window (in creation order) and each of its columns
// 1 .. MaxCol: the grid's name and whether the column is hidden. The table is
// replaced; a window without grids leaves it empty.
void RecordGridColumns(const QWidget* window, std::vector<GridColumnState>& table);

} // namespace qtmv
