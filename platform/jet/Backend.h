#pragma once
// The database engine behind a Connection (internal to the data-access
// layer; windows never see it). SQLite today; a server database for plants
// with many workstations would be a second implementation of these classes
// plus its Dialect in the translator.
#include "platform/jet/Translator.h"
#include "platform/jet/Value.h"

#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jet {

struct ColumnInfo {
    std::string name;   // as the engine names the result column
    std::string table;  // table the value is read from; "" for an expression
    std::string origin; // column of that table; "" for an expression
};

// One changed field of an optimistic row update.
struct FieldChange {
    std::string column;
    Value before; // as it was read
    Value after;
};

// The rows of one statement, stepped through in order.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual const std::vector<ColumnInfo>& columns() const = 0;
    // Steps to the next row; false after the last one (the statement is then
    // finished and holds no lock).
    virtual bool next() = 0;
    // The current row's values from column `first` on, into `row` (resized).
    virtual void read(std::vector<Value>& row, int first = 0) = 0;
    virtual Value value(int column) = 0;
    // The current row's first `n` columns as Value::text() gives them, into
    // `out` (resized to n; columns the statement lacks read ""). An engine
    // may read the texts without making Values first.
    virtual void readTexts(std::vector<std::string>& out, std::size_t n)
    {
        std::vector<Value> row;
        read(row);
        out.resize(n);
        for (std::size_t c = 0; c < n; ++c)
            out[c] = c < row.size() ? row[c].text() : std::string();
    }
    // Rows changed, once a statement that returns no rows has run.
    virtual long long changes() const = 0;
};

// The rows of several statements, taken in their order (TextRows.h).
class CursorSeries {
public:
    virtual ~CursorSeries() = default;
    // The next statement's rows, its columns known by position. Throws
    // Error for a statement that failed.
    virtual std::unique_ptr<Cursor> next() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual Dialect dialect() const = 0;
    virtual bool isOpen() const = 0;
    virtual void close() noexcept = 0;
    virtual void setBusyTimeout(int milliseconds) = 0;
    // Whether the engine reads the database memory-mapped (a local file).
    virtual bool mappedReads() const { return false; }

    // Statements in the engine's own dialect. `context` is the statement as
    // the caller wrote it; error descriptions quote it.
    virtual long long execute(std::string_view sql, std::string_view context) = 0;
    virtual std::unique_ptr<Cursor> query(std::string_view sql, std::string_view context) = 0;
    // Statements whose rows are read one after another. An engine may run
    // the later ones while the earlier ones' rows are still being read; the
    // connection runs nothing else until the series is gone.
    virtual std::unique_ptr<CursorSeries> querySeries(std::vector<std::string> sqls,
                                                      std::vector<std::string> contexts);
    // Statements that return no rows, run in their order; the first that
    // fails throws and the rest do not run.
    virtual void executeAll(std::vector<std::string> sqls, std::vector<std::string> contexts);

    // Transactions; level 0 is the outermost, deeper levels are nested.
    virtual void begin(int level) = 0;
    // An outermost transaction that holds only what it claims (Connection.h
    // Writes::Claimed), and a claim within it. An engine with one writer
    // (a file) begins as begin(0) does and needs no claims.
    virtual void beginClaimed() { begin(0); }
    // An outermost transaction that only reads: one view, no write lock.
    virtual void beginReading() = 0;
    virtual void claim(std::span<const std::string> /*items*/) {}
    virtual void commit(int level) = 0;
    virtual void rollback(int level) = 0;
    // Whether the engine still has a transaction open (an engine may end
    // one by itself after some errors).
    virtual bool inTransaction() const = 0;

    // Editing one table by a row identity read alongside the row. updateRow
    // writes the changes only where every changed column still holds its
    // `before` value; false when no row matched.
    virtual bool updateRow(std::string_view table, const Value& rowId, std::span<const FieldChange> changes) = 0;
    // Inserts a row; returns its row identity. Columns not named take
    // their defaults.
    virtual Value insertRow(std::string_view table, std::span<const std::pair<std::string, Value>> fields) = 0;
    // The whole row (all columns of the table), or no row.
    virtual std::unique_ptr<Cursor> readRow(std::string_view table, const Value& rowId) = 0;
};

// The shared wait budget and observer of Connection.h, for the engines'
// busy handlers: how long a wait may still go on (at most `wanted`), time
// spent waiting, and the start of a wait.
std::chrono::nanoseconds BusyWaitAllowed(std::chrono::nanoseconds wanted);
void BusyWaitSpent(std::chrono::nanoseconds spent);
void BusyWaitStarting();

// Opens an SQLite 3 database file for reading and writing; never creates
// one. Throws Error naming the file when it is missing, is not a regular
// file, is an Access file or is not an SQLite database.
std::shared_ptr<Backend> OpenSqliteBackend(const std::string& path, int busyTimeoutMs);

// Whether a file system (statfs's f_type) reaches its files over the
// network: NFS, SMB/CIFS, and the FUSE, 9P, AFS, Coda and Ceph mounts a
// share may come through. On those, SQLite's memory-mapped reads can see
// pages another computer has changed under them, so a connection reads them
// plainly and keeps SQLite's small default page cache.
bool IsNetworkFileSystem(long fileSystemType);

// What a connection to a file on a local disk reads with: memory-mapped
// reads of the first kLocalMmapBytes of the file (SQLite's own ceiling; a
// 200,000-work-order plant is 1.4 GB) and a page cache of kLocalCacheKiB,
// so a kept connection loads a large grid from memory. The mapping costs
// address space, not memory: the pages are the file system's cache.
inline constexpr long long kLocalMmapBytes = 2047LL * 1024 * 1024;
inline constexpr int kLocalCacheKiB = 64 * 1024;

} // namespace jet
