#pragma once
// A PostgreSQL server as the database behind a Connection: plants with many
// workstations keep the suite's database on a server instead of a shared
// file. The statement texts stay Jet SQL (Translator.h, Dialect::PostgreSQL).
//
// A server database is prepared once with PostgresSupportSql(): the citext
// extension (text columns are citext, so = and order by ignore case as
// Jet's do) and the function val() with Jet's rule. Every table carries a
// row identity column, jet_rowid, that editing recordsets locate rows by;
// queries never show it.
#include "platform/jet/Backend.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace jet {

struct ServerAddress {
    std::string host;     // a name, an address, or a folder holding the server's Unix socket
    std::string port;     // "" for the default 5432
    std::string database;
    std::string user;     // "" for the operating system's user name
    // "host:port/database", for messages and the status bar.
    std::string display() const;
};

// The server database named by a connection string's Server=, Port=,
// Database= and User ID= values; host empty when it names no server.
ServerAddress ServerAddressOf(const std::string& connectionString);

// The connection string for a server database ("Provider=PostgreSQL;...").
// It never holds a password: libpq takes that from the user's password file
// (~/.pgpass, or the file PGPASSFILE names).
std::string ServerConnectionString(const ServerAddress& address);

inline constexpr const char* kServerRowId = "jet_rowid";

// Statements that prepare a new server database for this layer (extension
// and functions), to run before the tables are created; one statement per
// paragraph (they are parted by an empty line).
std::string_view PostgresSupportSql();

// Connects, never waiting longer than a few seconds for a server that does
// not answer. Throws Error naming the server when it cannot be reached,
// refuses the user, or has no such database. Transactions take the write
// lock `writeLockKey` (SetServerWriteLockKey in Connection.h); without one
// they fail with Error::Kind::Usage.
std::shared_ptr<Backend> OpenPostgresBackend(const ServerAddress& address, int busyTimeoutMs,
                                             std::optional<long long> writeLockKey);

} // namespace jet
