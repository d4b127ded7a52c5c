#pragma once
// The rows of one table for many keys, read with one statement instead of
// one per key. A save asks, cell by cell, whether a piece or a line is
// there and what it holds; on a server each of those reads costs a round
// trip and a plan, which made a 200-cell save send thousands of statements.
//
// Keys are a text field and a number field (ID and INO, PO and [NO]), given
// as the grid shows them. Rows are matched to keys as the database compares
// them: the text with its ASCII letters folded, the number by value. A key
// whose text holds other characters is read with a statement of its own,
// so the database's own comparison decides (an SQLite file and a server
// fold letters beyond ASCII differently).
#include "platform/jet/Value.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv::daily {

// The updates a save gathers (KeyedRows::set) before running them at once
// (jet::Connection::executeAll): a server then takes a save's hundreds of
// single-row updates in a few round trips.
constexpr std::size_t kWritesAtOnce = 256;

class KeyedRows {
public:
    struct Query {
        std::string table;               // as a statement names it: "[PRINTING_S]"
        std::string textKey, numberKey;  // "ID", "INO"
        std::vector<std::string> fields; // read besides the keys
        std::string also;                // a further condition, "" for none
        std::string orderBy;             // "" for the table's order
    };
    using Row = std::vector<jet::Value>;  // the query's fields, in its order

    KeyedRows() = default;
    // Reads the rows of every key (text cell, number cell) at once.
    KeyedRows(jet::Connection& conn, Query query, const std::vector<std::pair<std::string, std::string>>& keys);

    // The rows of a key, in the statement's order; empty when it has none.
    // A key not among those read has none. Without a number key the number
    // cell is not looked at.
    const std::vector<Row>& rows(std::string_view textCell, std::string_view numberCell = {}) const;
    // The key's one row; null when it has none or several (a locator's
    // rule: the table is then left alone).
    Row* only(std::string_view textCell, std::string_view numberCell = {});
    // A field of a row of this table.
    const jet::Value& value(const Row& row, std::string_view field) const;

    // Gives the key's one row the texts among `values` (field, text) that
    // it does not hold yet and keeps them in the row read, so later
    // questions see them; the update that writes them is added to `writes`
    // (to be run in order with the others, before anything reads the
    // table again), or with no `writes` only the row read changes (a
    // save's dry run). False when the key has no single row or every field
    // holds its text already.
    bool set(std::string_view textCell, std::string_view numberCell,
             const std::vector<std::pair<std::string, std::string>>& values, std::vector<std::string>* writes);

private:
    std::pair<std::string, double> slot(std::string_view textCell, std::string_view numberCell) const;
    std::size_t at(std::string_view field) const;

    Query query_;
    std::map<std::pair<std::string, double>, std::vector<Row>> rows_;
};

} // namespace qtmv::daily
