#pragma once
// A fresh database for the lookup tests, with plain SQLite access to seed it
// and the connection string the lookups open it with.
#include "db/Database.h"
#include "db/tests/TestDb.h"

#include <memory>
#include <string>

namespace qtmv::lookups::test {

class LookupDb {
public:
    LookupDb() : path_("lookups")
    {
        db::createDatabase(path_.str());
        db_ = std::make_unique<db::test::Db>(path_.str());
    }
    std::string connectionString() const
    {
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path_.str() +
               ";Jet OLEDB:Database Password=kvoz2851kvoz2851";
    }
    void exec(const std::string& sql) { db_->exec(sql); }

private:
    db::test::TempPath path_;
    std::unique_ptr<db::test::Db> db_;
};

} // namespace qtmv::lookups::test
