#pragma once
// Copying a suite database between an SQLite file and a PostgreSQL server,
// either way: the schema is made in the new database, every table of the
// schema is copied row by row in one transaction, and the row counts of the
// two are compared before it is committed. The new database must not exist
// (a file) or be empty (a server database); nothing is ever overwritten. A
// new file is written under a part name beside it and renamed only when
// complete.
#include <string>
#include <vector>

namespace qtmv::db {

struct CopiedTable {
    std::string table;
    long long rows = 0;
};

// `from` and `to` are connection strings (a file's "Data Source=..." or a
// server's "Server=...;Database=..."). Throws jet::Error, naming the
// database and the table, when anything fails; the target is then left as
// it was (no new file).
std::vector<CopiedTable> CopyDatabase(const std::string& from, const std::string& to);

// A command-line argument as a connection string: text with a Server= key
// is one already; anything else is the path of a database file.
std::string ConnectionStringOfArgument(const std::string& argument);

} // namespace qtmv::db
