#pragma once
// Counts the database files SQLite opens as main databases while it lives:
// one per connection to a database file. Installed as SQLite's default file
// system for the lifetime of the object, forwarding everything to the one it
// replaces; for tests that show how many connections an operation opens.
#include <sqlite3.h>

namespace jet::testing {

class SqliteOpenCounter {
public:
    SqliteOpenCounter() : base_(sqlite3_vfs_find(nullptr)), vfs_(*base_)
    {
        current() = this;
        vfs_.zName = "qtmv-open-counter";
        vfs_.xOpen = &open;
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~SqliteOpenCounter()
    {
        sqlite3_vfs_unregister(&vfs_);
        sqlite3_vfs_register(base_, 1);
        current() = nullptr;
    }
    SqliteOpenCounter(const SqliteOpenCounter&) = delete;
    SqliteOpenCounter& operator=(const SqliteOpenCounter&) = delete;

    int mainDatabases() const { return opened_; }

private:
    // The base file system's methods get their own object, as they expect.
    static SqliteOpenCounter*& current()
    {
        static SqliteOpenCounter* counter = nullptr;
        return counter;
    }
    static int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
    {
        SqliteOpenCounter* self = current();
        if (flags & SQLITE_OPEN_MAIN_DB)
            ++self->opened_;
        return self->base_->xOpen(self->base_, name, file, flags, outFlags);
    }

    sqlite3_vfs* base_;
    sqlite3_vfs vfs_;
    int opened_ = 0;
};

} // namespace jet::testing
