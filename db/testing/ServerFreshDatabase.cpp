#include "db/testing/ServerFreshDatabase.h"

#include "db/ServerSchema.h"

#include <functional>

namespace qtmv::db::test {

namespace {

// Names the template after the schema itself: a changed schema.sql makes a new one.
std::string SchemaKey()
{
    std::string all;
    for (const std::string& s : ServerSchemaStatements())
        all += s + ";";
    return std::to_string(std::hash<std::string>()(all) % 1000000007ULL);
}

} // namespace

ServerFreshDatabase::ServerFreshDatabase()
    : ServerDatabase(SchemaKey(), [](const std::string& cs) { CreateServerSchema(cs); })
{
    jet::SetServerWriteLockKey(kServerWriteLockKey);
    session_.WorkstationUser = "PC1\\admin";
    session_.ConnectionString = connectionString();
}

ServerFreshDatabase::ServerFreshDatabase(const std::string& key,
                                         const std::function<void(const std::string&)>& fill)
    : ServerDatabase(key + "_" + SchemaKey(), fill)
{
    jet::SetServerWriteLockKey(kServerWriteLockKey);
    session_.WorkstationUser = "PC1\\admin";
    session_.ConnectionString = connectionString();
}

ServerFreshDatabase::ServerFreshDatabase(Empty)
{
    jet::SetServerWriteLockKey(kServerWriteLockKey);
    session_.WorkstationUser = "PC1\\admin";
    session_.ConnectionString = connectionString();
}

} // namespace qtmv::db::test
