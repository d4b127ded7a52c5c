#include "TableWriter.h"

#include <stdexcept>

namespace qtmv::demo {

namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what)
{
    throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
}

} // namespace

TableWriter::TableWriter(sqlite3* db, const std::string& table) : db_(db), table_(table)
{
    sqlite3_stmt* info = nullptr;
    if (sqlite3_prepare_v2(db, "select name, dflt_value from pragma_table_info(?)", -1, &info, nullptr) != SQLITE_OK)
        Fail(db, "reading the columns of " + table);
    sqlite3_bind_text(info, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(info) == SQLITE_ROW) {
        names_.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info, 0)));
        Cell d;
        if (const unsigned char* v = sqlite3_column_text(info, 1)) {
            const std::string dflt(reinterpret_cast<const char*>(v));
            if (dflt == "''")
                d.kind = Cell::Text;
            else if (dflt == "0")
                d.kind = Cell::Integer;
            else
                throw std::runtime_error("unexpected default " + dflt + " in " + table);
        }
        defaults_.push_back(d);
    }
    sqlite3_finalize(info);
    if (names_.empty())
        throw std::runtime_error("no table " + table);

    std::string sql = "insert into [" + table + "] (";
    std::string marks;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        sql += (i ? ", [" : "[") + names_[i] + "]";
        marks += i ? ", ?" : "?";
        index_.emplace(names_[i], i);
    }
    sql += ") values (" + marks + ")";
    if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) != SQLITE_OK)
        Fail(db, "preparing the insert into " + table);
    cells_ = defaults_;
}

TableWriter::~TableWriter() { sqlite3_finalize(stmt_); }

TableWriter::Cell& TableWriter::cell(std::string_view column)
{
    const auto it = index_.find(column);
    if (it == index_.end())
        throw std::runtime_error("no column " + std::string(column) + " in " + table_);
    return cells_[it->second];
}

TableWriter& TableWriter::text(std::string_view column, std::string_view value)
{
    Cell& c = cell(column);
    c.kind = Cell::Text;
    c.t.assign(value);
    return *this;
}

TableWriter& TableWriter::real(std::string_view column, double value)
{
    Cell& c = cell(column);
    c.kind = Cell::Real;
    c.r = value;
    return *this;
}

TableWriter& TableWriter::integer(std::string_view column, long long value)
{
    Cell& c = cell(column);
    c.kind = Cell::Integer;
    c.i = value;
    return *this;
}

TableWriter& TableWriter::null(std::string_view column)
{
    cell(column).kind = Cell::Null;
    return *this;
}

void TableWriter::insert()
{
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        const Cell& c = cells_[i];
        const int p = static_cast<int>(i) + 1;
        switch (c.kind) {
        case Cell::Null: sqlite3_bind_null(stmt_, p); break;
        case Cell::Integer: sqlite3_bind_int64(stmt_, p, c.i); break;
        case Cell::Real: sqlite3_bind_double(stmt_, p, c.r); break;
        case Cell::Text:
            sqlite3_bind_text(stmt_, p, c.t.data(), static_cast<int>(c.t.size()), SQLITE_STATIC);
            break;
        }
    }
    if (sqlite3_step(stmt_) != SQLITE_DONE) {
        const std::string message = sqlite3_errmsg(db_);
        sqlite3_reset(stmt_);
        throw std::runtime_error("inserting into " + table_ + ": " + message);
    }
    sqlite3_reset(stmt_);
    ++rows_;
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        cells_[i].kind = defaults_[i].kind;
        cells_[i].i = 0;
        cells_[i].r = 0;
        cells_[i].t.clear(); // keeps the capacity for the next row
    }
}

} // namespace qtmv::demo
