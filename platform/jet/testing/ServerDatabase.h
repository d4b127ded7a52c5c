#pragma once
// Throw-away PostgreSQL databases for tests, on the server that the test
// command starts (scripts/with-postgres.sh exports its connection in
// QTMV_TEST_PG). Without that variable the server cases are skipped, saying
// why.
#include "platform/jet/Postgres.h"

#include <functional>
#include <optional>
#include <string>

namespace jet::testing {

// The libpq connection of the test server ("host=... port=... user=..."), or
// none when the test command did not start one.
std::optional<std::string> TestServer();

// Why server cases are skipped.
inline constexpr const char* kNoTestServer =
    "no PostgreSQL test server: QTMV_TEST_PG is not set (scripts/run-tests.sh starts one and sets it)";

// A new database on the test server, dropped again with the object. Made
// either empty, prepared with PostgresSupportSql(), or as a copy of a
// template database that `fill` writes once per process group (`key` names
// the template; a changed key makes a new one). Sets a server write lock key
// (setServerWriteLockKey) when the process has none yet.
class ServerDatabase {
public:
    ServerDatabase();
    ServerDatabase(const std::string& key, const std::function<void(const std::string& connectionString)>& fill);
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const ServerAddress& address() const { return address_; }
    std::string connectionString() const { return ServerConnectionString(address_); }

    // Runs statements in the server's own SQL, past the data-access layer.
    void exec(const std::string& sql) const;
    // The first column of the first row as text ("<null>" for null,
    // "<none>" without a row).
    std::string scalar(const std::string& sql) const;

private:
    void create(const std::string& templateName);
    ServerAddress address_;
};

// A table for tests on either engine: `columns` in SQLite's words ("ID text,
// N integer default 0, Q real"); on the server text becomes citext, real
// double precision, names lower case, and the row identity is added.
std::string CreateTableSql(const std::string& table, const std::string& columns, bool server);

} // namespace jet::testing
