#pragma once
// The column layout of the fourteen process grids and the statement that
// loads one. Everything after loading (editing, saving, write-back) finds
// its columns here, by heading or by the fixed numbers saving relies on.
// Column numbers are 1-based, as in the grids.
#include "common/ProcessKind.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qtmv::daily {

// A column read from another process's line of the same work order (the
// line of `table` whose PO and [NO] are the piece's): the field's text or,
// without a field, "V" when that line is finished. With `via` the line is
// joined from that table's line instead, so it reads empty where that one
// is missing.
struct LineLookup {
    std::string table;
    std::string field;
    std::string via;
};

struct GridColumn {
    std::string heading;   // the grid's column heading ("" for untitled columns)
    std::string select;    // the select-list expression, "" for working columns no query fills
    std::optional<LineLookup> line;
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

// The load as a server runs it for a workstation that joins the other
// processes' lines itself: those columns read "", and the columns the grid's
// query fills are followed by the order's keys and the piece's work order
// as the server folds its case (LCase), for matching the lines. `ordered`:
// the server sorts the rows, else the reader does, by the keys.
std::string BuildServerLoadQuery(const ProcessKind& kind, std::string_view machine, SortOption sort, bool ordered);

// The tables of the layout's line lookups, each once, vias before the
// lookups joined from them.
std::vector<std::string> LineLookupTables(const GridLayout& layout);
// The fields the layout's lookups read from `table`, each once, in column
// order: FDATE for a finished flag.
std::vector<std::string> LineLookupFields(const GridLayout& layout, const std::string& table);
// The lines of `table` of open work orders: LCase(PO), [NO] and then those
// fields (only what the grid shows, so an index holding them serves alone).
std::string BuildLineLookupQuery(const GridLayout& layout, const std::string& table);

} // namespace qtmv::daily
