// The PostgreSQL engine behind a Connection (libpq).
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "platform/jet/LibPq.h"
#include "platform/jet/Postgres.h"
#include "platform/jet/ServerSeries.h"
#include "platform/text/Text.h"


#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace jet {

namespace {

using Clock = std::chrono::steady_clock;

// The server tells nothing while a statement waits for another
// workstation's lock. A statement that writes and has had no answer after
// this long is taken to be waiting, and the wait is announced as SQLite's
// busy handler announces one (at once, at its first try of a held lock);
// ordinary writes answer within a few milliseconds. Reads never wait for
// row locks on a server.
constexpr std::chrono::milliseconds waitNoticeAfter(100);

// Whether a statement only reads (select, or values).
bool OnlyReads(std::string_view sql)
{
    std::size_t i = 0;
    while (i < sql.size() && (sql[i] == ' ' || sql[i] == '(' || sql[i] == '\n' || sql[i] == '\t' || sql[i] == '\r'))
        ++i;
    const std::string head = qtmv::AsciiLower(sql.substr(i, 6));
    return head == "select" || head.starts_with("values");
}

constexpr Oid boolOid = 16, int8Oid = 20, int2Oid = 21, int4Oid = 23, oidOid = 26, float4Oid = 700,
              float8Oid = 701, numericOid = 1700;

struct ResultFree {
    void operator()(PGresult* r) const { Libpq().PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultFree>;

std::string_view SqlState(const PGresult* r)
{
    const char* s = r ? Libpq().PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return s ? std::string_view(s) : std::string_view();
}

std::string PrimaryMessage(const PGresult* r, PGconn* conn)
{
    const char* m = r ? Libpq().PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    std::string s = m ? m : Libpq().PQerrorMessage(conn);
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}


// A result column named by the server in lower case, spelt as the statement
// spells it ("Kind" for a column the statement calls "as Kind").
std::string SpelledAsWritten(const std::string& name, std::string_view jetSql)
{
    if (name.empty() || jetSql.empty())
        return name;
    const std::string lowerSql = qtmv::AsciiLower(jetSql);
    auto identChar = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || u >= 0x80;
    };
    for (std::size_t at = lowerSql.find(name); at != std::string::npos; at = lowerSql.find(name, at + 1)) {
        const bool startOk = at == 0 || !identChar(lowerSql[at - 1]);
        const std::size_t end = at + name.size();
        if (startOk && (end == lowerSql.size() || !identChar(lowerSql[end])))
            return std::string(jetSql.substr(at, name.size()));
    }
    return name;
}

// Values as parameters in text form.
struct Params {
    std::vector<std::string> texts;
    std::vector<char> nulls;
    std::vector<const char*> pointers;

    void add(const Value& v)
    {
        nulls.push_back(v.isNull() ? 1 : 0);
        if (v.isNull()) {
            texts.emplace_back();
        } else if (const auto* i = v.integerIf()) {
            texts.push_back(std::to_string(*i));
        } else if (const auto* d = v.realIf()) {
            char buf[32];
            if (std::isnan(*d))
                std::snprintf(buf, sizeof buf, "NaN");
            else if (std::isinf(*d))
                std::snprintf(buf, sizeof buf, "%s", *d > 0 ? "Infinity" : "-Infinity");
            else
                std::snprintf(buf, sizeof buf, "%.17g", *d);
            texts.emplace_back(buf);
        } else {
            texts.push_back(*v.textIf());
        }
    }
    int size() const { return static_cast<int>(texts.size()); }
    const char* const* values()
    {
        pointers.resize(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i)
            pointers[i] = nulls[i] ? nullptr : texts[i].c_str();
        return pointers.empty() ? nullptr : pointers.data();
    }
};

class PgBackend;

// The names of a table as the schema spells them (the server keeps them in
// lower case; the creator of the database notes the spelling as comments).
struct TableNames {
    std::string table;
    std::unordered_map<int, std::string> columns; // by attribute number
    std::unordered_map<int, std::string> raw;     // the server's own names
    bool writable = false;                        // a table, not a view
};

class PgCursor final : public Cursor {
public:
    // `named`: the columns are named as the schema spells them, which may
    // ask the server (not while a series of statements is pending).
    PgCursor(std::shared_ptr<PgBackend> owner, Result r, std::string_view jetSql, bool named = true);

    const std::vector<ColumnInfo>& columns() const override { return columns_; }
    bool next() override;
    void read(std::vector<Value>& row, int first) override
    {
        const int n = static_cast<int>(map_.size()) - first;
        row.resize(static_cast<std::size_t>(n));
        for (int c = 0; c < n; ++c)
            row[static_cast<std::size_t>(c)] = fetch(map_[static_cast<std::size_t>(c + first)]);
    }
    Value value(int column) override { return fetch(map_[static_cast<std::size_t>(column)]); }
    // Text and whole-number fields come as the texts their Values would
    // give, without making the Value: a grid load reads some 800,000 fields.
    void readTexts(std::vector<std::string>& out, std::size_t n) override
    {
        const PGresult* r = r_.get();
        out.resize(n);
        const std::size_t have = std::min(n, map_.size());
        for (std::size_t c = 0; c < have; ++c) {
            const int field = map_[c];
            std::string& t = out[c];
            if (Libpq().PQgetisnull(r, row_, field)) {
                t.clear();
                continue;
            }
            const std::string_view sent(Libpq().PQgetvalue(r, row_, field),
                                        static_cast<std::size_t>(Libpq().PQgetlength(r, row_, field)));
            switch (Libpq().PQftype(r, field)) {
            case boolOid: t = fetch(field).text(); break;
            case float4Oid:
            case float8Oid:
            case numericOid:
                // Most numbers come as their Value would write them; the
                // conversion there and back was a fifth of a grid load.
                if (qtmv::IsRealText(sent))
                    t.assign(sent);
                else
                    t = fetch(field).text();
                break;
            default: // texts, and whole numbers the server writes as IntegerText does
                t.assign(sent);
            }
        }
        for (std::size_t c = have; c < n; ++c)
            out[c].clear();
    }
    long long changes() const override
    {
        const char* n = Libpq().PQcmdTuples(r_.get());
        return n && *n ? std::atoll(n) : 0;
    }

private:
    Value fetch(int c) const
    {
        const PGresult* r = r_.get();
        if (Libpq().PQgetisnull(r, row_, c))
            return Value();
        const char* t = Libpq().PQgetvalue(r, row_, c);
        const auto len = static_cast<std::size_t>(Libpq().PQgetlength(r, row_, c));
        switch (Libpq().PQftype(r, c)) {
        case boolOid: return Value(t[0] == 't' ? 1LL : 0LL);
        case int2Oid:
        case int4Oid:
        case int8Oid:
        case oidOid: return Value(std::atoll(t));
        case float4Oid:
        case float8Oid: return Value(std::strtod(t, nullptr));
        case numericOid: {
            // Whole numbers come back as integers, as SQLite hands them out.
            if (std::strpbrk(t, ".eEN") == nullptr && len < 19)
                return Value(std::atoll(t));
            return Value(std::strtod(t, nullptr));
        }
        default: return Value(std::string_view(t, len));
        }
    }

    std::shared_ptr<PgBackend> owner_;
    Result r_;
    std::vector<ColumnInfo> columns_;
    std::vector<int> map_; // result column of each column shown
    int rows_ = 0;
    int row_ = -1;
};

class PgBackend final : public Backend, public std::enable_shared_from_this<PgBackend> {
public:
    PgBackend(ServerAddress where, PGconn* conn, int busyMs, std::optional<long long> writeLockKey)
        : where_(std::move(where)), conn_(conn), busyMs_(busyMs), writeLockKey_(writeLockKey),
          lockTimeoutSet_(std::max(1, busyMs))
    {
    }
    ~PgBackend() override { close(); }

    Dialect dialect() const override { return Dialect::PostgreSQL; }
    bool isOpen() const override { return conn_ != nullptr; }
    void close() noexcept override
    {
        if (conn_)
            Libpq().PQfinish(conn_);
        conn_ = nullptr;
    }
    void setBusyTimeout(int ms) override { busyMs_ = ms; }

    long long execute(std::string_view sql, std::string_view context) override
    {
        Result r = run(sql, context, {});
        const char* n = Libpq().PQcmdTuples(r.get());
        return n && *n ? std::atoll(n) : 0;
    }

    std::unique_ptr<Cursor> query(std::string_view sql, std::string_view context) override
    {
        Result r = run(sql, context, {});
        return std::make_unique<PgCursor>(shared_from_this(), std::move(r), context);
    }

    // Sent at once (the simple protocol takes several statements): the
    // server runs each next one while the reader takes the rows before,
    // and pump() keeps reading what it sends meanwhile, so the server is
    // not held up by a full socket.
    std::unique_ptr<CursorSeries> querySeries(std::vector<std::string> sqls, std::vector<std::string> contexts) override;

    // Sent at once as a series, repeated shapes prepared once
    // (ServerSeries.h); each statement's result is taken in turn, so a
    // failure is told with the statement that failed.
    void executeAll(std::vector<std::string> sqls, std::vector<std::string> contexts) override
    {
        ServerSeries s = PrepareRepeated(sqls, "jet_series" + std::to_string(++seriesCount_) + "_");
        // What an earlier failed series left prepared goes first: a failure
        // stops a series before its deallocations, and a transaction that
        // failed refuses them until it ends.
        std::vector<std::string> texts, told;
        std::vector<ServerSeries::Prepared> names;
        for (std::string& name : stillPrepared_) {
            names.push_back({name, 0, texts.size()});
            texts.push_back("deallocate " + name);
            told.push_back(contexts.front());
        }
        stillPrepared_.clear();
        const std::size_t first = texts.size();
        for (std::size_t k = 0; k < s.sqls.size(); ++k) {
            texts.push_back(std::move(s.sqls[k]));
            told.push_back(s.origin[k] < 0 ? std::string() : contexts[static_cast<std::size_t>(s.origin[k])]);
        }
        for (const ServerSeries::Prepared& p : s.prepared)
            names.push_back({p.name, first + p.prepareAt + 1, first + p.deallocateAt});
        const std::size_t n = texts.size();
        std::size_t done = 0;   // results taken, the failed one not counted
        try {
            std::unique_ptr<CursorSeries> series = querySeries(std::move(texts), std::move(told));
            for (; done < n; ++done)
                series->next();
        } catch (...) {
            for (const ServerSeries::Prepared& p : names)
                if (p.prepareAt <= done && p.deallocateAt >= done)
                    stillPrepared_.push_back(p.name);
            throw;
        }
    }

    // The next result of a series as it is complete; null when none is left.
    Result nextOfSeries()
    {
        // Reads: nothing to announce while waiting.
        void (*noNotice)() = nullptr;
        Result r(nextResult(Clock::now(), noNotice));
        if (!r)
            seriesPending_ = false;
        return r;
    }
    // What has come of a pending series so far, without waiting.
    void pump()
    {
        if (seriesPending_)
            Libpq().PQconsumeInput(conn_);
    }
    // The rest of a series no one reads, so the connection can run the next statement.
    void endSeries() noexcept
    {
        while (seriesPending_ && conn_)
            if (PGresult* r = Libpq().PQgetResult(conn_))
                Libpq().PQclear(r);
            else
                seriesPending_ = false;
        seriesPending_ = false;
    }
    Error seriesError(const PGresult* r, std::string_view context) { return makeError(r, context, {}); }

    void begin(int level) override
    {
        if (level == 0) {
            beginOutermost(LockMode::Exclusive);
        } else {
            run("savepoint jet" + std::to_string(level), {}, {});
        }
    }

    void beginClaimed() override { beginOutermost(LockMode::Shared); }

    // A snapshot taken at the first statement, without the write lock.
    void beginReading() override
    {
        claimed_ = false;
        held_.clear();
        run("begin isolation level repeatable read read only", {}, {});
    }

    // The items' locks, in the order of their numbers, which every
    // workstation shares: two transactions claiming at once never wait for
    // each other in a circle. One that claims a second time may; the server
    // then cancels one of them (a Conflict, which the caller retries).
    // Items already held are not asked for again.
    void claim(std::span<const std::string> items) override
    {
        if (!claimed_ || !inTransaction())
            return;   // a transaction holding the whole write lock holds every item
        std::vector<std::int32_t> keys;
        for (const std::string& item : items)
            if (const std::int32_t k = ClaimNumber(item); !held_.count(k))
                keys.push_back(k);
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        if (keys.empty())
            return;
        std::string array = "{";
        for (std::size_t i = 0; i < keys.size(); ++i)
            array += (i ? "," : "") + std::to_string(keys[i]);
        array += "}";
        Params p;
        p.add(Value(static_cast<long long>(itemLockSpace())));
        p.add(Value(array));
        // unnest yields the array in its order, and each row's lock is taken
        // before the next row is read.
        run("select count(pg_advisory_xact_lock($1::int4, k)) from unnest($2::int4[]) as k", {}, p, Wait::Perhaps);
        held_.insert(keys.begin(), keys.end());
    }

    void commit(int level) override
    {
        if (level > 0) {
            run("release savepoint jet" + std::to_string(level), {}, {});
            return;
        }
        // The server ends a transaction after any failed statement; COMMIT
        // would then quietly roll back.
        if (Libpq().PQtransactionStatus(conn_) == PQTRANS_INERROR) {
            rollbackQuietly();
            throw Error(Error::Kind::General, "交易已因先前的錯誤而被資料庫取消，資料沒有寫入。");
        }
        Result r = run("commit", {}, {});
        setInTransaction_ = false;
        if (std::string_view(Libpq().PQcmdStatus(r.get())) != "COMMIT")
            throw Error(Error::Kind::General, "交易已因先前的錯誤而被資料庫取消，資料沒有寫入。");
    }

    void rollback(int level) override
    {
        if (level == 0) {
            forgetSettingRolledBack();
            run("rollback", {}, {});
        } else {
            forgetSettingRolledBack();
            run("rollback to savepoint jet" + std::to_string(level), {}, {});
            run("release savepoint jet" + std::to_string(level), {}, {});
        }
    }

    bool inTransaction() const override
    {
        if (!conn_)
            return false;
        const PGTransactionStatusType s = Libpq().PQtransactionStatus(conn_);
        return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
    }

    bool updateRow(std::string_view table, const Value& rowId, std::span<const FieldChange> changes) override
    {
        // Only the changed columns are written, and only where each still
        // holds what was read (text compared exactly, whatever citext says).
        const std::size_t n = changes.size();
        Params p;
        std::string sql = "update " + QuoteIdentifier(table, Dialect::PostgreSQL) + " set ";
        for (std::size_t i = 0; i < n; ++i) {
            p.add(changes[i].after);
            sql += (i ? ", " : "") + QuoteIdentifier(changes[i].column, Dialect::PostgreSQL) + " = $"
                   + std::to_string(i + 1);
        }
        p.add(rowId);
        sql += std::string(" where ") + kServerRowId + " = $" + std::to_string(n + 1);
        for (std::size_t i = 0; i < n; ++i) {
            const std::string col = QuoteIdentifier(changes[i].column, Dialect::PostgreSQL);
            const Value& before = changes[i].before;
            if (before.isNull()) {
                sql += " and " + col + " is null";
                continue;
            }
            p.add(before);
            const std::string param = "$" + std::to_string(p.texts.size());
            sql += before.textIf() ? " and " + col + "::text = " + param + "::text" : " and " + col + " = " + param;
        }
        Result r = run(sql, sql, p);
        return std::string_view(Libpq().PQcmdTuples(r.get())) == "1";
    }

    Value insertRow(std::string_view table, std::span<const std::pair<std::string, Value>> fields) override
    {
        Params p;
        std::string sql = "insert into " + QuoteIdentifier(table, Dialect::PostgreSQL);
        if (fields.empty()) {
            sql += " default values";
        } else {
            std::string names, places;
            for (std::size_t i = 0; i < fields.size(); ++i) {
                names += (i ? ", " : "") + QuoteIdentifier(fields[i].first, Dialect::PostgreSQL);
                places += (i ? ", $" : "$") + std::to_string(i + 1);
                p.add(fields[i].second);
            }
            sql += " (" + names + ") values (" + places + ")";
        }
        sql += std::string(" returning ") + kServerRowId;
        Result r = run(sql, sql, p);
        return Libpq().PQntuples(r.get()) == 1 ? Value(std::atoll(Libpq().PQgetvalue(r.get(), 0, 0))) : Value();
    }

    std::unique_ptr<Cursor> readRow(std::string_view table, const Value& rowId) override
    {
        Params p;
        p.add(rowId);
        const std::string sql = "select * from " + QuoteIdentifier(table, Dialect::PostgreSQL) + " where "
                                + kServerRowId + " = $1";
        Result r = run(sql, sql, p);
        return std::make_unique<PgCursor>(shared_from_this(), std::move(r), std::string_view());
    }

    // The names of the table with this object id (cached per connection).
    const TableNames& tableNames(Oid table)
    {
        if (const auto it = names_.find(table); it != names_.end())
            return it->second;
        TableNames& t = names_[table];
        Params p;
        p.add(Value(static_cast<long long>(table)));
        Result r = run("select c.relname, coalesce(obj_description(c.oid, 'pg_class'), c.relname), a.attnum, "
                       "a.attname, coalesce(col_description(c.oid, a.attnum), a.attname), c.relkind "
                       "from pg_class c join pg_attribute a on a.attrelid = c.oid "
                       "where c.oid = $1::oid and a.attnum > 0 and not a.attisdropped",
                       {}, p);
        for (int i = 0; i < Libpq().PQntuples(r.get()); ++i) {
            t.table = Libpq().PQgetvalue(r.get(), i, 1);
            // Only tables are written to: a view's columns are not, as on SQLite.
            t.writable = Libpq().PQgetvalue(r.get(), i, 5)[0] == 'r' || Libpq().PQgetvalue(r.get(), i, 5)[0] == 'p';
            const int num = std::atoi(Libpq().PQgetvalue(r.get(), i, 2));
            t.raw[num] = Libpq().PQgetvalue(r.get(), i, 3);
            t.columns[num] = Libpq().PQgetvalue(r.get(), i, 4);
        }
        return t;
    }

    void requireOpen() const
    {
        if (!conn_)
            throw Error(Error::Kind::Usage, "資料庫連線已經關閉。");
    }

private:
    // A SET made inside a transaction that is rolled back is undone with it.
    void forgetSettingRolledBack()
    {
        if (setInTransaction_)
            lockTimeoutSet_ = -1;
        setInTransaction_ = false;
    }

    void rollbackQuietly() noexcept
    {
        forgetSettingRolledBack();
        if (conn_)
            Libpq().PQclear(Libpq().PQexec(conn_, "rollback"));
    }

    // The lock wait of the next statement: the busy timeout, or less when
    // start-up's wait budget has less left. A setting made inside a
    // transaction that is rolled back is made again after it.
    void applyLockTimeout()
    {
        using namespace std::chrono;
        const auto allowed = duration_cast<milliseconds>(BusyWaitAllowed(milliseconds(busyMs_))).count();
        // 0 would mean "wait for ever".
        const long long ms = std::max<long long>(1, allowed);
        if (ms == lockTimeoutSet_ || Libpq().PQtransactionStatus(conn_) == PQTRANS_INERROR)
            return;
        Result r(Libpq().PQexec(conn_, ("set lock_timeout = " + std::to_string(ms)).c_str()));
        if (Libpq().PQresultStatus(r.get()) == PGRES_COMMAND_OK) {
            lockTimeoutSet_ = ms;
            setInTransaction_ = setInTransaction_ || Libpq().PQtransactionStatus(conn_) != PQTRANS_IDLE;
        }
    }

    // The write lock of a transaction, under the key the program gave
    // (setServerWriteLockKey): every transaction takes it first, as SQLite's
    // BEGIN IMMEDIATE takes the write lock, so writers queue up instead of
    // reading the same row and then failing one another's optimistic
    // updates; readers never wait for it. Taken at once when it is free;
    // else the wait for the workstation holding it is announced and waited
    // out, up to the lock timeout.
    //
    // A transaction that claims what it writes (beginClaimed) takes the
    // lock shared instead: claimed transactions run side by side, each
    // holding the items it claims, while a transaction that holds the whole
    // lock still waits for all of them and they for it.
    enum class LockMode { Exclusive, Shared };
    void takeWriteLock(LockMode mode)
    {
        if (!writeLockKey_)
            throw Error(Error::Kind::Usage, "程式沒有設定資料庫伺服器的寫入鎖定，不能開始交易。");
        const std::string key = std::to_string(*writeLockKey_);
        const std::string shared = mode == LockMode::Shared ? "_shared" : "";
        Result free = run("select pg_try_advisory_xact_lock" + shared + "(" + key + ")", {}, {});
        if (Libpq().PQntuples(free.get()) == 1 && Libpq().PQgetvalue(free.get(), 0, 0)[0] == 't')
            return;
        run("select pg_advisory_xact_lock" + shared + "(" + key + ")", {}, {}, Wait::Announce);
    }

    void beginOutermost(LockMode mode)
    {
        claimed_ = mode == LockMode::Shared;
        held_.clear();
        run("begin", {}, {});
        try {
            takeWriteLock(mode);
        } catch (...) {
            rollbackQuietly();
            throw;
        }
    }

    // The items' locks live in a space of their own (the two-number form of
    // the server's advisory locks), numbered after the write lock's key, so
    // two programs with different keys on one server never meet.
    std::int32_t itemLockSpace() const
    {
        const auto k = static_cast<unsigned long long>(writeLockKey_.value_or(0));
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(k ^ (k >> 32)));
    }

    // How a statement may wait for other workstations' locks: not at all
    // as far as we can tell (reads), perhaps (writes: announced when the
    // answer is slow), perhaps although it reads (a select that takes
    // locks), or certainly (announced at once).
    enum class Wait { Guess, Perhaps, Announce };

    // Sends the statement and waits for its answer. A wait for a lock is
    // announced (busyWaitStarting) when there is time to wait at all, and
    // comes out of the shared wait budget; the lock timeout set before the
    // statement, the busy timeout or less, bounds it on the server, which
    // then ends the statement with a Busy error.
    Result run(std::string_view sql, std::string_view context, Params p, Wait wait = Wait::Guess)
    {
        requireOpen();
        applyLockTimeout();
        const std::string text(sql);
        const auto start = Clock::now();
        bool announced = false;
        auto announce = [&] {
            announced = true;
            if (BusyWaitAllowed(std::chrono::milliseconds(busyMs_)) > Clock::duration::zero())
                BusyWaitStarting();
        };
        if (wait == Wait::Announce)
            announce();
        Result r;
        if (Libpq().PQsendQueryParams(conn_, text.c_str(), p.size(), nullptr, p.values(), nullptr, nullptr, 0))
            r = awaitResult(start, announced || (wait == Wait::Guess && OnlyReads(sql)) ? nullptr : &announce);
        const ExecStatusType st = r ? Libpq().PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
        const bool timedOut = SqlState(r.get()) == "55P03";
        if (announced || timedOut)
            BusyWaitSpent(Clock::now() - start);
        if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK)
            return r;
        throw makeError(r.get(), context.empty() ? sql : context, Clock::now() - start);
    }

    // The statement's result, as PQexec gives it: the last one, or the
    // first error. `slow`, when given, runs once when no answer has come
    // after waitNoticeAfter.
    template <class Slow>
    Result awaitResult(Clock::time_point start, Slow* slow)
    {
        Result kept;
        while (PGresult* next = nextResult(start, slow)) {
            const ExecStatusType st = kept ? Libpq().PQresultStatus(kept.get()) : PGRES_COMMAND_OK;
            if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK)
                kept.reset(next);
            else
                Libpq().PQclear(next);
        }
        return kept;
    }

    // The next result once it is complete (null after the last), waiting
    // for the server; `slow`, when given, runs once when nothing has come
    // after waitNoticeAfter, and is then cleared.
    template <class Slow>
    PGresult* nextResult(Clock::time_point start, Slow*& slow)
    {
        while (Libpq().PQisBusy(conn_)) {
            int timeoutMs = -1;
            if (slow) {
                using std::chrono::milliseconds;
                const auto left = std::chrono::ceil<milliseconds>(start + waitNoticeAfter - Clock::now());
                timeoutMs = static_cast<int>(std::max<long long>(0, left.count()));
            }
            pollfd fd{Libpq().PQsocket(conn_), POLLIN, 0};
            const int ready = ::poll(&fd, 1, timeoutMs);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0) {
                (*slow)();
                slow = nullptr;
                continue;
            }
            // A broken connection: PQgetResult reports it.
            if (ready < 0 || !Libpq().PQconsumeInput(conn_))
                break;
        }
        return Libpq().PQgetResult(conn_);
    }

    Error makeError(const PGresult* r, std::string_view context, Clock::duration took)
    {
        const std::string_view state = SqlState(r);
        const std::string msg = PrimaryMessage(r, conn_);
        const std::string server = "資料庫伺服器「" + where_.display() + "」";
        const std::string sql(context);
        if (Libpq().PQstatus(conn_) != CONNECTION_OK)
            return Error(Error::Kind::General, "與" + server + "的連線已經中斷，這次的工作沒有完成。", msg, sql);
        if (state == "55P03") {
            const double s = std::round(std::chrono::duration<double>(took).count() * 10) / 10;
            return Error(Error::Kind::Busy,
                         "資料庫忙碌中：" + server + "的資料正由其他工作站使用，"
                             + (s >= 0.1 ? "等候 " + RealText(s) + " 秒後仍無法存取" : std::string("目前無法存取"))
                             + "，請稍後再試。",
                         msg, sql);
        }
        if (state == "40001" || state == "40P01")
            return Error(Error::Kind::Conflict,
                         "與其他工作站同時更新相同的資料而被" + server + "取消，資料沒有寫入，請再試一次。", msg, sql);
        if (state.substr(0, 2) == "42")
            return Error(Error::Kind::Syntax, "SQL 陳述式有誤。", msg, sql);
        if (state.substr(0, 2) == "23")
            return Error(Error::Kind::General, "資料不符合資料表的限制（例如索引鍵重複）。", msg, sql);
        if (state == "25P02")
            return Error(Error::Kind::General, "交易已因先前的錯誤而被資料庫取消，資料沒有寫入。", msg, sql);
        if (state == "53100")
            return Error(Error::Kind::General, server + "的磁碟空間已滿，無法寫入。", msg, sql);
        return Error(Error::Kind::General, "資料庫發生錯誤。", msg, sql);
    }

    ServerAddress where_;
    PGconn* conn_;
    int busyMs_;
    std::optional<long long> writeLockKey_;
    long long lockTimeoutSet_ = -1;
    bool setInTransaction_ = false;
    bool seriesPending_ = false;   // results of a series still to be read
    long long seriesCount_ = 0;    // series sent, for the names of their prepared statements
    std::vector<std::string> stillPrepared_; // prepared by a series that failed before deallocating them
    bool claimed_ = false;                 // the transaction holds the write lock shared
    std::unordered_set<std::int32_t> held_;   // the items it claimed
    std::unordered_map<Oid, TableNames> names_;
};

// A series: its results in turn; what is left when it goes is read and dropped.
class PgSeries final : public CursorSeries {
public:
    PgSeries(std::shared_ptr<PgBackend> owner, std::vector<std::string> contexts)
        : owner_(std::move(owner)), contexts_(std::move(contexts))
    {
    }
    ~PgSeries() override { owner_->endSeries(); }
    std::unique_ptr<Cursor> next() override
    {
        const std::string& context = contexts_.at(next_++);
        Result r = owner_->nextOfSeries();
        const ExecStatusType st = r ? Libpq().PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
        if (st == PGRES_TUPLES_OK || st == PGRES_COMMAND_OK)
            return std::make_unique<PgCursor>(owner_, std::move(r), context, false);
        Error e = owner_->seriesError(r.get(), context);
        owner_->endSeries();
        throw e;
    }

private:
    std::shared_ptr<PgBackend> owner_;
    std::vector<std::string> contexts_;
    std::size_t next_ = 0;
};

std::unique_ptr<CursorSeries> PgBackend::querySeries(std::vector<std::string> sqls, std::vector<std::string> contexts)
{
    requireOpen();
    applyLockTimeout();
    std::string text;
    for (const std::string& sql : sqls)
        text += sql + ";\n";
    if (!Libpq().PQsendQuery(conn_, text.c_str()))
        throw makeError(nullptr, contexts.empty() ? text : contexts.front(), {});
    seriesPending_ = true;
    return std::make_unique<PgSeries>(shared_from_this(), std::move(contexts));
}

bool PgCursor::next()
{
    if (row_ + 1 >= rows_) {
        row_ = rows_;
        return false;
    }
    ++row_;
    // Reading a series' first rows while the server sends the next ones.
    if ((row_ & 255) == 0)
        owner_->pump();
    return true;
}

PgCursor::PgCursor(std::shared_ptr<PgBackend> owner, Result r, std::string_view jetSql, bool named)
    : owner_(std::move(owner)), r_(std::move(r))
{
    const PGresult* res = r_.get();
    rows_ = Libpq().PQntuples(res);
    const int n = Libpq().PQnfields(res);
    for (int c = 0; c < n; ++c) {
        const std::string name = Libpq().PQfname(res, c);
        if (name == kServerRowId)
            continue; // the row identity, never shown
        ColumnInfo ci;
        ci.name = name;
        const Oid table = named ? Libpq().PQftable(res, c) : InvalidOid;
        const int col = Libpq().PQftablecol(res, c);
        bool spelled = false;
        if (table != InvalidOid && col > 0) {
            const TableNames& t = owner_->tableNames(table);
            if (const auto it = t.columns.find(col); it != t.columns.end()) {
                if (t.writable) {
                    ci.table = t.table;
                    ci.origin = it->second;
                }
                if (t.raw.at(col) == name) {
                    ci.name = it->second;
                    spelled = true;
                }
            }
        }
        if (!spelled && std::any_of(name.begin(), name.end(), [](char ch) { return ch >= 'a' && ch <= 'z'; }))
            ci.name = SpelledAsWritten(name, jetSql);
        columns_.push_back(std::move(ci));
        map_.push_back(c);
    }
}

} // namespace

std::string ServerAddress::display() const
{
    return host + ":" + (port.empty() ? std::string("5432") : port) + "/" + database;
}

std::string_view PostgresSupportSql()
{
    return R"SQL(
create extension if not exists citext;

-- val(x): Jet's leading-number rule. Blanks anywhere are skipped ("1 2 3" is
-- 123), "12abc" is 12, text without a leading number is 0, &H and &O read
-- hexadecimal and octal; null stays null; numbers pass through.
create or replace function jet_val_text(t text) returns numeric
language plpgsql immutable strict parallel safe as $$
declare
    s text := regexp_replace(t, '[ \t\r\n]', '', 'g');
    m text[];
    radix int;
    width int;
    d int;
    v numeric := 0;
begin
    if s ~* '^&[ho]' then
        radix := case when substr(s, 2, 1) in ('h', 'H') then 16 else 8 end;
        width := case radix when 16 then 4 else 6 end;
        for i in 3 .. length(s) loop
            d := position(lower(substr(s, i, 1)) in '0123456789abcdef') - 1;
            exit when d < 0 or d >= radix or v > 1e19;
            v := v * radix + d;
        end loop;
        -- Values that fit 16 or 32 bits read as signed, as Jet reads them.
        if v >= 32768 and v < 65536 and length(s) - 2 <= width then
            v := v - 65536;
        elsif v >= 2147483648 and v < 4294967296 then
            v := v - 4294967296;
        end if;
        return v;
    end if;
    m := regexp_match(s, '^([+-]?(?:[0-9]+(?:\.[0-9]*)?|\.[0-9]+))(?:[eEdD]([+-]?[0-9]{1,5}))?');
    if m is null then
        return 0;
    end if;
    return (m[1] || coalesce('e' || m[2], ''))::numeric;
end
$$;

-- Plain digits, the common case, are read inline in the statement.
create or replace function val(t text) returns numeric language sql immutable parallel safe as
$$ select case when t ~ '^[0-9]{1,18}$' then t::numeric else jet_val_text(t) end $$;

create or replace function val(n numeric) returns numeric language sql immutable strict parallel safe as 'select n';

create or replace function val(n double precision) returns double precision
    language sql immutable strict parallel safe as 'select n';

create or replace function val(n bigint) returns bigint language sql immutable strict parallel safe as 'select n';
)SQL";
}

std::shared_ptr<Backend> OpenPostgresBackend(const ServerAddress& where, int busyTimeoutMs,
                                             std::optional<long long> writeLockKey)
{
    const std::string named = "資料庫伺服器「" + where.display() + "」";
    if (where.database.empty())
        throw Error(Error::Kind::FileMissing, "沒有指定" + named + "上的資料庫名稱（Database）。");
    std::vector<const char*> keys, values;
    auto put = [&](const char* k, const std::string& v) {
        if (!v.empty()) {
            keys.push_back(k);
            values.push_back(v.c_str());
        }
    };
    const std::string timeout = "5";
    // The lock wait set with the connection saves a round trip per operation.
    const std::string options = "-c lock_timeout=" + std::to_string(std::max(1, busyTimeoutMs));
    // A server that stops answering (a broken network, a server gone) is
    // noticed by TCP keepalive within about a minute, and the waiting
    // statement ends with an error instead of holding the window for ever.
    const std::string on = "1", idle = "30", interval = "10", probes = "3";
    const std::string app = "qtmv";
    const std::string encoding = "UTF8";
    put("host", where.host);
    put("port", where.port);
    put("dbname", where.database);
    put("user", where.user);
    // Never wait for ever on a server that does not answer.
    put("connect_timeout", timeout);
    put("keepalives", on);
    put("keepalives_idle", idle);
    put("keepalives_interval", interval);
    put("keepalives_count", probes);
    put("application_name", app);
    put("client_encoding", encoding);
    put("options", options);
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = Libpq().PQconnectdbParams(keys.data(), values.data(), 0);
    if (!conn)
        throw Error(Error::Kind::General, "無法連線到" + named + "：記憶體不足。");
    // The server's notices ("table does not exist, skipping") are no news to the user.
    Libpq().PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    if (Libpq().PQstatus(conn) != CONNECTION_OK) {
        std::string msg = Libpq().PQerrorMessage(conn);
        while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' '))
            msg.pop_back();
        Libpq().PQfinish(conn);
        std::string why = "無法連線到" + named + "。請確認伺服器已經啟動、網路可以連通，"
                          "且使用者的密碼檔（~/.pgpass）中有這個資料庫的密碼。";
        if (msg.find("does not exist") != std::string::npos && msg.find("database") != std::string::npos)
            why = named + "上沒有「" + where.database + "」這個資料庫。";
        else if (msg.find("authentication") != std::string::npos || msg.find("password") != std::string::npos)
            why = named + "拒絕了使用者「" + where.user + "」的登入（密碼檔 ~/.pgpass 中的密碼不對或沒有密碼）。";
        throw Error(Error::Kind::FileMissing, why, msg);
    }
    // Quoted text as the suite writes it: a backslash is an ordinary character.
    if (const char* scs = Libpq().PQparameterStatus(conn, "standard_conforming_strings");
        !scs || std::string(scs) != "on") {
        Libpq().PQfinish(conn);
        throw Error(Error::Kind::General, named + "的設定 standard_conforming_strings 不是 on，無法正確存放文字。");
    }
    return std::make_shared<PgBackend>(where, conn, busyTimeoutMs, writeLockKey);
}

} // namespace jet
