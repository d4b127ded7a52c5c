#pragma once
// A throw-away SQLite database file in a folder of its own, made with the
// engine's C API (the data-access layer never creates databases).
#include "platform/jet/Connection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <unistd.h>

namespace jet::testing {

class TempDatabase {
public:
    explicit TempDatabase(const std::string& setupSql = "")
    {
        static std::atomic<int> counter{0};
        dir_ = std::filesystem::temp_directory_path()
            / ("jet-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(dir_);
        file_ = dir_ / "QTMV.mdb";
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            ADD_FAILURE() << "cannot create " << file_;
        exec(db, "create table if not exists _made(x)"); // a real database file, not an empty one
        if (!setupSql.empty())
            exec(db, setupSql);
        sqlite3_close(db);
    }
    ~TempDatabase()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    std::string path() const { return file_.string(); }
    std::string connectionString() const { return connectionStringFor(path()); }
    // The data layer's tests cannot use the program's own builder (it sits
    // above this layer); this is the one stand-in.
    static std::string connectionStringFor(const std::string& path)
    {
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + QuoteConnectionValue(path)
            + ";Jet OLEDB:Database Password=kvoz2851kvoz2851";
    }

    // Runs SQLite statements directly, past the data-access layer.
    void exec(const std::string& sql) const
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db, 5000);
        exec(db, sql);
        sqlite3_close(db);
    }
    // The first column of the first row as text ("<null>" for null,
    // "<none>" without a row).
    std::string scalar(const std::string& sql) const
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* s = nullptr;
        std::string out = "<none>";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
            ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
        else if (sqlite3_step(s) == SQLITE_ROW)
            out = sqlite3_column_type(s, 0) == SQLITE_NULL
                ? "<null>"
                : reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
        sqlite3_close(db);
        return out;
    }
    // Runs `sql` on an open raw connection; a failure fails the test.
    static void exec(sqlite3* db, const std::string& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            ADD_FAILURE() << (err ? err : "?") << " in " << sql;
            sqlite3_free(err);
        }
    }

private:
    std::filesystem::path dir_, file_;
};

// `work` throws an Error of `kind` whose description holds each of `says`.
template <class Work>
void ExpectError(Work&& work, Error::Kind kind, std::initializer_list<std::string> says = {})
{
    try {
        work();
        ADD_FAILURE() << "no error thrown";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), kind) << e.description();
        for (const std::string& s : says)
            EXPECT_NE(e.description().find(s), std::string::npos) << s << " in " << e.description();
    }
}

// A raw SQLite connection of "another workstation", holding a lock until it
// goes away.
class LockHolder {
public:
    LockHolder(const std::string& path, const char* begin)
    {
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        exec(begin);
    }
    ~LockHolder() { sqlite3_close(db_); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    void exec(const std::string& sql) { TempDatabase::exec(db_, sql); }

private:
    sqlite3* db_ = nullptr;
};

// While alive, a start-up wait budget and an observer counting the waits.
class BudgetGuard {
public:
    explicit BudgetGuard(std::chrono::milliseconds budget)
    {
        SetBusyWaitBudget(budget);
        SetBusyWaitObserver([this] { ++waits; });
    }
    ~BudgetGuard()
    {
        ClearBusyWaitBudget();
        SetBusyWaitObserver({});
    }
    std::atomic<int> waits{0};
};

} // namespace jet::testing
