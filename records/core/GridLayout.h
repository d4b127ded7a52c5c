#pragma once
// The column layout of the fourteen process grids and the statement that
// loads one. Everything after loading (editing, saving, write-back) finds
// its columns here, by heading or by the fixed numbers saving relies on.
// Column numbers are 1-based, as in the grids.
#include "common/ProcessKind.h"

#include <string>
#include <string_view>
#include <vector>

namespace qtmv::daily {

struct GridColumn {
    std::string heading;   // the grid's column heading ("" for untitled columns)
    std::string select;    // the select-list expression, "" for working columns no query fills
};

// Every kind's grid begins with the piece's work-order line: the work-order
// number (工單單號, PO) and its line (序, [NO]).
inline constexpr int kWorkOrderCol = 1;
inline constexpr int kLineCol = 2;

struct GridLayout {
    const ProcessKind* kind = nullptr;
    std::vector<GridColumn> columns;   // column n is columns[n - 1]

    // The columns saving writes by number.
    int remarkCol = 0;        // "備註" / "說明" / "刀模代號"
    int finishDateCol = 0;    // "完工日"
    int finishRemarkCol = 0;  // "完工說明"
    int idCol = 0;            // "確認單號"
    int inoCol = 0;           // the "序" after "確認單號"

    int columnCount() const { return static_cast<int>(columns.size()); }
    const std::string& heading(int col) const { return columns.at(static_cast<std::size_t>(col - 1)).heading; }
    // The nth column (1-based) with this heading; 0 when there is none.
    int column(std::string_view heading, int nth = 1) const;
    // Columns the query fills (the leading run of columns with a select expression).
    int queriedColumnCount() const;
};

const GridLayout& GridLayoutOf(const ProcessKind& kind);

// Sort options of the window, index 0..5 as the option buttons.
enum class SortOption { WorkOrder = 0, Content = 1, DueDate = 2, Vendor = 3, Sequence = 4, Machine = 5 };

// The Jet statement that lists the open scheduled pieces of a kind.
// A machine text of blanks does not filter.
std::string BuildLoadQuery(const ProcessKind& kind, std::string_view machine, SortOption sort);

// The keys of that statement's order, first to last: a select expression,
// the kind of value it gives (Unknown for the leading keys of the content,
// due-date, vendor and machine orders) and its direction. Every order ends
// in keys that tell any two pieces apart.
struct LoadSortKey {
    enum class Type { Text, Number, Unknown };
    std::string expression;
    Type type = Type::Unknown;
    bool descending = false;
};
std::vector<LoadSortKey> LoadSortKeys(const ProcessKind& kind, SortOption sort);

// The same statement without its order, the keys' values following the
// columns the grid's query fills, for a reader that sorts the rows itself.
std::string BuildUnorderedLoadQuery(const ProcessKind& kind, std::string_view machine, SortOption sort);

} // namespace qtmv::daily
