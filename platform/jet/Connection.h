#pragma once
// Our stand-in for the connection object of the Jet provider. One connection
// per operation: open it with the session's connection string, do the work,
// let it go. Statement texts are Jet SQL; they are translated in one place
// (Translator.h) for the database engine behind the connection.
#include "Error.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace jet {

class Backend;

// What a write transaction holds on a database server. Everything: the
// whole database, as a file's single writer does; nothing else writes
// meanwhile. Claimed: only the items the transaction claims (claim()), so
// transactions that claim different items run side by side and wait only
// for each other's common items (and for a transaction holding
// everything). On a file both are the single writer. None: a transaction
// that only reads, one consistent view of the database that takes no write
// lock on either engine (a write in it fails on a server, and waits as any
// writer on a file).
enum class Writes { Everything, Claimed, None };

class Connection {
public:
    // How long a statement waits for another workstation's write before
    // failing with Error::Kind::Busy.
    static constexpr int defaultBusyTimeoutMs = 10000;

    Connection();
    ~Connection();                       // rolls back an open transaction, closes
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "Provider=...;Data Source=<path>;Jet OLEDB:Database Password=..."
    // The Data Source names the database file (an SQLite 3 file; the
    // password means nothing to it). A connection string with Server=
    // names a PostgreSQL database instead (Postgres.h); dataSource() is then
    // "host:port/database". Opens read-write and never creates a
    // file. Throws Error naming the file when it is missing, is not a
    // regular file (a folder, a named pipe, a device), is an Access file,
    // or is not a database.
    void open(const std::string& connectionString);
    // How many opens succeeded in this process so far, whether the engine
    // connection was fresh or an idle one taken again: what an operation
    // costs in connections, for tests and diagnostics.
    static long long opensSoFar();
    void close();
    bool isOpen() const;
    // Whether the database is read memory-mapped: an SQLite file on a local
    // disk (isNetworkFileSystem, Backend.h), not on a share.
    bool mappedReads() const;
    const std::string& dataSource() const;

    // Set before or after open(); defaultBusyTimeoutMs unless changed.
    void setBusyTimeout(int milliseconds);

    // Runs a statement that returns no rows; the number of rows it changed.
    long long execute(const std::string& jetSql);
    // Runs statements that return no rows, in their order, stopping at the
    // first that fails (which throws). A server receives them at once: one
    // round trip instead of one each.
    void executeAll(const std::vector<std::string>& jetSqls);
    // Runs a statement in the engine's own SQL, untranslated: for tools that
    // create or copy a whole database, never for statements of the windows.
    long long executeNative(const std::string& engineSql);
    // Whether the engine is a database server (PostgreSQL) rather than a file.
    bool onServer() const;

    // Write transactions start immediate: a read-then-write never fails at
    // once on a database that another workstation is writing. A beginTrans
    // inside a transaction starts a nested one (committed or rolled back on
    // its own, written only with the outer one).
    void beginTrans(Writes writes = Writes::Everything);
    // Holds the items (any texts naming what the transaction writes, such
    // as a work-order line) until the transaction ends, waiting for a
    // transaction holding one of them: all at once and in one order that
    // every workstation shares, so claims made once at the start never
    // wait for each other in a circle. A transaction that claims again
    // later may; the server then cancels one of them (Error::Kind::Conflict,
    // to be run again). Does nothing in a transaction holding everything,
    // on a file, or outside a transaction. Nested transactions claim for
    // the outermost one.
    void claim(std::span<const std::string> items);
    void commitTrans();
    void rollbackTrans();
    bool inTransaction() const;

    // The engine behind the connection (for Recordset). Throws Error when
    // the connection is not open.
    const std::shared_ptr<Backend>& backend() const;

    // The file a connection is open on, as the file system knows it.
    struct FileIdentity {
        unsigned long long device = 0;
        unsigned long long inode = 0;
        bool operator==(const FileIdentity&) const = default;
    };

private:
    std::shared_ptr<Backend> backend_;
    std::string dataSource_;
    std::optional<FileIdentity> file_;   // a file database's, for reuse after close
    std::string serverKey_;              // a server's, user's and lock key's: the same, for reuse after close
    int level_ = 0;                      // open transactions, nested included
    int busyTimeoutMs_ = defaultBusyTimeoutMs;
};

// The number of a claimed item (Connection::claim): a transaction's claims
// are taken in the order of their numbers. Letters are folded, as the
// server's keys compare them; two items with one number share one lock
// (they wait for each other, nothing worse).
std::int32_t ClaimNumber(std::string_view item);

// Rolls back unless committed. Every transaction goes through this guard.
class Transaction {
public:
    explicit Transaction(Connection& c, Writes writes = Writes::Everything) : c_(c) { c_.beginTrans(writes); }
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& c_;
    bool done_ = false;
};

// Opens a database file on a thread of its own while the caller goes on
// with other work (start-up: while the window system starts). The
// engine reads the file's schema on opening, a few milliseconds for the
// suite's; the caller's next open of the same file, on the thread that made
// this object, waits for that thread and takes its connection instead of
// opening anew, through the same checks as any reuse of a closed connection.
// Nothing is opened ahead for a server, and a file that is missing, locked
// or not a database is left to that open, which reports it as always: the
// thread never waits for a lock.
class OpenAhead {
public:
    explicit OpenAhead(const std::string& connectionString);
    ~OpenAhead();
    OpenAhead(const OpenAhead&) = delete;
    OpenAhead& operator=(const OpenAhead&) = delete;

    // An open took the connection made ahead.
    bool taken() const { return taken_; }

private:
    friend class Connection;
    struct Opened;
    // For an open of `path` (as it is now) on the thread that made this
    // object: the connection made ahead, or none.
    std::shared_ptr<Backend> take(const std::string& path, const std::optional<Connection::FileIdentity>& identity);

    std::string path_;
    std::unique_ptr<Opened> opened_;
    bool taken_ = false;
};

// Connection strings are "key=value" pairs separated by ";", read as OLE DB
// reads them. A value that holds ";", a quote, or blanks at either end is
// written between double quotes, a double quote inside doubled; values
// between single quotes (a single quote inside doubled) are read as well.

// The value as it goes after "key=": quoted only when it has to be.
std::string QuoteConnectionValue(std::string_view value);

// The Data Source path of a connection string ("" when it has none). Throws
// Error when a quoted value before it, or the path itself, is not closed.
std::string DataSourceOf(const std::string& connectionString);

// The database as the user knows it, for messages and the status bar: a
// server's "host:port/database", a file's full path; "" when the
// connection string names neither or cannot be read.
std::string DatabaseShownName(const std::string& connectionString);

// --- Waiting for other workstations ------------------------------------------
//
// A statement that finds the database locked by another workstation waits,
// up to the connection's busy timeout. While a wait budget is set, the waits
// of all connections together also end when the budget is spent; after that
// a locked database fails at once with Error::Kind::Busy. Start-up sets one,
// so that a database held by another workstation keeps the first window
// back for seconds, not minutes.
void SetBusyWaitBudget(std::chrono::milliseconds budget);
void ClearBusyWaitBudget();

// Called, on the waiting thread, whenever a statement begins to wait for a
// lock (the windows show that they are waiting). Empty for none.
void SetBusyWaitObserver(std::function<void()> observer);

// --- Writing on a server -------------------------------------------------------
//
// Every transaction on a server database first takes one server-wide lock,
// as a file database's immediate transaction takes the file's write lock:
// writers queue, readers never wait. Every program writing to a database
// must take the same lock, so its key comes from the program (set once at
// start, before the first open). A server connection keeps the key set when
// it was opened; its transactions fail with Error::Kind::Usage when there was
// none. File databases do not use it.
void SetServerWriteLockKey(std::optional<long long> key);
std::optional<long long> ServerWriteLockKey();

} // namespace jet
