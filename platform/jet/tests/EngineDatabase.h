#pragma once
// A test database on either engine: an SQLite file (TempDatabase) or a
// database on the test server. Tables are made in SQLite's words and
// converted for the server; exec() and scalar() speak the engine's own SQL.
#include "TempDatabase.h"
#include "platform/jet/testing/ServerDatabase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace jet::testing {

enum class Engine { SQLite, Server };

inline std::string EngineName(const ::testing::TestParamInfo<Engine>& info)
{
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

class EngineDatabase {
public:
    explicit EngineDatabase(Engine e)
    {
        if (e == Engine::SQLite)
            file_ = std::make_unique<TempDatabase>();
        else
            server_ = std::make_unique<ServerDatabase>();
    }
    bool server() const { return server_ != nullptr; }
    std::string connectionString() const
    {
        return server_ ? server_->connectionString() : file_->connectionString();
    }
    void exec(const std::string& sql) const { server_ ? server_->exec(sql) : file_->exec(sql); }
    std::string scalar(const std::string& sql) const { return server_ ? server_->scalar(sql) : file_->scalar(sql); }
    void table(const std::string& name, const std::string& columns) const
    {
        exec(CreateTableSql(name, columns, server()));
    }

private:
    std::unique_ptr<TempDatabase> file_;
    std::unique_ptr<ServerDatabase> server_;
};

// Skips a server case when the test command started no server.
#define QTMV_SKIP_WITHOUT_SERVER(engine)                                                                        \
    do {                                                                                                        \
        if ((engine) == ::jet::testing::Engine::Server && !::jet::testing::TestServer())                        \
            GTEST_SKIP() << ::jet::testing::kNoTestServer;                                                      \
    } while (0)

} // namespace jet::testing
