// A demo plant copied to a server database and back: the same rows, the
// counts checked, nothing ever overwritten.
#include "db/Copy.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/testing/ServerDatabase.h"
#include "tools/demo-db/DemoPlant.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using qtmv::db::test::FreshDatabase;

std::vector<std::string> rowsOf(const std::string& connectionString, const std::string& jetSql)
{
    jet::Connection c;
    c.open(connectionString);
    jet::Recordset rs;
    rs.open(jetSql, c);
    std::vector<std::string> out;
    for (const auto& row : rs.rows()) {
        std::string line;
        for (const auto& v : row)
            line += (v.isNull() ? "<null>" : v.text()) + "|";
        out.push_back(line);
    }
    return out;
}

class DbCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!jet::testing::testServer())
            GTEST_SKIP() << jet::testing::kNoTestServer;
    }
    FreshDatabase plant_{[](const std::string& path) {
        qtmv::demo::DemoOptions o;
        o.workOrders = 60;
        qtmv::demo::writeDemoPlant(path, o);
    }};
};

TEST_F(DbCopy, ToTheServerAndBackGivesTheSameDatabase)
{
    jet::testing::ServerDatabase server;
    const auto copied = qtmv::db::copyDatabase(plant_.connectionString(), server.connectionString());
    long long total = 0;
    for (const auto& t : copied) {
        EXPECT_EQ(t.rows, plant_.count("select * from [" + t.table + "]")) << t.table;
        total += t.rows;
    }
    EXPECT_GT(total, 1000);
    for (const char* sql : {"select * from [PRINTING_S] order by ID, INO", "select * from [PWORK] order by PO",
                            "select * from [印刷預排表] order by ID, INO", "select * from [PHRASE] order by ID"})
        EXPECT_EQ(rowsOf(server.connectionString(), sql), rowsOf(plant_.connectionString(), sql)) << sql;

    // Back into a new file, through the command line: the same rows as stored.
    const std::string back = plant_.folder() + "back.mdb";
    const std::string command = std::string(DB_COPY_PATH) + " '" + server.connectionString() + "' '" + back
                                + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(qtmv::db::test::Db(back).contents(), plant_.contents());

    // A key the server numbers itself comes after the copied ones.
    jet::Connection c;
    c.open(server.connectionString());
    c.execute("insert into [PHRASE] ([KIND], [ITEM], [DESC]) values ('Z-雜項', '機別', 'new')");
    EXPECT_EQ(rowsOf(server.connectionString(), "select ID from [PHRASE] where [DESC] = 'new'"),
              std::vector<std::string>{plant_.value("select max(ID) + 1 from PHRASE") + "|"});
}

TEST_F(DbCopy, NeverOverwrites)
{
    jet::testing::ServerDatabase server;
    qtmv::db::copyDatabase(plant_.connectionString(), server.connectionString());
    const auto before = rowsOf(server.connectionString(), "select count(*) as N from [PRINTING_S] ");
    EXPECT_THROW(qtmv::db::copyDatabase(plant_.connectionString(), server.connectionString()), jet::Error);
    EXPECT_EQ(rowsOf(server.connectionString(), "select count(*) as N from [PRINTING_S] "), before);

    const std::string contents = plant_.contents();
    EXPECT_THROW(qtmv::db::copyDatabase(server.connectionString(), plant_.connectionString()), jet::Error);
    EXPECT_EQ(plant_.contents(), contents);
    EXPECT_EQ(std::system((std::string(DB_COPY_PATH) + " only-one 2> /dev/null").c_str()) >> 8, 2);
}

} // namespace
