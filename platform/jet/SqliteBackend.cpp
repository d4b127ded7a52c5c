// The SQLite 3 engine behind a Connection.
#include "platform/jet/Backend.h"
#include "platform/jet/Error.h"
#include "platform/jet/SqliteFunctions.h"
#include "platform/text/Text.h"

#include <sqlite3.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <list>
#include <thread>
#include <unordered_map>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace jet {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t statementCacheSize = 64;


std::string NumberedParameter(std::size_t n)
{
    char buf[24] = {'?'};
    const auto r = std::to_chars(buf + 1, buf + sizeof buf, n);
    return std::string(buf, r.ptr);
}

// ---- SQL functions registered on every connection ----------------------

// val(x): Jet's leading-number rule; null stays null, numbers pass through.
void SqlVal(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    sqlite3_value* v = argv[0];
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    case SQLITE_INTEGER: sqlite3_result_int64(ctx, sqlite3_value_int64(v)); return;
    case SQLITE_FLOAT: sqlite3_result_double(ctx, sqlite3_value_double(v)); return;
    default: break;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
    const double d = qtmv::Val(std::string_view(t ? t : "", static_cast<std::size_t>(sqlite3_value_bytes(v))));
    // Whole numbers come back as integers so that sums stay exact.
    if (std::trunc(d) == d && std::fabs(d) < 9007199254740992.0)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
    else
        sqlite3_result_double(ctx, d);
}

// jet_concat(a, b, ...): Jet's & operator. Each operand as Jet shows it in
// text, a null as ""; null only when every operand is null.
void SqlConcat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    std::string out;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
        sqlite3_value* v = argv[i];
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL: continue;
        case SQLITE_INTEGER: out += IntegerText(sqlite3_value_int64(v)); break;
        case SQLITE_FLOAT: out += RealText(sqlite3_value_double(v)); break;
        default: {
            const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
            if (t)
                out.append(t, static_cast<std::size_t>(sqlite3_value_bytes(v)));
            break;
        }
        }
        any = true;
    }
    if (!any)
        sqlite3_result_null(ctx);
    else
        sqlite3_result_text64(ctx, out.data(), out.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}


// A prepared statement, owned by whoever holds it.
struct Prepared {
    std::string sql;
    sqlite3_stmt* stmt = nullptr;

    Prepared() = default;
    Prepared(Prepared&& o) noexcept : sql(std::move(o.sql)), stmt(std::exchange(o.stmt, nullptr)) {}
    Prepared& operator=(Prepared&& o) noexcept
    {
        sql = std::move(o.sql);
        std::swap(stmt, o.stmt);
        return *this;
    }
    ~Prepared() { sqlite3_finalize(stmt); }
};

class SqliteBackend;

// A statement lent from the cache for one call.
struct Lease {
    SqliteBackend& owner;
    Prepared p;
    ~Lease();
};

class SqliteBackend final : public Backend, public std::enable_shared_from_this<SqliteBackend> {
public:
    SqliteBackend(std::string path, sqlite3* db, int busyMs) : path_(std::move(path)), db_(db), busyMs_(busyMs)
    {
        sqlite3_busy_handler(db_, &SqliteBackend::busyHandler, this);
    }
    ~SqliteBackend() override { close(); }

    Dialect dialect() const override { return Dialect::SQLite; }
    bool isOpen() const override { return db_ != nullptr; }

    void close() noexcept override
    {
        if (!db_)
            return;
        index_.clear();
        lru_.clear(); // finalizes
        // Statements still held by recordsets keep a closed ("zombie")
        // connection until they are finalized.
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }

    // Read by the busy handler at every pause.
    void setBusyTimeout(int ms) override { busyMs_ = ms; }

    bool mappedReads() const override { return mapped_; }
    void setMappedReads(bool on) { mapped_ = on; }

    long long execute(std::string_view sql, std::string_view context) override
    {
        Lease l{*this, checkout(sql, context)};
        return run(l.p.stmt, context);
    }

    std::unique_ptr<Cursor> query(std::string_view sql, std::string_view context) override;

    void begin(int level) override
    {
        execute(level == 0 ? std::string("BEGIN IMMEDIATE") : "SAVEPOINT jet" + std::to_string(level), {});
    }
    // Deferred: the read lock is taken by the first read, the write lock never.
    void beginReading() override { execute(std::string("BEGIN"), {}); }
    void commit(int level) override
    {
        execute(level == 0 ? std::string("COMMIT") : "RELEASE jet" + std::to_string(level), {});
    }
    void rollback(int level) override
    {
        if (level == 0) {
            execute("ROLLBACK", {});
        } else {
            execute("ROLLBACK TO jet" + std::to_string(level), {});
            execute("RELEASE jet" + std::to_string(level), {});
        }
    }
    bool inTransaction() const override { return db_ && sqlite3_get_autocommit(db_) == 0; }

    bool updateRow(std::string_view table, const Value& rowId, std::span<const FieldChange> changes) override;
    Value insertRow(std::string_view table, std::span<const std::pair<std::string, Value>> fields) override;
    std::unique_ptr<Cursor> readRow(std::string_view table, const Value& rowId) override;

    void requireOpen() const
    {
        if (!db_)
            throw Error(Error::Kind::Usage, "資料庫連線已經關閉。");
    }

    Prepared checkout(std::string_view sql, std::string_view context);
    void checkin(Prepared& p) noexcept;
    Error makeError(int rc, std::string_view context, bool preparing = false);

    // Steps a statement to its end; the rows it changed.
    long long run(sqlite3_stmt* s, std::string_view context)
    {
        const sqlite3_int64 before = sqlite3_total_changes64(db_);
        for (;;) {
            const int rc = sqlite3_step(s);
            if (rc == SQLITE_ROW)
                continue;
            if (rc == SQLITE_DONE)
                break;
            Error e = makeError(rc, context);
            sqlite3_reset(s);
            throw e;
        }
        const long long changed = sqlite3_total_changes64(db_) != before ? sqlite3_changes64(db_) : 0;
        sqlite3_reset(s);
        return changed;
    }

    sqlite3* db() const { return db_; }

private:
    static int busyHandler(void* self, int count) { return static_cast<SqliteBackend*>(self)->waitForLock(count); }

    // The engine's own timeout handler, with the shared wait budget of
    // Connection.h on top: pauses growing from 1 to 100 ms until the lock
    // is free, the busy timeout has passed or the budget is spent.
    int waitForLock(int count)
    {
        using namespace std::chrono;
        if (count == 0) {
            waitStart_ = steady_clock::now();
            gaveUp_ = false;
            // Announced only when there is time to wait at all.
            if (BusyWaitAllowed(milliseconds(busyMs_)) > nanoseconds(0)) {
                BusyWaitStarting();
                waitStart_ = steady_clock::now();
            }
        }
        const nanoseconds waited = steady_clock::now() - waitStart_;
        const nanoseconds left = BusyWaitAllowed(milliseconds(busyMs_) - waited);
        if (left <= nanoseconds(0)) {
            gaveUp_ = true;
            waitedMs_ = duration_cast<milliseconds>(waited).count();
            return 0;
        }
        // Short pauses, never in step with another waiter's: the workstation
        // that just committed asks again at once, and a waiter that slept
        // 100 ms at a time lost to it again and again under a steady load
        // (eight workstations saving in a loop: over ten seconds).
        static constexpr int pausesMs[] = {1, 2, 5, 10, 15, 20};
        constexpr int pauses = static_cast<int>(std::size(pausesMs));
        thread_local unsigned jitter = static_cast<unsigned>(::getpid()) * 2654435761u;
        jitter = jitter * 1664525u + 1013904223u;
        const nanoseconds pause = std::min<nanoseconds>(
            milliseconds(pausesMs[std::min(count, pauses - 1)]) + microseconds((jitter >> 8) % 5000), left);
        const auto before = steady_clock::now();
        std::this_thread::sleep_for(pause);
        BusyWaitSpent(steady_clock::now() - before);
        return 1;
    }

    std::string path_;
    sqlite3* db_;
    int busyMs_;
    bool mapped_ = false;
    std::chrono::steady_clock::time_point waitStart_;
    bool gaveUp_ = false;       // the last wait ended by timeout or budget
    long long waitedMs_ = 0;    // and lasted this long
    // Prepared statements by their text, most recently used first.
    std::list<Prepared> lru_;
    std::unordered_map<std::string_view, std::list<Prepared>::iterator> index_;
};

Lease::~Lease() { owner.checkin(p); }

void BindValue(sqlite3_stmt* s, int index, const Value& v)
{
    if (const auto* i = v.integerIf())
        sqlite3_bind_int64(s, index, *i);
    else if (const auto* d = v.realIf())
        sqlite3_bind_double(s, index, *d);
    else if (const auto* t = v.textIf())
        sqlite3_bind_text64(s, index, t->data(), t->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    else
        sqlite3_bind_null(s, index);
}

class SqliteCursor final : public Cursor {
public:
    SqliteCursor(std::shared_ptr<SqliteBackend> owner, Prepared p, std::string_view context)
        : owner_(std::move(owner)), p_(std::move(p)), context_(context)
    {
        sqlite3_stmt* s = p_.stmt;
        const int n = sqlite3_column_count(s);
        columns_.resize(static_cast<std::size_t>(n));
        for (int c = 0; c < n; ++c) {
            ColumnInfo& ci = columns_[static_cast<std::size_t>(c)];
            if (const char* name = sqlite3_column_name(s, c))
                ci.name = name;
            if (const char* t = sqlite3_column_table_name(s, c))
                ci.table = t;
            if (const char* o = sqlite3_column_origin_name(s, c))
                ci.origin = o;
        }
        totalBefore_ = sqlite3_total_changes64(owner_->db());
    }
    ~SqliteCursor() override { owner_->checkin(p_); }

    const std::vector<ColumnInfo>& columns() const override { return columns_; }

    bool next() override
    {
        if (done_)
            return false;
        owner_->requireOpen();
        const int rc = sqlite3_step(p_.stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE) {
            done_ = true;
            sqlite3* db = owner_->db();
            changes_ = sqlite3_total_changes64(db) != totalBefore_ ? sqlite3_changes64(db) : 0;
            sqlite3_reset(p_.stmt); // releases the read lock at once
            return false;
        }
        done_ = true;
        Error e = owner_->makeError(rc, context_);
        sqlite3_reset(p_.stmt);
        throw e;
    }

    void read(std::vector<Value>& row, int first) override
    {
        sqlite3_stmt* s = p_.stmt;
        const int n = static_cast<int>(columns_.size()) - first;
        row.resize(static_cast<std::size_t>(n));
        for (int c = 0; c < n; ++c) {
            Value& v = row[static_cast<std::size_t>(c)];
            if (sqlite3_column_type(s, c + first) == SQLITE_TEXT)
                v.assignText(columnText(s, c + first)); // into the text the row held before
            else
                v = fetch(s, c + first);
        }
    }

    Value value(int column) override { return fetch(p_.stmt, column); }

    void readTexts(std::vector<std::string>& out, std::size_t n) override
    {
        sqlite3_stmt* s = p_.stmt;
        out.resize(n);
        const std::size_t have = std::min(n, columns_.size());
        for (std::size_t c = 0; c < have; ++c) {
            const int i = static_cast<int>(c);
            std::string& t = out[c];
            switch (sqlite3_column_type(s, i)) {
            case SQLITE_INTEGER: t = IntegerText(sqlite3_column_int64(s, i)); break;
            case SQLITE_FLOAT: t = RealText(sqlite3_column_double(s, i)); break;
            case SQLITE_NULL: t.clear(); break;
            default: t.assign(columnText(s, i));
            }
        }
        for (std::size_t c = have; c < n; ++c)
            out[c].clear();
    }

    long long changes() const override { return changes_; }

private:
    static Value fetch(sqlite3_stmt* s, int c)
    {
        switch (sqlite3_column_type(s, c)) {
        case SQLITE_INTEGER: return Value(static_cast<long long>(sqlite3_column_int64(s, c)));
        case SQLITE_FLOAT: return Value(sqlite3_column_double(s, c));
        case SQLITE_NULL: return Value();
        default: return Value(columnText(s, c));
        }
    }

    static std::string_view columnText(sqlite3_stmt* s, int c)
    {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
        return std::string_view(t ? t : "", static_cast<std::size_t>(sqlite3_column_bytes(s, c)));
    }

    std::shared_ptr<SqliteBackend> owner_;
    Prepared p_;
    std::string context_;
    std::vector<ColumnInfo> columns_;
    sqlite3_int64 totalBefore_ = 0;
    long long changes_ = 0;
    bool done_ = false;
};

Prepared SqliteBackend::checkout(std::string_view sql, std::string_view context)
{
    requireOpen();
    if (const auto it = index_.find(sql); it != index_.end()) {
        const auto node = it->second;
        index_.erase(it);
        Prepared p = std::move(*node);
        lru_.erase(node);
        return p;
    }
    Prepared p;
    p.sql.assign(sql);
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(db_, p.sql.data(), static_cast<int>(p.sql.size()), SQLITE_PREPARE_PERSISTENT,
                                      &p.stmt, &tail);
    if (rc != SQLITE_OK)
        throw makeError(rc, context.empty() ? sql : context, true);
    const std::string ctx(context.empty() ? sql : context);
    if (!p.stmt)
        throw Error(Error::Kind::Syntax, "SQL 陳述式是空白的。", {}, ctx);
    for (const char* c = tail; c && *c; ++c)
        if (*c != ' ' && *c != '\t' && *c != '\r' && *c != '\n' && *c != ';')
            throw Error(Error::Kind::Syntax, "一次只能執行一個 SQL 陳述式。", {}, ctx);
    return p;
}

void SqliteBackend::checkin(Prepared& p) noexcept
{
    if (!p.stmt)
        return;
    if (!db_ || index_.count(p.sql)) {
        sqlite3_finalize(std::exchange(p.stmt, nullptr));
        return;
    }
    sqlite3_reset(p.stmt);
    sqlite3_clear_bindings(p.stmt);
    lru_.push_front(std::move(p));
    index_.emplace(lru_.front().sql, lru_.begin());
    if (lru_.size() > statementCacheSize) {
        index_.erase(lru_.back().sql);
        lru_.pop_back();
    }
}

Error SqliteBackend::makeError(int rc, std::string_view context, bool preparing)
{
    const std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    Error::Kind kind = Error::Kind::General;
    std::string d;
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        kind = Error::Kind::Busy;
        d = "資料庫忙碌中：資料庫檔案「" + path_ + "」正由其他工作站使用，"
            + (gaveUp_ && waitedMs_ >= 50
                   ? "等候 " + RealText(std::round(waitedMs_ / 100.0) / 10.0) + " 秒後仍無法存取"
                   : std::string("目前無法存取"))
            + "，請稍後再試。";
        gaveUp_ = false;
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        kind = Error::Kind::NotADatabase;
        d = "資料庫檔案「" + path_ + "」已經損毀或不是資料庫。";
        break;
    case SQLITE_READONLY: d = "資料庫檔案「" + path_ + "」是唯讀的，無法寫入。"; break;
    case SQLITE_FULL: d = "磁碟空間已滿，無法寫入資料庫檔案「" + path_ + "」。"; break;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR: d = "無法存取資料庫檔案「" + path_ + "」。"; break;
    case SQLITE_CONSTRAINT: d = "資料不符合資料表的限制（例如索引鍵重複）。"; break;
    case SQLITE_ERROR:
        if (preparing) {
            kind = Error::Kind::Syntax;
            d = "SQL 陳述式有誤。";
            break;
        }
        [[fallthrough]];
    default: d = "資料庫發生錯誤。"; break;
    }
    return Error(kind, d, msg, std::string(context));
}

std::unique_ptr<Cursor> SqliteBackend::query(std::string_view sql, std::string_view context)
{
    Prepared p = checkout(sql, context);
    return std::make_unique<SqliteCursor>(shared_from_this(), std::move(p), context);
}

bool SqliteBackend::updateRow(std::string_view table, const Value& rowId, std::span<const FieldChange> changes)
{
    // Only the changed columns are written, and only where each still holds
    // what was read (compared exactly, whatever the column's collation).
    const std::size_t n = changes.size();
    std::string sql = "update " + QuoteIdentifier(table) + " set ";
    for (std::size_t i = 0; i < n; ++i) {
        if (i)
            sql += ", ";
        sql += QuoteIdentifier(changes[i].column) + " = " + NumberedParameter(i + 1);
    }
    sql += " where rowid = " + NumberedParameter(n + 1);
    for (std::size_t i = 0; i < n; ++i)
        sql += " and " + QuoteIdentifier(changes[i].column) + " is " + NumberedParameter(n + 2 + i) + " collate binary";
    Lease l{*this, checkout(sql, {})};
    for (std::size_t i = 0; i < n; ++i) {
        BindValue(l.p.stmt, static_cast<int>(i + 1), changes[i].after);
        BindValue(l.p.stmt, static_cast<int>(n + 2 + i), changes[i].before);
    }
    BindValue(l.p.stmt, static_cast<int>(n + 1), rowId);
    return run(l.p.stmt, sql) == 1;
}

Value SqliteBackend::insertRow(std::string_view table, std::span<const std::pair<std::string, Value>> fields)
{
    std::string sql = "insert into " + QuoteIdentifier(table);
    if (fields.empty()) {
        sql += " default values";
    } else {
        sql += " (";
        for (std::size_t i = 0; i < fields.size(); ++i)
            sql += (i ? ", " : "") + QuoteIdentifier(fields[i].first);
        sql += ") values (";
        for (std::size_t i = 0; i < fields.size(); ++i)
            sql += (i ? ", " : "") + NumberedParameter(i + 1);
        sql += ")";
    }
    Lease l{*this, checkout(sql, {})};
    for (std::size_t i = 0; i < fields.size(); ++i)
        BindValue(l.p.stmt, static_cast<int>(i + 1), fields[i].second);
    run(l.p.stmt, sql);
    return Value(static_cast<long long>(sqlite3_last_insert_rowid(db_)));
}

std::unique_ptr<Cursor> SqliteBackend::readRow(std::string_view table, const Value& rowId)
{
    const std::string sql = "select * from " + QuoteIdentifier(table) + " where rowid = ?1";
    Prepared p = checkout(sql, {});
    BindValue(p.stmt, 1, rowId);
    return std::make_unique<SqliteCursor>(shared_from_this(), std::move(p), sql);
}

// ---- opening -------------------------------------------------------------

// On a case-sensitive file system a database file named in capitals
// (DATA.MDB) is still found when its name differs in case only (DATA.mdb),
// as it would be on the file share's own system.
std::string FindIgnoringCase(const std::string& path)
{
    std::error_code ec;
    const fs::path p(path);
    const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
    auto lowerName = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    const std::string want = lowerName(p.filename().string());
    std::string found;
    int matches = 0;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (lowerName(it->path().filename().string()) == want) {
            found = it->path().string();
            ++matches;
        }
    }
    return matches == 1 ? found : std::string();
}

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

} // namespace

void RegisterSqliteFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "val", 1, flags, nullptr, SqlVal, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_concat", -1, flags, nullptr, SqlConcat, nullptr, nullptr, nullptr);
}

bool IsNetworkFileSystem(long fileSystemType)
{
    switch (static_cast<unsigned long>(fileSystemType) & 0xFFFFFFFFUL) {
    case 0x6969UL:       // NFS
    case 0x517BUL:       // SMB
    case 0xFF534D42UL:   // CIFS
    case 0xFE534D42UL:   // SMB2
    case 0x65735546UL:   // FUSE (sshfs and the like)
    case 0x01021997UL:   // 9P
    case 0x5346414FUL:   // AFS
    case 0x73757245UL:   // Coda
    case 0x00C36400UL:   // Ceph
        return true;
    default:
        return false;
    }
}

std::shared_ptr<Backend> OpenSqliteBackend(const std::string& path, int busyTimeoutMs)
{
    using Kind = Error::Kind;
    const std::string named = "「" + path + "」";
    std::error_code ec;
    std::string actual = path;
    fs::file_status st = fs::status(actual, ec);
    if (!fs::exists(st)) {
        if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
            throw Error(Kind::General, "無法存取資料庫檔案" + named + "：" + std::strerror(ec.value()) + "。");
        actual = FindIgnoringCase(path);
        if (actual.empty())
            throw Error(Kind::FileMissing, "找不到資料庫檔案" + named + "。");
        st = fs::status(actual, ec);
    }
    // Only a regular file is read: opening a named pipe would wait for a
    // writer for ever, a device would be read without end.
    switch (st.type()) {
    case fs::file_type::regular: break;
    case fs::file_type::directory: throw Error(Kind::NotADatabase, named + "是資料夾，不是資料庫檔案。");
    case fs::file_type::fifo: throw Error(Kind::NotADatabase, named + "是具名管道（FIFO），不是資料庫檔案。");
    case fs::file_type::socket: throw Error(Kind::NotADatabase, named + "是通訊端（socket），不是資料庫檔案。");
    case fs::file_type::block:
    case fs::file_type::character: throw Error(Kind::NotADatabase, named + "是裝置檔案，不是資料庫檔案。");
    default: throw Error(Kind::NotADatabase, named + "不是一般的檔案，不是資料庫檔案。");
    }

    // Tell an Access file and other files apart before the engine sees them.
    // Opened without blocking and checked again, in case the file was
    // replaced since it was looked at.
    char header[100] = {};
    std::size_t got = 0;
    {
        const int fd = ::open(actual.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            throw Error(Kind::General, "無法讀取資料庫檔案" + named + "：" + std::string(std::strerror(errno)) + "。");
        struct stat opened {};
        const bool regular = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
        while (regular && got < sizeof header) {
            const ssize_t n = ::read(fd, header + got, sizeof header - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        ::close(fd);
        if (!regular)
            throw Error(Kind::NotADatabase, named + "不是一般的檔案，不是資料庫檔案。");
    }
    if (got == 0)
        throw Error(Kind::NotADatabase, "資料庫檔案" + named + "是空的檔案（0 位元組），不是資料庫。");
    if (got >= 19 && std::memcmp(header + 4, "Standard Jet DB", 15) == 0)
        throw Error(Kind::NotADatabase, "資料庫檔案" + named
                                            + "是 Microsoft Access（Jet）格式的資料庫。本程式使用 SQLite 3 "
                                              "資料庫，請先將資料轉換為 SQLite 格式。");
    if (got >= 19 && std::memcmp(header + 4, "Standard ACE DB", 15) == 0)
        throw Error(Kind::NotADatabase, "資料庫檔案" + named
                                            + "是 Microsoft Access（ACE，Access 2007 以後）格式的資料庫。本程式"
                                              "使用 SQLite 3 資料庫，請先將資料轉換為 SQLite 格式。");
    if (got < 16 || std::memcmp(header, "SQLite format 3", 16) != 0)
        throw Error(Kind::NotADatabase, "檔案" + named + "不是資料庫檔案（不是 SQLite 3 資料庫）。");

    // A name starting "file:" would be read as a URI.
    if (actual.rfind("file:", 0) == 0)
        actual = "./" + actual;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(actual.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<sqlite3, DbCloser> db(raw);
    if (rc != SQLITE_OK)
        throw Error(Kind::General, "無法開啟資料庫檔案" + named + "："
                                       + std::string(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)) + "。");
    if (sqlite3_db_readonly(raw, "main") == 1)
        throw Error(Kind::General, "資料庫檔案" + named + "是唯讀的（沒有寫入權限），無法開啟。");
    sqlite3_extended_result_codes(raw, 1);
    // A misspelt [name] must be an error, not the text "name".
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    RegisterSqliteFunctions(raw);

    auto backend = std::make_shared<SqliteBackend>(path, db.release(), busyTimeoutMs);
    // Reading the schema proves the file is a sound database (and waits for
    // a workstation that is writing).
    backend->execute("select count(*) from sqlite_schema", {});
    // The rollback journal: databases live on file shares, where WAL's
    // shared memory does not work. A file left in WAL mode is switched back.
    {
        auto c = backend->query("PRAGMA journal_mode", {});
        std::vector<Value> row;
        if (c->next()) {
            c->read(row);
            const std::string* mode = row.empty() ? nullptr : row[0].textIf();
            if (mode && (*mode == "wal" || *mode == "WAL")) {
                c.reset();
                try {
                    backend->execute("PRAGMA journal_mode=DELETE", {});
                } catch (const Error&) {
                    // Another workstation has it open; the next open retries.
                }
            }
        }
    }
    // On a local disk a kept connection reads a large grid from memory; on a
    // share (or when the file system cannot be told) the plain reads stay.
    struct statfs where {};
    if (::statfs(actual.c_str(), &where) == 0 && !IsNetworkFileSystem(static_cast<long>(where.f_type))) {
        backend->execute("PRAGMA cache_size=-" + std::to_string(kLocalCacheKiB), {});
        // The engine answers with the size it took (0 where it was built
        // without memory mapping).
        auto c = backend->query("PRAGMA mmap_size=" + std::to_string(kLocalMmapBytes), {});
        std::vector<Value> row;
        if (c->next()) {
            c->read(row);
            backend->setMappedReads(!row.empty() && row[0].number() > 0);
        }
    }
    return backend;
}

} // namespace jet
