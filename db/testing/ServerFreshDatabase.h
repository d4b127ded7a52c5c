#pragma once
// A database of the suite's schema on the test server (QTMV_TEST_PG), with
// the session start-up would set up for a program whose QTMV.DSN names it
// and the suite's server write lock (db::kServerWriteLockKey).
// The schema is made once per test command as a template database and
// copied for each test.
#include "app/core/Session.h"
#include "platform/jet/testing/ServerDatabase.h"

#include <functional>
#include <string>

namespace qtmv::db::test {

class ServerFreshDatabase : public jet::testing::ServerDatabase {
public:
    ServerFreshDatabase();
    // An empty server database without the schema (to copy a database into).
    struct Empty {};
    explicit ServerFreshDatabase(Empty);
    // A copy of the template database `key` that `fill` writes once.
    ServerFreshDatabase(const std::string& key, const std::function<void(const std::string&)>& fill);

    // As FreshDatabase's session, with ConnectionString naming the server
    // database.
    Session& session() { return session_; }

private:
    Session session_;
};

} // namespace qtmv::db::test
