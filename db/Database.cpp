#include "Database.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace qtmv::db {

namespace detail {
std::string_view EmbeddedSchema();
}

std::string_view SchemaSql() { return detail::EmbeddedSchema(); }

namespace {

void Exec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw Error("Creating the database schema failed: " + text);
    }
}

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

} // namespace

void CreateSchema(sqlite3* db)
{
    const std::string sql(SchemaSql()); // sqlite3_exec needs a terminated text
    Exec(db, "BEGIN IMMEDIATE");
    try {
        Exec(db, sql.c_str());
        Exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

namespace {

// The empty database with the schema, as the bytes of its file. Running the
// schema costs milliseconds (far more under the sanitizers), and the tests
// create many databases; the image is built once and never changes.
const std::string& EmptyDatabaseImage()
{
    static const std::string image = [] {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open(":memory:", &raw);
        std::unique_ptr<sqlite3, Closer> db(raw);
        if (rc != SQLITE_OK)
            throw Error(std::string("Cannot open a database in memory: ") + sqlite3_errstr(rc));
        CreateSchema(db.get());
        sqlite3_int64 size = 0;
        unsigned char* bytes = sqlite3_serialize(db.get(), "main", &size, 0);
        if (!bytes)
            throw Error("Cannot serialise the new database.");
        std::string out(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
        sqlite3_free(bytes);
        return out;
    }();
    return image;
}

} // namespace

void CreateDatabase(const std::string& path)
{
    const std::string& image = EmptyDatabaseImage();
    // "x": create exclusively, so that an existing file (or one created at the
    // same moment by someone else) is never overwritten.
    std::FILE* f = std::fopen(path.c_str(), "wbx");
    if (!f) {
        if (errno == EEXIST)
            throw Error("The database file " + path + " already exists; it is not overwritten.");
        throw Error("Cannot create the database file " + path + ": " + std::strerror(errno));
    }
    const bool written = std::fwrite(image.data(), 1, image.size(), f) == image.size();
    const int error = errno;
    if (std::fclose(f) != 0 || !written) {
        std::remove(path.c_str());
        throw Error("Cannot write the database file " + path + ": " + std::strerror(written ? errno : error));
    }
}

} // namespace qtmv::db
