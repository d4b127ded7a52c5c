#include "GridLoader.h"

#include "common/NumberFormat.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/TextRows.h"
#include "platform/text/Text.h"

namespace qtmv::daily {

namespace {

std::string& CellAt(std::vector<std::string>& row, int col) { return row.at(static_cast<std::size_t>(col - 1)); }

} // namespace

GridRows LoadGrid(jet::Connection& conn, const ProcessKind& kind, std::string_view machine, SortOption sort)
{
    const GridLayout& layout = GridLayoutOf(kind);
    const auto width = static_cast<std::size_t>(layout.columnCount());

    // Stepped forward only, each record read straight into its grid texts:
    // nothing but the grid rows is kept. The read lock lasts as long as
    // reading all rows into a static recordset would.
    GridRows rows;
    {
        jet::TextRows records(conn, BuildLoadQuery(kind, machine, sort));
        std::vector<std::string> row;
        while (records.next(row, width))
            rows.push_back(std::move(row));
    }

    if (kind.is(KindId::Printing)) {
        PressCapacityCache capacities(conn);
        ApplyPrintingExtras(rows, capacities);
    }
    return rows;
}

GridRows LoadGrid(const std::string& connectionString, const ProcessKind& kind, std::string_view machine,
                  SortOption sort)
{
    jet::Connection conn;
    conn.open(connectionString);
    GridRows rows = LoadGrid(conn, kind, machine, sort);
    conn.close();
    return rows;
}

std::string PrintingEstimate(const PressCapacity* capacity, double qty1, double qty2, double plates)
{
    if (!capacity || capacity->perHour == 0)
        return "0";
    const double minutes = RoundNumber(60.0 / capacity->perHour * (qty1 + qty2) +
                                       capacity->minutesPerPlate * plates + capacity->changeover,
                                   0);
    return FormatFixed(minutes / 60.0, 2);
}

const PressCapacity* PressCapacityCache::find(const std::string& press)
{
    auto it = cache_.find(press);
    if (it == cache_.end()) {
        ++lookups_;
        jet::Recordset rs;
        rs.open("select * from [印刷產能資料_工單] where 種類 = 'D-印刷' and 機別 = '" + jet::SqlText(press) + "'",
                conn_);
        std::pair<bool, PressCapacity> entry{false, {}};
        if (!rs.eof()) {
            entry.first = true;
            entry.second.perHour = rs.field("每時產能").number();
            entry.second.minutesPerPlate = rs.field("每版耗時").number();
            entry.second.changeover = rs.field("銜接時間").number();
        }
        rs.close();
        it = cache_.emplace(press, entry).first;
    }
    return it->second.first ? &it->second.second : nullptr;
}

void ApplyPrintingExtras(GridRows& rows, PressCapacityCache& capacities)
{
    const GridLayout& layout = GridLayoutOf(KindOf(KindId::Printing));
    const int front = layout.column("正"), back = layout.column("反"), plates = layout.column("計");
    const int qty1 = layout.column("數量1"), qty2 = layout.column("數量2"), press = layout.column("車別");
    const int estimate = layout.column("預估"), form = layout.column("表格"), density = layout.column("濃度");

    for (auto& row : rows) {
        for (int col : {front, back}) {
            std::string& c = CellAt(row, col);
            c = FormatAmount(c);
            if (c == "0")
                c.clear();
        }
        CellAt(row, density) = qtmv::Trim(CellAt(row, form)).empty() ? "" : "V";
        const PressCapacity* cap = capacities.find(qtmv::Trim(CellAt(row, press)));
        CellAt(row, estimate) = PrintingEstimate(cap, qtmv::Val(CellAt(row, qty1)), qtmv::Val(CellAt(row, qty2)),
                                               qtmv::Val(CellAt(row, plates)));
    }
}

} // namespace qtmv::daily
