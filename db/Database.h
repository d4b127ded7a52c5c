#pragma once
// The production-management database: its schema (schema.sql, embedded at
// build time) and the creation of new, empty database files.
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;

namespace qtmv::db {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The schema as SQL text: every table, index and view, in SQLite 3 dialect.
std::string_view SchemaSql();

// Runs the schema on an open, empty database in one transaction. Throws
// Error with SQLite's message when a statement fails (nothing is left behind).
void CreateSchema(sqlite3* db);

// Writes a new database file with the schema (the same bytes each time).
// Refuses (Error) when the file already exists; an existing file is never
// touched. When writing fails the new file is removed again.
void CreateDatabase(const std::string& path);

} // namespace qtmv::db
