#include "GridLoader.h"

#include "common/NumberFormat.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/TextRows.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <unordered_map>

namespace qtmv::daily {

namespace {

std::string& CellAt(std::vector<std::string>& row, int col) { return row.at(static_cast<std::size_t>(col - 1)); }

// Text as a file database orders its text columns: the letters A to Z
// folded, then byte by byte, the shorter first on a common start.
int CompareFolded(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto fold = [](char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); };
        const unsigned char x = fold(a[i]), y = fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool KnownTypes(const std::vector<LoadSortKey>& keys)
{
    return std::none_of(keys.begin(), keys.end(),
                        [](const LoadSortKey& k) { return k.type == LoadSortKey::Type::Unknown; });
}

// A line of another process by its work order (as the server folds case)
// and its line number.
std::string LineKey(const std::string& foldedPo, const std::string& no) { return foldedPo + '\x1f' + no; }

// A sort key's value, read once per row: the rows are compared some
// fourteen times each.
struct KeyValue {
    bool null = true;
    double number = 0;
    std::string_view text;
};

int CompareKeyValues(const KeyValue& a, const KeyValue& b, LoadSortKey::Type type)
{
    if (a.null || b.null)
        return a.null == b.null ? 0 : (a.null ? -1 : 1);
    if (type == LoadSortKey::Type::Text)
        return CompareFolded(a.text, b.text);
    return a.number == b.number ? 0 : (a.number < b.number ? -1 : 1);
}

// Fills the layout's columns of other processes' lines into the rows,
// whose folded work order ends each row's `values`. Several pieces may
// share a line; lines of no loaded piece are passed over.
// `lines` gives the tables' lines in LineLookupTables' order.
void MatchLines(jet::TextRowsSeries& lines, const GridLayout& layout, GridRows& rows,
                const std::vector<std::vector<std::string>>& values)
{
    const std::vector<std::string> tables = LineLookupTables(layout);
    if (tables.empty())
        return;
    std::unordered_map<std::string, std::vector<std::size_t>> piecesOf;
    for (std::size_t r = 0; r < rows.size(); ++r)
        piecesOf[LineKey(values[r].back(), rows[r][static_cast<std::size_t>(kLineCol - 1)])].push_back(r);

    // The statement gave each lookup column "", as a left join without its
    // line reads.
    const auto queried = static_cast<std::size_t>(layout.queriedColumnCount());
    // Per table, the pieces whose line it has (a via is read before the
    // lookups joined from it).
    std::map<std::string, std::vector<bool>> found;
    for (const std::string& table : tables) {
        std::vector<bool>& has = found[table];
        has.assign(rows.size(), false);
        // The table's lookup columns: (column, its field's place in a line,
        // whether it is the finished flag), with the via they need.
        struct Fill {
            std::size_t column, at;
            bool flag;
        };
        std::vector<Fill> fills;
        const std::vector<bool>* via = nullptr;
        const std::vector<std::string> fields = LineLookupFields(layout, table);
        for (std::size_t c = 0; c < queried; ++c)
            if (const auto& lookup = layout.columns[c].line; lookup && lookup->table == table) {
                const std::string f = lookup->field.empty() ? "FDATE" : lookup->field;
                const auto at = static_cast<std::size_t>(std::find(fields.begin(), fields.end(), f) - fields.begin());
                fills.push_back({c, 2 + at, lookup->field.empty()});
                if (!lookup->via.empty())
                    via = &found.at(lookup->via);
            }
        jet::TextRows records = lines.next();
        std::vector<std::string> line;
        while (records.next(line, 2 + fields.size())) {
            const auto it = piecesOf.find(LineKey(line[0], line[1]));
            if (it == piecesOf.end())
                continue;
            for (const std::size_t r : it->second) {
                if (via && !(*via)[r])
                    continue;
                has[r] = true;
                for (const Fill& f : fills)
                    rows[r][f.column] = f.flag ? (line[f.at].empty() ? "" : "V") : line[f.at];
            }
        }
    }
}

// The load on a server. Joining the other processes' lines (five for a
// printing piece) cost the server more than half of a load, probing their
// keys row by row, and the server's time is what many workstations share:
// it sends each table's lines of open work orders once and the workstation
// matches them here, as the left joins of the file's statement would. It
// also sorts the rows for the work-order and sequence orders, in the order
// a file database gives them: sorting rows of eighty columns cost it a third
// of a load. The other orders lead with keys whose kind of value is not
// known here, and the server sorts those.
GridRows LoadOnServer(jet::Connection& conn, const ProcessKind& kind, std::string_view machine, SortOption sort)
{
    const GridLayout& layout = GridLayoutOf(kind);
    const auto width = static_cast<std::size_t>(layout.columnCount());
    const auto queried = static_cast<std::size_t>(layout.queriedColumnCount());
    const std::vector<LoadSortKey> keys = LoadSortKeys(kind, sort);
    const bool sortHere = KnownTypes(keys);
    const std::size_t foldedPo = queried + keys.size();

    // The server runs the statements for the lines while the pieces' rows
    // are read here.
    std::vector<std::string> statements{BuildServerLoadQuery(kind, machine, sort, !sortHere)};
    for (const std::string& table : LineLookupTables(layout))
        statements.push_back(BuildLineLookupQuery(layout, table));
    jet::TextRowsSeries series(conn, statements);

    GridRows rows;
    std::vector<std::vector<std::string>> values;   // each row's keys, then its folded work order
    {
        jet::TextRows records = series.next();
        std::vector<std::string> row;
        while (records.next(row, std::max(width, foldedPo + 1))) {
            values.emplace_back(std::make_move_iterator(row.begin() + static_cast<long>(queried)),
                                std::make_move_iterator(row.begin() + static_cast<long>(foldedPo + 1)));
            // The working columns after the queried ones stay empty.
            row.resize(width);
            for (std::size_t c = queried; c < width; ++c)
                row[c].clear();
            rows.push_back(std::move(row));
        }
    }

    MatchLines(series, layout, rows, values);
    if (!sortHere)
        return rows;

    std::vector<KeyValue> key(rows.size() * keys.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t k = 0; k < keys.size(); ++k) {
            // An empty text is a null, which the statement's order puts first.
            const std::string& v = values[r][k];
            KeyValue& kv = key[r * keys.size() + k];
            kv.null = v.empty();
            kv.text = v;
            if (!kv.null && keys[k].type == LoadSortKey::Type::Number)
                kv.number = qtmv::Val(v);
        }
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const int c = CompareKeyValues(key[a * keys.size() + k], key[b * keys.size() + k], keys[k].type);
            if (c != 0)
                return keys[k].descending ? c > 0 : c < 0;
        }
        return false;
    });
    GridRows sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(rows[i]));
    return sorted;
}

} // namespace

GridRows LoadGrid(jet::Connection& conn, const ProcessKind& kind, std::string_view machine, SortOption sort)
{
    const GridLayout& layout = GridLayoutOf(kind);
    const auto width = static_cast<std::size_t>(layout.columnCount());

    // Stepped forward only, each record read straight into its grid texts:
    // nothing but the grid rows is kept. The read lock lasts as long as
    // reading all rows into a static recordset would.
    GridRows rows;
    if (conn.onServer()) {
        rows = LoadOnServer(conn, kind, machine, sort);
    } else {
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
