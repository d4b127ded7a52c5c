#pragma once
// A database of the suite's schema in a folder of its own, with the session
// start-up would set up for a program in that folder, and plain SQLite access
// to seed it and to read back what the program wrote.
#include "app/core/Session.h"
#include "db/testing/PlainDb.h"

#include <functional>
#include <string>

namespace qtmv::db::test {

// Writes a database file at the path it is given.
using DatabaseMaker = std::function<void(const std::string& path)>;

// Copies an existing database file (a demo plant, a seeded template).
DatabaseMaker CopyOf(const std::string& file);

namespace detail {
// The folder and its database file, made before the plain access opens it.
class DatabaseFolder {
public:
    explicit DatabaseFolder(const DatabaseMaker& make);
    ~DatabaseFolder();
    DatabaseFolder(const DatabaseFolder&) = delete;
    DatabaseFolder& operator=(const DatabaseFolder&) = delete;

protected:
    std::string folder_;
};
} // namespace detail

class FreshDatabase : private detail::DatabaseFolder, public Db {
public:
    // An empty database of the schema.
    FreshDatabase();
    // The file `make` writes instead.
    explicit FreshDatabase(const DatabaseMaker& make);

    // Ends in "/"; removed with everything in it when the object goes.
    const std::string& folder() const { return folder_; }
    // folder() + "QTMV.mdb", where start-up looks for it.
    std::string path() const { return folder_ + "QTMV.mdb"; }

    // Located as start-up locates a program in folder() on computer "PC1" of
    // user "admin", without a DSN file or user profile: DatabaseFolder,
    // ProgramFolder and TempFolder are folder(), WorkstationUser "PC1\admin",
    // and ConnectionString is the program's own. Nobody is signed in.
    Session& session() { return session_; }
    const std::string& connectionString() const { return session_.ConnectionString; }

private:
    Session session_;
};

} // namespace qtmv::db::test
