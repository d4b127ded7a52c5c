#pragma once
// Fast row inserts for the generator: one prepared statement per table over
// all of its columns. Columns not set in a row get the table's own default
// ('' for text, 0 for numbers), as a row added by the suite's programs would.
#include <sqlite3.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qtmv::demo {

class TableWriter {
public:
    TableWriter(sqlite3* db, const std::string& table);
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    TableWriter& text(std::string_view column, std::string_view value);
    TableWriter& real(std::string_view column, double value);
    TableWriter& integer(std::string_view column, long long value);
    TableWriter& null(std::string_view column);
    // Writes the row and starts the next one from the defaults. Throws
    // std::runtime_error with SQLite's message when the insert fails.
    void insert();

    long long rows() const { return rows_; }
    const std::string& table() const { return table_; }

private:
    struct Cell {
        enum Kind { Null, Integer, Real, Text } kind = Null;
        long long i = 0;
        double r = 0;
        std::string t;
    };
    Cell& cell(std::string_view column);

    sqlite3* db_;
    std::string table_;
    sqlite3_stmt* stmt_ = nullptr;
    std::vector<std::string> names_;
    std::unordered_map<std::string_view, std::size_t> index_;
    std::vector<Cell> defaults_;
    std::vector<Cell> cells_;
    long long rows_ = 0;
};

} // namespace qtmv::demo
