#pragma once
// The fastest plain SQLite way to run a statement of the program, for
// benchmarks to hold the data layer against: a connection opened as the
// data layer opens its own (read-write, no mutex, the same SQL functions),
// the statement prepared once, values read by their type.
#include "platform/jet/SqliteFunctions.h"
#include "platform/jet/Value.h"

#include <sqlite3.h>

#include <charconv>
#include <stdexcept>
#include <string>
#include <vector>

namespace qtmv::bench {

class PlainStatement {
public:
    PlainStatement(const std::string& path, const std::string& sql)
    {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
        jet::RegisterSqliteFunctions(db_);
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
    }
    ~PlainStatement()
    {
        sqlite3_finalize(st_);
        sqlite3_close(db_);
    }
    PlainStatement(const PlainStatement&) = delete;
    PlainStatement& operator=(const PlainStatement&) = delete;
    sqlite3_stmt* get() const { return st_; }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
};

// Steps the statement once through, reading nothing; the rows.
inline std::size_t StepThrough(const PlainStatement& st)
{
    std::size_t rows = 0;
    while (sqlite3_step(st.get()) == SQLITE_ROW)
        ++rows;
    return rows;
}

// The current row's value in column c by its type.
inline jet::Value TypedValue(sqlite3_stmt* s, int c)
{
    switch (sqlite3_column_type(s, c)) {
    case SQLITE_INTEGER: return jet::Value(static_cast<long long>(sqlite3_column_int64(s, c)));
    case SQLITE_FLOAT: return jet::Value(sqlite3_column_double(s, c));
    case SQLITE_NULL: return jet::Value();
    default:
        return jet::Value(std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                                           static_cast<std::size_t>(sqlite3_column_bytes(s, c))));
    }
}

// Copies every row out as `width` texts by the value's type (text as it is,
// whole numbers in decimal, reals as Jet shows them, null as ""): what a
// grid load has to produce at the least.
inline std::vector<std::vector<std::string>> CopyTexts(const PlainStatement& st, std::size_t width)
{
    sqlite3_stmt* s = st.get();
    const int n = std::min(sqlite3_column_count(s), static_cast<int>(width));
    std::vector<std::vector<std::string>> out;
    while (sqlite3_step(s) == SQLITE_ROW) {
        std::vector<std::string>& row = out.emplace_back(width);
        for (int c = 0; c < n; ++c) {
            std::string& cell = row[static_cast<std::size_t>(c)];
            switch (sqlite3_column_type(s, c)) {
            case SQLITE_INTEGER: {
                char buf[24];
                const auto r = std::to_chars(buf, buf + sizeof buf, sqlite3_column_int64(s, c));
                cell.assign(buf, r.ptr);
                break;
            }
            case SQLITE_FLOAT: cell = jet::RealText(sqlite3_column_double(s, c)); break;
            case SQLITE_NULL: break;
            default:
                cell.assign(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                            static_cast<std::size_t>(sqlite3_column_bytes(s, c)));
            }
        }
    }
    return out;
}

} // namespace qtmv::bench
