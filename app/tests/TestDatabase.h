#pragma once
// A fresh database in a temporary folder, with a session pointing at it.
#include "app/core/DatabaseLocation.h"
#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"

#include <QTemporaryDir>

#include <string>

namespace qtmv::test {

// Creates the database file "QTMV.mdb" in the folder.
void createTestDatabase(const std::string& folder);

class TestDatabase {
public:
    TestDatabase()
    {
        folder = dir.path().toStdString() + "/";
        createTestDatabase(folder);
        session.DatabaseFolder = folder;
        session.ProgramFolder = folder;
        session.TempFolder = folder;
        session.WorkstationUser = "PC1\\admin";
        BuildConnectionString(session);
    }
    void exec(const std::string& sql)
    {
        jet::Connection c;
        c.open(session.ConnectionString);
        c.execute(sql);
    }
    long long count(const std::string& table, const std::string& where = "")
    {
        jet::Connection c;
        c.open(session.ConnectionString);
        jet::Recordset rs;
        rs.open("select count(*) as N from [" + table + "] " + where, c);
        return static_cast<long long>(rs.field("N").number());
    }
    std::string value(const std::string& sql, const std::string& field)
    {
        jet::Connection c;
        c.open(session.ConnectionString);
        jet::Recordset rs;
        rs.open(sql, c);
        return rs.eof() ? std::string("<none>") : rs.field(field).text();
    }

    QTemporaryDir dir;
    std::string folder;
    Session session;
};

} // namespace qtmv::test
