#include "records/saving/KeyedRows.h"

#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace qtmv::daily {

namespace {

// Keys per statement: a plant's save flags a few hundred cells at most, and
// the limit keeps a statement's text small whatever a grid holds.
constexpr std::size_t kKeysPerStatement = 400;

bool Ascii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

KeyedRows::KeyedRows(jet::Connection& conn, Query query,
                     const std::vector<std::pair<std::string, std::string>>& keys)
    : query_(std::move(query))
{
    const bool numbered = !query_.numberKey.empty();
    std::string head = "select " + query_.textKey + ", " + (numbered ? query_.numberKey : "0");
    for (const std::string& f : query_.fields)
        head += ", " + f;
    head += " from " + query_.table + " where ";
    const std::string also = query_.also.empty() ? "" : " and (" + query_.also + ")";
    const std::string order = query_.orderBy.empty() ? "" : " order by " + query_.orderBy;

    auto read = [&](const std::string& where, const std::string* exact) {
        jet::Recordset rs;
        rs.open(head + where + also + order, conn);
        for (; !rs.eof(); rs.moveNext()) {
            if (numbered && rs.field(1).isNull())
                continue;   // equal to no number
            Row row;
            for (std::size_t i = 0; i < query_.fields.size(); ++i)
                row.push_back(rs.field(static_cast<int>(i) + 2));
            const std::string stored = rs.field(0).text();
            const double number = rs.field(1).number();
            const auto s = exact ? std::pair{"=" + *exact, number} : std::pair{"~" + qtmv::AsciiLower(stored), number};
            rows_[s].push_back(std::move(row));
        }
    };

    std::set<std::string> folded, exact;
    for (const auto& [text, number] : keys) {
        const std::string t = qtmv::Trim(text);
        if (Ascii(t))
            folded.insert(qtmv::AsciiLower(t));
        else if (exact.insert(t).second)
            read(query_.textKey + " = '" + jet::SqlText(t) + "'", &t);   // every number: matched as read
    }
    std::string list;
    std::size_t inList = 0;
    for (auto it = folded.begin(); it != folded.end(); ++it) {
        list += (list.empty() ? "'" : ", '") + jet::SqlText(*it) + "'";
        if (++inList == kKeysPerStatement || std::next(it) == folded.end()) {
            read(query_.textKey + " in (" + list + ")", nullptr);
            list.clear();
            inList = 0;
        }
    }
}

std::pair<std::string, double> KeyedRows::slot(std::string_view textCell, std::string_view numberCell) const
{
    const std::string t = qtmv::Trim(textCell);
    return {Ascii(t) ? "~" + qtmv::AsciiLower(t) : "=" + t, query_.numberKey.empty() ? 0 : qtmv::Val(numberCell)};
}

const std::vector<KeyedRows::Row>& KeyedRows::rows(std::string_view textCell, std::string_view numberCell) const
{
    static const std::vector<Row> none;
    const auto it = rows_.find(slot(textCell, numberCell));
    return it == rows_.end() ? none : it->second;
}

KeyedRows::Row* KeyedRows::only(std::string_view textCell, std::string_view numberCell)
{
    const auto it = rows_.find(slot(textCell, numberCell));
    return it != rows_.end() && it->second.size() == 1 ? &it->second.front() : nullptr;
}

std::size_t KeyedRows::at(std::string_view field) const
{
    const auto it = std::find(query_.fields.begin(), query_.fields.end(), field);
    if (it == query_.fields.end())
        throw std::logic_error("KeyedRows: " + std::string(field) + " is not read from " + query_.table);
    return static_cast<std::size_t>(it - query_.fields.begin());
}

const jet::Value& KeyedRows::value(const Row& row, std::string_view field) const { return row[at(field)]; }

bool KeyedRows::set(std::string_view textCell, std::string_view numberCell,
                    const std::vector<std::pair<std::string, std::string>>& values, std::vector<std::string>* writes)
{
    Row* row = only(textCell, numberCell);
    if (!row)
        return false;
    std::string sets;
    for (const auto& [field, text] : values) {
        jet::Value& stored = (*row)[at(field)];
        if (!stored.isNull() && stored.text() == text)
            continue;
        sets += (sets.empty() ? "" : ", ") + field + " = '" + jet::SqlText(text) + "'";
        stored = jet::Value(text);
    }
    if (sets.empty())
        return false;
    if (writes) {
        std::string where = " where " + query_.textKey + " = '" + jet::SqlText(qtmv::Trim(textCell)) + "'";
        if (!query_.numberKey.empty())
            where += " and " + query_.numberKey + " = " + jet::SqlNumber(qtmv::Val(numberCell));
        if (!query_.also.empty())
            where += " and (" + query_.also + ")";
        writes->push_back("update " + query_.table + " set " + sets + where);
    }
    return true;
}

} // namespace qtmv::daily
