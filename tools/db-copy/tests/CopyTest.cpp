// A demo plant copied to a server database and back: the same rows, the
// counts checked, nothing ever overwritten.
#include "db/Copy.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/testing/ServerDatabase.h"
#include "tools/demo-db/DemoPlant.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iterator>

#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using qtmv::db::test::FreshDatabase;

std::vector<std::string> RowsOf(const std::string& connectionString, const std::string& jetSql)
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

void SmallPlant(const std::string& path)
{
    qtmv::demo::DemoOptions o;
    o.workOrders = 60;
    qtmv::demo::WriteDemoPlant(path, o);
}

class DbCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!jet::testing::TestServer())
            GTEST_SKIP() << jet::testing::kNoTestServer;
    }
    FreshDatabase plant_{SmallPlant};
};

// Copied again onto what it made, or onto a file that is there, the copy is
// refused and the target stays as it was.
TEST_F(DbCopy, ToTheServerAndBackGivesTheSameDatabaseAndNeverOverwrites)
{
    jet::testing::ServerDatabase server;
    const auto copied = qtmv::db::CopyDatabase(plant_.connectionString(), server.connectionString());
    long long total = 0;
    for (const auto& t : copied) {
        EXPECT_EQ(t.rows, plant_.count("select * from [" + t.table + "]")) << t.table;
        total += t.rows;
    }
    EXPECT_GT(total, 1000);
    EXPECT_THROW(qtmv::db::CopyDatabase(plant_.connectionString(), server.connectionString()), jet::Error);
    // A view reads the copied rows on the server as on the file; the tables'
    // rows come back whole in the copy back below.
    const std::string view = "select * from [印刷預排表] order by ID, INO";
    EXPECT_EQ(RowsOf(server.connectionString(), view), RowsOf(plant_.connectionString(), view));
    const std::string contents = plant_.contents();
    EXPECT_THROW(qtmv::db::CopyDatabase(server.connectionString(), plant_.connectionString()), jet::Error);
    EXPECT_EQ(plant_.contents(), contents);

    // Back into a new file, through the command line: the same rows as stored.
    const std::string back = plant_.folder() + "back.mdb";
    const std::string command = std::string(DB_COPY_PATH) + " '" + server.connectionString() + "' '" + back
                                + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(qtmv::db::test::Db(back).contents(), contents);
    EXPECT_EQ(std::system((std::string(DB_COPY_PATH) + " only-one 2> /dev/null").c_str()) >> 8, 2);

    // A key the server numbers itself comes after the copied ones.
    jet::Connection c;
    c.open(server.connectionString());
    c.execute("insert into [PHRASE] ([KIND], [ITEM], [DESC]) values ('Z-雜項', '機別', 'new')");
    EXPECT_EQ(RowsOf(server.connectionString(), "select ID from [PHRASE] where [DESC] = 'new'"),
              std::vector<std::string>{plant_.value("select max(ID) + 1 from PHRASE") + "|"});
}

// Killed half-way through a copy to a file: nothing stands under the target's
// name, and the copy made again succeeds and leaves nothing else behind.
TEST(DbCopyToFile, KilledHalfWayLeavesNoTargetAndADatabaseWithoutALaterColumnCopiesItsRows)
{
    FreshDatabase plant{SmallPlant};
    const std::string folder = plant.folder() + "copy/";
    std::filesystem::create_directories(folder);
    const std::string target = folder + "QTMV.mdb";
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, folder.c_str(), IN_CREATE), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(DB_COPY_PATH, "db-copy", plant.path().c_str(), target.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The first file made in the folder: the copy has begun. It is killed
    // at once, long before it has copied every table.
    pollfd p{watch, POLLIN, 0};
    const bool began = ::poll(&p, 1, 20000) == 1;
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(watch);
    ASSERT_TRUE(began);
    EXPECT_FALSE(std::filesystem::exists(target));
    const std::filesystem::directory_iterator end;   // what the killed copy left: its part file
    EXPECT_EQ(std::count_if(std::filesystem::directory_iterator(folder), end,
                            [](const auto& e) { return e.path().extension() == ".part"; }), 1);

    const std::string again = std::string(DB_COPY_PATH) + " '" + plant.path() + "' '" + target + "' > /dev/null";
    ASSERT_EQ(std::system(again.c_str()), 0) << again;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), end), 1);   // the target alone
    EXPECT_EQ(qtmv::db::test::Db(target).contents(), plant.contents());

    // A database made before the schema gained a column (colour targets without
    // their tolerances) copies, to a file and to a server, its rows taking the
    // column's default (none: null).
    for (const char* column : {"容許色差", "濃度目標", "濃度容許"})
        plant.exec(std::string("alter table [色號目標值] drop column [") + column + "]");
    const std::string targets = "select 色號, L, 備註, 容許色差, 濃度目標, 濃度容許 from [色號目標值] order by 色號";
    const auto expected = RowsOf(plant.connectionString(), "select 色號, L, 備註, null, null, null from [色號目標值] order by 色號");
    ASSERT_FALSE(expected.empty());
    const std::string file = plant.folder() + "copy.mdb";
    qtmv::db::CopyDatabase(plant.connectionString(), qtmv::db::ConnectionStringOfArgument(file));
    EXPECT_EQ(RowsOf(qtmv::db::ConnectionStringOfArgument(file), targets), expected);
    if (!jet::testing::TestServer())
        return;
    jet::testing::ServerDatabase server;
    qtmv::db::CopyDatabase(plant.connectionString(), server.connectionString());
    EXPECT_EQ(RowsOf(server.connectionString(), targets), expected);
}

} // namespace
