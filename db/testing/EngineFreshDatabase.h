#pragma once
// A database of the suite's schema on either engine, for the tests that run
// on both: an SQLite file (FreshDatabase) or a database on the test server.
// Statements of exec(), value() and count() are plain SQL with [bracketed]
// names, run past the data-access layer; on the server the brackets become
// the server's lower-case quoted names.
#include "db/testing/FreshDatabase.h"
#include "db/testing/ServerFreshDatabase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace qtmv::db::test {

enum class Engine { SQLite, Server };

inline std::string EngineName(const ::testing::TestParamInfo<Engine>& info)
{
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

class EngineFreshDatabase {
public:
    // An empty database of the schema; on the server, or with `make`, a
    // copy of the file it writes (a demo plant) on either engine.
    explicit EngineFreshDatabase(Engine e);
    EngineFreshDatabase(Engine e, const DatabaseMaker& make);
    // The same, the server's copy made once per test command as template
    // `key` (a name for what `make` writes).
    EngineFreshDatabase(Engine e, const DatabaseMaker& make, const std::string& key);

    bool server() const { return server_ != nullptr; }
    Session& session() { return server_ ? server_->session() : file_->session(); }

    void exec(const std::string& sql);
    std::string value(const std::string& sql);
    long long count(const std::string& sql);
    // Every value of every row as text, "<null>" for null (the engine's own text of numbers).
    std::vector<std::vector<std::string>> rows(const std::string& sql);

private:
    std::string native(const std::string& sql) const;
    std::unique_ptr<FreshDatabase> file_;
    std::unique_ptr<ServerFreshDatabase> server_;
};

// Skips a server case when the test command started no server.
#define QTMV_SKIP_WITHOUT_TEST_SERVER(engine)                                                                   \
    do {                                                                                                        \
        if ((engine) == ::qtmv::db::test::Engine::Server && !::jet::testing::TestServer())                      \
            GTEST_SKIP() << ::jet::testing::kNoTestServer;                                                      \
    } while (0)

} // namespace qtmv::db::test
