#pragma once
// Pieces shared by saving and the write-back: cell access on loaded grid
// rows and the "locate exactly one row, change it, update" step.
#include "records/core/GridLoader.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Value.h"
#include "platform/text/Text.h"

#include <string>
#include <string_view>

namespace qtmv::daily::detail {

// Cell (row, col) of loaded rows, 1-based; "" outside.
inline const std::string& CellAt(const GridRows& rows, int row, int col)
{
    static const std::string none;
    if (row < 1 || col < 1 || static_cast<std::size_t>(row) > rows.size())
        return none;
    const auto& r = rows[static_cast<std::size_t>(row - 1)];
    return static_cast<std::size_t>(col) <= r.size() ? r[static_cast<std::size_t>(col - 1)] : none;
}

// A quoted value's inside and a bare number, as statements take them.
inline std::string Q(std::string_view text) { return jet::SqlText(text); }
inline std::string Num(std::string_view cellText) { return jet::SqlNumber(qtmv::Val(cellText)); }

// What a save claims (jet::Connection::claim) before writing a work-order
// line, its pieces and the line's rows in other tables; and a work order's
// own rows (its PRINTFLOW row, which every line of it stamps).
inline std::string LineClaim(std::string_view po, double no)
{
    return "line " + qtmv::Trim(po) + " " + jet::SqlNumber(no);
}
inline std::string OrderClaim(std::string_view po) { return "order " + qtmv::Trim(po); }

} // namespace qtmv::daily::detail

namespace qtmv::daily {

// Opens a locator (client-side, dynamic, optimistic) and, when it returns
// exactly one row, lets change() set fields and writes them. A locator that
// finds no row or several leaves its table alone. change() returns whether
// it set anything, so an unchanged row costs no write.
template <class Change>
bool EditSingleRow(jet::Connection& conn, const std::string& sql, Change&& change)
{
    jet::Recordset rs;
    rs.open(sql, conn, jet::CursorLocation::Client, jet::CursorType::Dynamic, jet::LockType::Optimistic);
    if (rs.recordCount() != 1)
        return false;
    if (change(rs))
        rs.update();
    return true;
}

// Sets a text field unless it already holds the text; true when set.
inline bool SetText(jet::Recordset& rs, const std::string& field, const std::string& text)
{
    if (rs.field(field).isNull() == false && rs.field(field).text() == text)
        return false;
    rs.set(field, jet::Value(text));
    return true;
}

} // namespace qtmv::daily
