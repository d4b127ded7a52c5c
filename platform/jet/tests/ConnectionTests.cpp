#include "platform/jet/Connection.h"
#include "platform/jet/Backend.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "TempDatabase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace jet {
namespace {

using testing::BudgetGuard;
using testing::ExpectError;
using testing::LockHolder;
using testing::TempDatabase;

// Opening `path` fails with `kind`; the description names the file and
// contains `says`.
void ExpectOpenFails(const std::string& path, Error::Kind kind, const std::string& says)
{
    SCOPED_TRACE(path);
    Connection c;
    ExpectError([&] { c.open(TempDatabase::connectionStringFor(path)); }, kind, {path, says});
    EXPECT_FALSE(c.isOpen());
}

// Runs `work` on a thread of its own; false when it has not finished within
// the limit (the thread is then left behind, stuck, and ends with the test
// program).
bool FinishesWithin(std::chrono::seconds limit, std::function<void()> work)
{
    auto task = std::make_shared<std::packaged_task<void()>>(std::move(work));
    std::future<void> done = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    return done.wait_for(limit) == std::future_status::ready;
}

TEST(ConnectionOpen, ClearDescriptionsForFilesThatAreNoDatabase)
{
    TempDatabase db;
    const auto dir = db.dir();
    const std::string missing = (dir / "NONE.mdb").string();
    ExpectOpenFails(missing, Error::Kind::FileMissing, "找不到資料庫檔案");
    EXPECT_FALSE(std::filesystem::exists(missing)); // never created

    std::string jet(2048, '\0'), ace(2048, '\0'), broken(8192, 'x');
    jet.replace(4, 15, "Standard Jet DB");
    ace.replace(4, 15, "Standard ACE DB");
    broken.replace(0, 16, std::string("SQLite format 3\0", 16));   // the engine's own check finds the garbage
    const struct { const char* name; std::string bytes; const char* says; } files[] = {
        {"jet.mdb", jet, "Microsoft Access（Jet）"}, {"ace.accdb", ace, "ACE"}, {"empty.mdb", "", "空的檔案"},
        {"notes.txt", "SITE=C\r\nDBQ=C:\\DATA\\QTMV.MDB\r\n", "不是資料庫檔案"}, {"broken.mdb", broken, "損毀"}};
    for (const auto& f : files) {
        std::ofstream(dir / f.name, std::ios::binary) << f.bytes;
        ExpectOpenFails((dir / f.name).string(), Error::Kind::NotADatabase, f.says);
    }
    ExpectOpenFails(dir.string(), Error::Kind::NotADatabase, "資料夾");

    Connection c;
    EXPECT_THROW(c.open(TempDatabase::connectionStringFor("")), Error);
}

// A named pipe is never opened for reading (that would wait for a writer for
// ever); sockets and devices are refused the same way, by what they are.
TEST(ConnectionOpen, NamedPipesSocketsAndDevicesAreRefusedWithoutWaiting)
{
    TempDatabase db;
    const std::string fifo = (db.dir() / "pipe.mdb").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string linked = (db.dir() / "link.mdb").string();
    std::filesystem::create_symlink(fifo, linked);
    const std::string sock = (db.dir() / "sock.mdb").string();
    const int sd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(sock.size(), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, sock.c_str(), sock.size() + 1);
    ASSERT_EQ(::bind(sd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);

    const bool finished = FinishesWithin(std::chrono::seconds(10), [&] {
        ExpectOpenFails(fifo, Error::Kind::NotADatabase, "具名管道（FIFO），不是資料庫檔案");
        ExpectOpenFails(linked, Error::Kind::NotADatabase, "具名管道（FIFO）");
        ExpectOpenFails(sock, Error::Kind::NotADatabase, "通訊端（socket），不是資料庫檔案");
        ExpectOpenFails("/dev/zero", Error::Kind::NotADatabase, "裝置檔案，不是資料庫檔案");
    });
    ::close(sd);
    ASSERT_TRUE(finished) << "opening a named pipe as the database hangs";
}

// Values go into connection strings quoted as OLE DB quotes them, so a
// folder with ";" or quotes names the same file when read back.
TEST(ConnectionString, ValuesAreQuotedAndReadBack)
{
    EXPECT_EQ(QuoteConnectionValue("/a;b/QTMV.mdb"), "\"/a;b/QTMV.mdb\"");
    EXPECT_EQ(QuoteConnectionValue("/say \"hi\"/"), "\"/say \"\"hi\"\"/\"");
    EXPECT_EQ(QuoteConnectionValue(" /lead"), "\" /lead\"");

    for (const std::string path :
         {"/srv/a;b/QTMV.mdb", "/srv/other.db;x=/QTMV.mdb", "/srv/say \"hi\"/QTMV.mdb", "/srv/it's/QTMV.mdb",
          "'/quoted'/QTMV.mdb", "\"/quoted\"", "/srv/a=b/QTMV.mdb", " /lead/QTMV.mdb", "/trail/QTMV.mdb ",
          "\t/tab/QTMV.mdb", "/srv/共用 資料/日報；一廠/QTMV.mdb", ";", "\"", "'", "\"\"", "x\";'=; y", "\\\\SERVER\\DATA\\QTMV.mdb"})
        EXPECT_EQ(DataSourceOf(TempDatabase::connectionStringFor(path)), path) << TempDatabase::connectionStringFor(path);

    // Single quotes are read too, a doubled one standing for itself.
    EXPECT_EQ(DataSourceOf("Provider=x;Data Source='/it''s;x/QTMV.mdb' ;Jet OLEDB:Database Password=p"),
              "/it's;x/QTMV.mdb");
    EXPECT_EQ(DataSourceOf("junk;Data Source=/a/QTMV.mdb"), "/a/QTMV.mdb");
    EXPECT_EQ(DataSourceOf("data source = \"/a;b/QTMV.mdb\" ;x=y"), "/a;b/QTMV.mdb");
    EXPECT_EQ(DataSourceOf("Provider=x"), "");
    EXPECT_THROW(DataSourceOf("Provider=x;Data Source=\"/a;b/QTMV.mdb"), Error);
    EXPECT_THROW(DataSourceOf("Provider=x;Data Source=\"/a\"b/QTMV.mdb;x=y"), Error);
}

TEST(ConnectionString, FolderWithSemicolonOpensItsOwnFileAndNoOther)
{
    TempDatabase db("create table T (N integer);");
    // A real folder "share;x" holding a copy of the database.
    const auto share = db.dir() / "share;x";
    std::filesystem::create_directories(share);
    std::filesystem::copy_file(db.path(), share / "QTMV.mdb");
    {
        Connection c;
        c.open(TempDatabase::connectionStringFor((share / "QTMV.mdb").string()));
        EXPECT_EQ(c.dataSource(), (share / "QTMV.mdb").string());
        c.execute("insert into [T] values (7)");
        Recordset rs;
        rs.open("select count(*) as N from [T]", c);
        EXPECT_EQ(rs.field("N").text(), "1");
    }
    EXPECT_EQ(db.scalar("select count(*) from T"), "0");

    // A path that would read as the other database once cut at its ";".
    ExpectOpenFails(db.path() + ";x=/QTMV.mdb", Error::Kind::FileMissing, "找不到資料庫檔案");
}

// Messages and the status bar name a server database by its server, a file
// by its full path.
TEST(ConnectionString, DatabaseShownName)
{
    EXPECT_EQ(DatabaseShownName("Provider=PostgreSQL;Server=db1;Port=5433;Database=qtmv;User ID=daily"),
              "db1:5433/qtmv");
    EXPECT_EQ(DatabaseShownName("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/srv/a;b/QTMV.mdb"), "/srv/a");
    EXPECT_EQ(DatabaseShownName("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"/srv/a;b/QTMV.mdb\""),
              "/srv/a;b/QTMV.mdb");
    EXPECT_EQ(DatabaseShownName("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=QTMV.mdb"),
              (std::filesystem::current_path() / "QTMV.mdb").string());
    EXPECT_EQ(DatabaseShownName("Provider=x"), "");
    EXPECT_EQ(DatabaseShownName("Data Source=\"/srv/unclosed"), "");
}

TEST(ConnectionOpen, DatabaseLeftInWalModeIsSwitchedBack)
{
    TempDatabase db("PRAGMA journal_mode=WAL;");
    ASSERT_EQ(db.scalar("PRAGMA journal_mode"), "wal");
    {
        Connection c;
        c.open(db.connectionString());
    }
    EXPECT_EQ(db.scalar("PRAGMA journal_mode"), "delete");
}

// A file on a local disk is read memory-mapped with a large page cache; a
// network file system keeps SQLite's plain reads. The file is found whatever
// the case of its name: a DSN names it QTMV.MDB, the connection string QTMV.mdb.
TEST(ConnectionOpen, FileNameCaseAndLocalFilesAreReadMappedAndSharesPlainly)
{
    TempDatabase db("create table T (N integer);");
    std::filesystem::rename(db.path(), db.dir() / "QTMV.MDB");
    Connection c;
    c.open(db.connectionString());
    EXPECT_TRUE(c.isOpen());
    EXPECT_TRUE(c.mappedReads());   // the test's temporary folder is a local disk

    for (long share : {0x6969L, 0x517BL, 0xFF534D42L, 0xFE534D42L, 0x65735546L})
        EXPECT_TRUE(IsNetworkFileSystem(share)) << std::hex << share;
    for (long local : {0xEF53L /* ext4 */, 0x58465342L /* xfs */, 0x01021994L /* tmpfs */, 0x794C7630L /* overlay */})
        EXPECT_FALSE(IsNetworkFileSystem(local)) << std::hex << local;
}

// The numbers in table T, read through a connection opened now.
std::string NumbersIn(const TempDatabase& db)
{
    Connection c;
    c.open(db.connectionString());
    Recordset rs;
    rs.open("select group_concat(N) as N from [T]", c);
    return rs.text("N");
}

// Puts a file whose table T holds only 7 in the place of db's file, as a
// restore from a backup does.
void RestoreOver(const TempDatabase& db)
{
    const std::string restored = (db.dir() / "restored.mdb").string();
    {
        TempDatabase other("create table T (N integer); insert into T values (7);");
        std::filesystem::copy_file(other.path(), restored);
    }
    std::filesystem::rename(restored, db.path());
}

// A connection, once closed, may be handed to the next open of the same
// file; what that open reads must still be the file the path names now.
TEST(ConnectionOpen, ReopeningReadsTheFileThePathNamesNow)
{
    TempDatabase db("create table T (N integer); insert into T values (1);");
    EXPECT_EQ(NumbersIn(db), "1");

    db.exec("insert into T values (2)"); // another workstation writes
    EXPECT_EQ(NumbersIn(db), "1,2");

    RestoreOver(db);
    EXPECT_EQ(NumbersIn(db), "7");

    // Gone: the open fails and names the file, as for any missing file.
    std::filesystem::remove(db.path());
    ExpectOpenFails(db.path(), Error::Kind::FileMissing, "找不到資料庫檔案");

    // Closing a connection still closes its recordsets, kept for reuse or not.
    TempDatabase second("create table T (N integer); insert into T values (3), (4);");
    Connection first;
    first.open(second.connectionString());
    Recordset reading;
    reading.open("select N from [T] order by N", first, CursorLocation::Server, CursorType::ForwardOnly);
    first.close();
    ExpectError([&] { reading.moveNext(); }, Error::Kind::Usage);
    reading.close();
    Connection next;
    next.open(second.connectionString());
    EXPECT_EQ(next.execute("insert into [T] values (5)"), 1);
    EXPECT_EQ(second.scalar("select group_concat(N) from T"), "3,4,5");
}

// A file opened ahead on another thread: taken by the next open of that
// file on the thread that asked for it, never stale, never for a file put
// in its place, never by another thread; a locked file is not waited for.
TEST(ConnectionOpen, OpenedAheadIsTakenOnlyForThatFileAsItIsNow)
{
    TempDatabase db("create table T (N integer); insert into T values (1);");
    {
        OpenAhead ahead(db.connectionString());
        db.exec("insert into T values (2)"); // another workstation writes meanwhile
        EXPECT_EQ(NumbersIn(db), "1,2");
        EXPECT_TRUE(ahead.taken());
    }
    {
        OpenAhead ahead(db.connectionString());
        RestoreOver(db);
        EXPECT_EQ(NumbersIn(db), "7");
        EXPECT_FALSE(ahead.taken());
    }
    {
        OpenAhead ahead(db.connectionString());
        std::thread([&] { EXPECT_EQ(NumbersIn(db), "7"); }).join();
        EXPECT_FALSE(ahead.taken());
        EXPECT_EQ(NumbersIn(db), "7");
        EXPECT_TRUE(ahead.taken());
    }
    {
        LockHolder exclusive(db.path(), "BEGIN EXCLUSIVE");
        exclusive.exec("insert into T values (8)");
        BudgetGuard budget(std::chrono::seconds(30));
        // Made and ended without waiting for the lock, and without telling
        // anyone of a wait: the default busy timeout would be ten seconds.
        EXPECT_TRUE(FinishesWithin(std::chrono::seconds(5), [&] { OpenAhead ahead(db.connectionString()); }));
        EXPECT_EQ(budget.waits, 0);
        exclusive.exec("COMMIT");
    }
    OpenAhead missing(TempDatabase::connectionStringFor((db.dir() / "NONE.mdb").string()));
    ExpectOpenFails((db.dir() / "NONE.mdb").string(), Error::Kind::FileMissing, "找不到資料庫檔案");
    EXPECT_FALSE(missing.taken());
}

TEST(ConnectionExecute, RowsChangedAndErrorsWithTheStatement)
{
    TempDatabase db("create table T (ID text, N integer); insert into T values ('a', 1), ('b', 2), ('c', 3);");
    Connection c;
    c.open(db.connectionString());
    EXPECT_EQ(c.execute("update [T] set N = N + 1 where N >= 2"), 2);
    EXPECT_EQ(c.execute("select * from [T]"), 0);
    EXPECT_EQ(c.execute("create table [U] (x)"), 0);
    EXPECT_EQ(c.execute("delete from [T] where ID = 'zz'"), 0);
    try {
        c.execute("update [T] set X = 1 where ID = 'a'");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::Kind::Syntax);
        EXPECT_NE(e.engineMessage().find("no such column: X"), std::string::npos) << e.what();
        EXPECT_EQ(e.sql(), "update [T] set X = 1 where ID = 'a'");
        EXPECT_EQ(e.description().find("no such column"), std::string::npos);   // not for the user's eyes
    }
    // A misspelt bracketed name is an error, never read as a text.
    Recordset rs;
    EXPECT_THROW(rs.open("select [IDD] from [T]", c), Error);
    c.close();
    EXPECT_THROW(c.execute("delete from [T]"), Error);
    EXPECT_EQ(db.scalar("select count(*) from T"), "3");
}

// A writer holding the exclusive lock keeps even a reader's open out: that
// wait too is announced, ends with start-up's budget, far below the default
// busy timeout, and the description names the database.
TEST(ConnectionConcurrency, OpenBlockedByAnExclusiveLockEndsWithTheBudget)
{
    TempDatabase db("create table T (N integer);");
    const auto start = std::chrono::steady_clock::now();
    {
        LockHolder exclusive(db.path(), "BEGIN EXCLUSIVE");
        exclusive.exec("insert into T values (2)");
        BudgetGuard budget(std::chrono::milliseconds(300));
        Connection reader;
        ExpectError([&] { reader.open(db.connectionString()); }, Error::Kind::Busy,
                    {"資料庫忙碌中", "「" + db.path() + "」"});
        EXPECT_EQ(budget.waits, 1);
        exclusive.exec("COMMIT");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(db.scalar("select group_concat(N) from T"), "2");
}

} // namespace
} // namespace jet
