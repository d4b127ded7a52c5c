// Transactions and other workstations, on both engines.
#include "platform/jet/Connection.h"
#include "platform/jet/IdleConnections.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Retry.h"
#include "EngineDatabase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace jet {
namespace {

using testing::Engine;
using testing::EngineDatabase;

// The statement in a transaction of its own, committed.
void WriteIn(Connection& c, const std::string& sql)
{
    Transaction t(c);
    c.execute(sql);
    t.commit();
}

class EngineConnection : public ::testing::TestWithParam<Engine> {
protected:
    std::unique_ptr<EngineDatabase> db;

    void SetUp() override
    {
        QTMV_SKIP_WITHOUT_SERVER(GetParam());
        db = std::make_unique<EngineDatabase>(GetParam());
        db->table("C", "ID text, N integer");
        db->exec("insert into C (ID, N) values ('k', 0)");
    }
    long long counter() const { return std::stoll(db->scalar("select N from C where ID = 'k'")); }
};

TEST_P(EngineConnection, NestedTransactionsAndRollbackUnlessCommitted)
{
    Connection c;
    c.open(db->connectionString());
    {
        Transaction t(c);
        c.execute("update [C] set N = 1");
    } // not committed
    EXPECT_EQ(counter(), 0);
    {
        Transaction t(c);
        c.execute("update [C] set N = N + 10");
        {
            Transaction inner(c);
            c.execute("update [C] set N = N + 100");
        } // the nested part only
        {
            Transaction inner(c);
            c.execute("update [C] set N = N + 1000");
            inner.commit();
        }
        t.commit();
    }
    EXPECT_EQ(counter(), 1010);
    {
        Connection d;
        d.open(db->connectionString());
        d.beginTrans();
        d.execute("update [C] set N = 5");
    } // the connection goes away with its transaction open
    EXPECT_EQ(counter(), 1010);
}

// A failed statement inside a transaction: the commit says the data was not
// written instead of reporting success.
TEST_P(EngineConnection, CommitAfterAFailedStatementIsNoSuccess)
{
    Connection c;
    c.open(db->connectionString());
    Transaction t(c);
    c.execute("update [C] set N = 7");
    EXPECT_THROW(c.execute("update [C] set MISSING = 1"), Error);
    if (db->server()) {
        testing::ExpectError([&] { t.commit(); }, Error::Kind::General, {"資料沒有寫入"});
        EXPECT_EQ(counter(), 0);
    } else {
        t.commit(); // SQLite keeps the transaction and what it wrote before
        EXPECT_EQ(counter(), 7);
    }
}

// Workstations reading a counter in their transaction and writing it back
// through an editing recordset: all succeed, no increment is lost.
TEST_P(EngineConnection, WritersAtOnceLoseNoUpdate)
{
    constexpr int rounds = 20, writers = 3;
    auto work = [&](std::string& failure) {
        try {
            Connection c;
            c.open(db->connectionString());
            for (int i = 0; i < rounds; ++i) {
                Transaction t(c);
                Recordset rs;
                rs.open("select * from [C] where ID = 'k'", c, CursorLocation::Client, CursorType::Dynamic,
                        LockType::Optimistic);
                const long long n = static_cast<long long>(rs.field("N").number());
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                rs.set("N", n + 1);
                rs.update();
                t.commit();
            }
        } catch (const Error& e) {
            failure = e.what();
        }
    };
    std::string failures[writers];
    std::vector<std::thread> threads;
    for (auto& f : failures)
        threads.emplace_back(work, std::ref(f));
    for (auto& th : threads)
        th.join();
    for (const auto& f : failures)
        EXPECT_EQ(f, "");
    EXPECT_EQ(counter(), rounds * writers);
}

// Another workstation holds a write transaction. A writer waits for it up to
// its busy timeout, then reports the database busy, naming the cause. With
// start-up's wait budget set, each wait is announced once and ends Busy when
// the budget is spent, long before the busy timeout; with the budget spent
// the next statement, on any connection, fails at once, unannounced; a wait
// that ends in time goes on with the statement.
TEST_P(EngineConnection, WaitsEndWithTheBusyTimeoutOrTheBudget)
{
    using std::chrono::milliseconds;
    Connection holder, timed, other, third; // other and third: the default busy timeout of ten seconds
    for (Connection* c : {&holder, &timed, &other, &third})
        c->open(db->connectionString());
    timed.setBusyTimeout(300);
    Transaction held(holder);
    holder.execute("update [C] set N = 1");
    auto start = std::chrono::steady_clock::now();
    testing::ExpectError([&] { WriteIn(timed, "update [C] set N = 5"); }, Error::Kind::Busy,
                         {"資料庫忙碌中", "其他工作站"});
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(250));

    testing::BudgetGuard budget(milliseconds(400));
    const std::atomic<int>& waits = budget.waits;
    start = std::chrono::steady_clock::now();
    testing::ExpectError([&] { other.execute("update [C] set N = 2"); }, Error::Kind::Busy,
                         {"資料庫忙碌中", "其他工作站"});
    EXPECT_EQ(waits, 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(350));
    testing::ExpectError([&] { WriteIn(third, "update [C] set N = 3"); }, Error::Kind::Busy);
    EXPECT_EQ(waits, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

    SetBusyWaitBudget(milliseconds(300));
    testing::ExpectError([&] { Transaction t(other); }, Error::Kind::Busy, {"資料庫忙碌中"});
    EXPECT_EQ(waits, 2);

    SetBusyWaitBudget(std::chrono::seconds(8));
    std::thread release([&] {
        std::this_thread::sleep_for(milliseconds(300));
        held.commit();
    });
    EXPECT_EQ(other.execute("update [C] set N = N + 1"), 1);
    release.join();
    // It waited. The file may find itself locked once more while the
    // holder's commit finishes, which begins a second wait.
    EXPECT_GE(waits, 3);
    EXPECT_EQ(counter(), 2); // the holder's 1, and nothing of the writers refused
}

// A server's write lock is the one whose key the program gave: a
// transaction under another key does not wait for it, one under the same key
// does, and a connection opened without a key starts no transaction.
TEST_P(EngineConnection, ServerWriteLockIsTakenUnderTheKeyTheProgramGave)
{
    if (!db->server())
        GTEST_SKIP() << "a server's own lock";
    db->table("D", "ID text, N integer");
    db->exec("insert into D (ID, N) values ('k', 0)");
    struct Restore {
        std::optional<long long> key = ServerWriteLockKey();
        ~Restore() { SetServerWriteLockKey(key); }
    } restore;
    auto opened = [&](std::optional<long long> key) {
        SetServerWriteLockKey(key);
        auto c = std::make_unique<Connection>();
        c->setBusyTimeout(300);
        c->open(db->connectionString());
        return c;
    };
    const auto writer = opened(101);
    const auto sameKey = opened(101);
    const auto otherKey = opened(202);
    const auto noKey = opened(std::nullopt);

    Transaction t(*writer);
    writer->execute("update [C] set N = 1");
    WriteIn(*otherKey, "update [D] set N = 2");
    EXPECT_EQ(db->scalar("select N from D where ID = 'k'"), "2");
    testing::ExpectError([&] { Transaction u(*sameKey); }, Error::Kind::Busy, {"資料庫忙碌中"});
    testing::ExpectError([&] { Transaction u(*noKey); }, Error::Kind::Usage, {"寫入鎖定"});
    EXPECT_EQ(noKey->execute("update [D] set N = 3"), 1);   // a statement outside a transaction needs no lock
    t.commit();
    EXPECT_EQ(counter(), 1);
}

// A workstation keeps its server connection between operations, and
// connects anew when the server has dropped it.
TEST_P(EngineConnection, ServerConnectionIsKeptBetweenOperationsAndReplacedWhenDropped)
{
    if (!db->server())
        GTEST_SKIP() << "a server's own connections";
    const std::string others =
        "select coalesce(string_agg(pid::text, ','), '') from pg_stat_activity "
        "where datname = current_database() and pid <> pg_backend_pid()";
    auto operation = [&] {
        Connection c;
        c.open(db->connectionString());
        c.execute("update [C] set N = N + 1");
    };
    operation();
    const std::string first = db->scalar(others);
    ASSERT_FALSE(first.empty()) << "the connection was not kept";
    for (int i = 0; i < 5; ++i)
        operation();
    EXPECT_EQ(db->scalar(others), first);   // one connection, the same one

    db->exec("select pg_terminate_backend(pid) from pg_stat_activity "
             "where datname = current_database() and pid <> pg_backend_pid()");
    operation();   // works on a new connection
    EXPECT_EQ(counter(), 7);
    const std::string second = db->scalar(others);
    EXPECT_FALSE(second.empty());
    EXPECT_NE(second, first);
    ReleaseIdleConnections();
}

// Conflicts are run again a bounded number of times; other errors never.
TEST(RetryOnConflict, RunsAgainOnlyForConflictsAndOnlySoOften)
{
    int calls = 0;
    EXPECT_EQ(RetryOnConflict([&] {
                  if (++calls < kConflictAttempts)
                      throw Error(Error::Kind::Conflict, "collided");
                  return 42;
              }),
              42);
    EXPECT_EQ(calls, kConflictAttempts);
    calls = 0;
    testing::ExpectError([&] { RetryOnConflict([&] { ++calls; throw Error(Error::Kind::Conflict, "again"); }); },
                         Error::Kind::Conflict, {"again"});
    EXPECT_EQ(calls, kConflictAttempts);
    calls = 0;
    testing::ExpectError([&] { RetryOnConflict([&] { ++calls; throw Error(Error::Kind::Busy, "busy"); }); },
                         Error::Kind::Busy);
    EXPECT_EQ(calls, 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, EngineConnection, ::testing::Values(Engine::SQLite, Engine::Server),
                         testing::EngineName);

} // namespace
} // namespace jet
