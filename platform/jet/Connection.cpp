#include "platform/jet/Connection.h"

#include "platform/jet/Backend.h"
#include "platform/jet/IdleConnections.h"
#include "platform/jet/Postgres.h"
#include "platform/jet/Translator.h"
#include "platform/text/Text.h"

#include <atomic>
#include <algorithm>
#include <filesystem>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace jet {

namespace {

bool SameKey(std::string_view a, const char* b)
{
    std::string k;
    for (const char c : a)
        if (c != ' ')
            k += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return k == b;
}

struct BusyWaits {
    std::mutex m;
    bool budgeted = false;
    std::chrono::nanoseconds left{0};
    std::function<void()> observer;
};

BusyWaits& TheBusyWaits()
{
    static BusyWaits w;
    return w;
}

// ---- The last closed file connection, kept for the next open ---------------
//
// The program opens a connection per operation, and start-up alone makes
// about eight. Each new SQLite connection reads and parses the whole schema
// again (some 180 tables, views and indexes: a few milliseconds each), so
// the connection just closed is kept, idle, and handed to the next open of
// the same file on the same thread. It holds no lock while idle: no
// transaction and no statement is running. It is reused only while the path
// still names the very file it was opened on, and never in another process
// (a fork's child must not use its parent's connection).

using FileIdentity = Connection::FileIdentity;

std::optional<FileIdentity> IdentityOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
}

// A connection kept idle, with the process that kept it.
struct IdleSlot {
    pid_t process = 0;
    std::shared_ptr<Backend> backend;

    // Empties the slot. A connection inherited through fork() belongs to the
    // parent and is left alone: closing it here could disturb the parent's
    // locks on the file or its session on the server.
    void clear()
    {
        if (backend && process != ::getpid()) {
            static auto* inherited = new std::vector<std::shared_ptr<Backend>>; // never destroyed
            inherited->push_back(std::move(backend));
        } else if (backend)
            backend->close();
        backend.reset();
    }
    ~IdleSlot() { clear(); }
};

struct IdleFileConnection : IdleSlot {
    std::string path;
    FileIdentity identity;
};

IdleFileConnection& IdleConnection()
{
    thread_local IdleFileConnection idle;
    return idle;
}

// Keeps the connection, idle, for the next open of the file on this thread.
void KeepIdle(std::string path, const FileIdentity& identity, std::shared_ptr<Backend> b)
{
    IdleFileConnection& idle = IdleConnection();
    idle.clear();
    idle.path = std::move(path);
    idle.identity = identity;
    idle.process = ::getpid();
    idle.backend = std::move(b);
}

std::shared_ptr<Backend> TakeIdleConnection(const std::string& path, const std::optional<FileIdentity>& identity)
{
    IdleFileConnection& idle = IdleConnection();
    if (!idle.backend || idle.process != ::getpid())
        return nullptr;
    std::shared_ptr<Backend> b = std::move(idle.backend);
    if (idle.path != path || !identity || idle.identity != *identity || !b->isOpen()) {
        b->close();
        return nullptr;
    }
    return b;
}

// The object opening ahead on this thread, if any.
thread_local OpenAhead* openingAhead = nullptr;

// ---- The last closed server connection, kept for the next open -------------
//
// On a server a workstation keeps one connection between operations instead
// of connecting for every statement group: a connection costs the server a
// process of its own and the workstation a round trip with authentication.
// As with the file, only an idle connection is kept (no transaction, nothing
// reading), on this thread, in this process, for the same server, database,
// user and write-lock key; before it is used again one statement proves the
// server still holds it, and one it dropped is replaced by a new one.

struct IdleServerConnection : IdleSlot {
    std::string key;
};

IdleServerConnection& IdleServer()
{
    thread_local IdleServerConnection idle;
    return idle;
}

std::string ServerKey(const ServerAddress& a)
{
    const std::optional<long long> lock = ServerWriteLockKey();
    return a.host + '\n' + a.port + '\n' + a.database + '\n' + a.user + '\n' + (lock ? std::to_string(*lock) : "-");
}

std::shared_ptr<Backend> TakeIdleServerConnection(const std::string& key)
{
    IdleServerConnection& idle = IdleServer();
    if (!idle.backend || idle.process != ::getpid())
        return nullptr;
    std::shared_ptr<Backend> b = std::move(idle.backend);
    if (idle.key != key || !b->isOpen()) {
        b->close();
        return nullptr;
    }
    try {
        b->execute("select 1", {});
    } catch (const Error&) {
        b->close();   // dropped by the server, or broken: connect anew
        return nullptr;
    }
    return b;
}

} // namespace

std::string QuoteConnectionValue(std::string_view value)
{
    const bool plain = value.find_first_of(";\"'") == std::string_view::npos
                       && (value.empty() || (!qtmv::IsBlank(value.front()) && !qtmv::IsBlank(value.back())));
    if (plain)
        return std::string(value);
    std::string out = "\"";
    for (const char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

namespace {

// The value of the first of `keys` (lower case, blanks removed) that the
// connection string holds; nothing when none.
std::optional<std::string> ConnectionValueOf(const std::string& cs, std::initializer_list<const char*> keys)
{
    const std::size_t n = cs.size();
    std::size_t i = 0;
    while (i < n) {
        // A part without "=" (stray text between two ";") names nothing.
        const std::size_t eq = cs.find_first_of("=;", i);
        if (eq == std::string::npos)
            break;
        if (cs[eq] == ';') {
            i = eq + 1;
            continue;
        }
        const std::string_view key(cs.data() + i, eq - i);
        std::size_t v = eq + 1;
        while (v < n && (cs[v] == ' ' || cs[v] == '\t'))
            ++v;
        std::string value;
        std::size_t next;
        if (v < n && (cs[v] == '"' || cs[v] == '\'')) {
            // Up to the quote that is not doubled; only blanks may follow it.
            const char q = cs[v];
            std::size_t p = v + 1;
            bool closed = false;
            while (p < n) {
                if (cs[p] == q) {
                    if (p + 1 < n && cs[p + 1] == q) {
                        value += q;
                        p += 2;
                        continue;
                    }
                    closed = true;
                    ++p;
                    break;
                }
                value += cs[p++];
            }
            while (p < n && qtmv::IsBlank(cs[p]))
                ++p;
            if (!closed || (p < n && cs[p] != ';'))
                throw Error(Error::Kind::General,
                            "連線字串的格式有誤：「" + qtmv::Trim(key) + "」的值引號沒有成對，無法得知資料庫檔案。");
            next = p;
        } else {
            next = cs.find(';', v);
            value = qtmv::Trim(std::string_view(cs).substr(v, next == std::string::npos ? std::string::npos : next - v));
        }
        for (const char* k : keys)
            if (SameKey(key, k))
                return value;
        if (next == std::string::npos)
            break;
        i = next + 1;
    }
    return std::nullopt;
}

} // namespace

std::string DataSourceOf(const std::string& cs)
{
    return ConnectionValueOf(cs, {"datasource", "dbq"}).value_or(std::string());
}

ServerAddress ServerAddressOf(const std::string& cs)
{
    ServerAddress a;
    a.host = ConnectionValueOf(cs, {"server", "host"}).value_or(std::string());
    if (a.host.empty())
        return a;
    a.port = ConnectionValueOf(cs, {"port"}).value_or(std::string());
    a.database = ConnectionValueOf(cs, {"database", "initialcatalog"}).value_or(std::string());
    a.user = ConnectionValueOf(cs, {"userid", "user", "uid"}).value_or(std::string());
    return a;
}

std::string ServerConnectionString(const ServerAddress& a)
{
    std::string cs = "Provider=PostgreSQL;Server=" + QuoteConnectionValue(a.host);
    if (!a.port.empty())
        cs += ";Port=" + QuoteConnectionValue(a.port);
    cs += ";Database=" + QuoteConnectionValue(a.database);
    if (!a.user.empty())
        cs += ";User ID=" + QuoteConnectionValue(a.user);
    return cs;
}

void SetBusyWaitBudget(std::chrono::milliseconds budget)
{
    BusyWaits& w = TheBusyWaits();
    const std::lock_guard lock(w.m);
    w.budgeted = true;
    w.left = budget;
}

void ClearBusyWaitBudget()
{
    BusyWaits& w = TheBusyWaits();
    const std::lock_guard lock(w.m);
    w.budgeted = false;
}

void SetBusyWaitObserver(std::function<void()> observer)
{
    BusyWaits& w = TheBusyWaits();
    const std::lock_guard lock(w.m);
    w.observer = std::move(observer);
}

namespace {

struct WriteLockKey {
    std::mutex m;
    std::optional<long long> key;
};

WriteLockKey& TheWriteLockKey()
{
    static WriteLockKey k;
    return k;
}

} // namespace

void SetServerWriteLockKey(std::optional<long long> key)
{
    WriteLockKey& k = TheWriteLockKey();
    const std::lock_guard lock(k.m);
    k.key = key;
}

std::optional<long long> ServerWriteLockKey()
{
    WriteLockKey& k = TheWriteLockKey();
    const std::lock_guard lock(k.m);
    return k.key;
}

std::chrono::nanoseconds BusyWaitAllowed(std::chrono::nanoseconds wanted)
{
    BusyWaits& w = TheBusyWaits();
    const std::lock_guard lock(w.m);
    return w.budgeted ? std::min(wanted, w.left) : wanted;
}

void BusyWaitSpent(std::chrono::nanoseconds spent)
{
    BusyWaits& w = TheBusyWaits();
    const std::lock_guard lock(w.m);
    if (w.budgeted)
        w.left = std::max(std::chrono::nanoseconds(0), w.left - spent);
}

void BusyWaitStarting()
{
    std::function<void()> observer;
    {
        BusyWaits& w = TheBusyWaits();
        const std::lock_guard lock(w.m);
        observer = w.observer;
    }
    if (observer)
        observer();
}

std::string DatabaseShownName(const std::string& connectionString)
{
    std::string path;
    try {
        if (const ServerAddress server = ServerAddressOf(connectionString); !server.host.empty())
            return server.display();
        path = DataSourceOf(connectionString);
    } catch (const Error&) {
        // A connection string that cannot be read names no database.
    }
    if (path.empty())
        return path;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

Connection::Connection() = default;

// ---- Opening ahead ----------------------------------------------------------

struct OpenAhead::Opened {
    struct Result {
        std::optional<FileIdentity> identity;
        std::shared_ptr<Backend> backend;
    };
    std::future<Result> result;
};

OpenAhead::OpenAhead(const std::string& connectionString)
{
    try {
        if (!ServerAddressOf(connectionString).host.empty())
            return;
        path_ = DataSourceOf(connectionString);
    } catch (const Error&) {
        return;   // the open reports a connection string it cannot read
    }
    if (path_.empty())
        return;
    opened_ = std::make_unique<Opened>();
    const auto openFile = [path = path_]() -> Opened::Result {
        try {
            // As an open does: the file is looked at before the engine opens it.
            std::optional<FileIdentity> identity = IdentityOf(path);
            if (!identity)
                return {};
            // No busy wait, which would tell the user of it from this
            // thread: a few short tries, as a workstation saving holds the
            // file for milliseconds. A file held longer is the open's to
            // wait for, with its notice on screen.
            for (int attempt = 1;; ++attempt) {
                try {
                    return {identity, OpenSqliteBackend(path, 0)};
                } catch (const Error& e) {
                    if (e.kind() != Error::Kind::Busy || attempt == 4)
                        return {};
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10 * attempt));
            }
        } catch (...) {
            return {};
        }
    };
    try {
        opened_->result = std::async(std::launch::async, openFile);
    } catch (const std::system_error&) {
        opened_.reset();   // no thread to spare: the open does it all
        return;
    }
    openingAhead = this;
}

OpenAhead::~OpenAhead()
{
    if (openingAhead == this)
        openingAhead = nullptr;
    if (opened_ && opened_->result.valid()) {
        if (const std::shared_ptr<Backend> b = opened_->result.get().backend)
            b->close();
    }
}

std::shared_ptr<Backend> OpenAhead::take(const std::string& path, const std::optional<FileIdentity>& identity)
{
    if (path != path_ || !opened_ || !opened_->result.valid())
        return nullptr;
    if (openingAhead == this)
        openingAhead = nullptr;
    Opened::Result r = opened_->result.get();
    if (!r.backend)
        return nullptr;
    // Handed over as a connection closed on this thread is: taken only while
    // the path still names the file opened ahead.
    KeepIdle(path_, *r.identity, std::move(r.backend));
    std::shared_ptr<Backend> b = TakeIdleConnection(path, identity);
    taken_ = b != nullptr;
    return b;
}

Connection::~Connection()
{
    try {
        close();
    } catch (...) {
        // A destructor cannot report; the engine rolls back on close anyway.
    }
}

namespace {
std::atomic<long long> successfulOpens{0};
} // namespace

void ReleaseIdleConnections()
{
    IdleConnection().clear();
    IdleServer().clear();
}

long long Connection::opensSoFar() { return successfulOpens.load(); }

void Connection::open(const std::string& connectionString)
{
    if (backend_)
        throw Error(Error::Kind::Usage, "連線已經開啟，不能再開啟一次。");
    if (const ServerAddress server = ServerAddressOf(connectionString); !server.host.empty()) {
        std::string key = ServerKey(server);
        backend_ = TakeIdleServerConnection(key);
        if (backend_)
            backend_->setBusyTimeout(busyTimeoutMs_);
        else
            backend_ = OpenPostgresBackend(server, busyTimeoutMs_, ServerWriteLockKey());
        serverKey_ = std::move(key);
        dataSource_ = server.display();
        level_ = 0;
        ++successfulOpens;
        return;
    }
    const std::string path = DataSourceOf(connectionString);
    if (path.empty())
        throw Error(Error::Kind::FileMissing, "連線字串中沒有指定資料庫檔案（Data Source）。");
    // Looked at before the engine opens it: a file replaced in between is
    // then never taken for the one the connection holds.
    const std::optional<FileIdentity> identity = IdentityOf(path);
    std::shared_ptr<Backend> idle = openingAhead ? openingAhead->take(path, identity) : nullptr;
    if (!idle)
        idle = TakeIdleConnection(path, identity);
    if (idle) {
        idle->setBusyTimeout(busyTimeoutMs_);
        // As a fresh open does: the file can be read now, or the open waits
        // for a workstation that holds it and fails busy. The schema is
        // parsed already, so this costs microseconds.
        idle->execute("select count(*) from sqlite_schema", {});
        backend_ = std::move(idle);
    } else {
        backend_ = OpenSqliteBackend(path, busyTimeoutMs_);
    }
    file_ = identity;
    dataSource_ = path;
    level_ = 0;
    ++successfulOpens;
}

bool Connection::mappedReads() const { return backend_ && backend_->mappedReads(); }

void Connection::close()
{
    if (!backend_)
        return;
    std::shared_ptr<Backend> b = std::move(backend_);
    level_ = 0;
    if (b->inTransaction()) {
        try {
            b->rollback(0);
        } catch (const Error&) {
            // Closing the engine's connection rolls back as well.
        }
    }
    // Kept for the next open when nothing else holds it (a recordset still
    // reading keeps its own reference) and it is idle.
    const std::optional<FileIdentity> file = std::exchange(file_, std::nullopt);
    const bool idle = b.use_count() == 1 && b->isOpen() && !b->inTransaction();
    if (file && idle && b->dialect() == Dialect::SQLite) {
        KeepIdle(dataSource_, *file, std::move(b));
        return;
    }
    std::string key = std::exchange(serverKey_, std::string());
    if (!key.empty() && idle) {
        IdleServerConnection& slot = IdleServer();
        slot.clear();
        slot.key = std::move(key);
        slot.process = ::getpid();
        slot.backend = std::move(b);
        return;
    }
    b->close();
}

bool Connection::isOpen() const { return backend_ != nullptr; }

const std::string& Connection::dataSource() const { return dataSource_; }

void Connection::setBusyTimeout(int milliseconds)
{
    busyTimeoutMs_ = milliseconds;
    if (backend_)
        backend_->setBusyTimeout(milliseconds);
}

const std::shared_ptr<Backend>& Connection::backend() const
{
    if (!backend_)
        throw Error(Error::Kind::Usage, "資料庫連線尚未開啟。");
    return backend_;
}

long long Connection::execute(const std::string& jetSql)
{
    Backend& b = *backend();
    return b.execute(Translate(jetSql, b.dialect()), jetSql);
}

void Connection::executeAll(const std::vector<std::string>& jetSqls)
{
    if (jetSqls.empty())
        return;
    Backend& b = *backend();
    std::vector<std::string> sqls;
    for (const std::string& sql : jetSqls)
        sqls.push_back(Translate(sql, b.dialect()));
    b.executeAll(std::move(sqls), jetSqls);
}

long long Connection::executeNative(const std::string& engineSql)
{
    return backend()->execute(engineSql, engineSql);
}

bool Connection::onServer() const { return backend()->dialect() == Dialect::PostgreSQL; }

void Connection::beginTrans(Writes writes)
{
    Backend& b = *backend();
    if (level_ > 0 && !b.inTransaction())
        level_ = 0; // the engine ended the transaction after an error
    // A nested transaction is a part of the outer one and holds what it holds.
    if (level_ == 0 && writes == Writes::Claimed)
        b.beginClaimed();
    else if (level_ == 0 && writes == Writes::None)
        b.beginReading();
    else
        b.begin(level_);
    ++level_;
}

std::int32_t ClaimNumber(std::string_view item)
{
    // FNV-1a: short, stable across builds and machines, which every
    // workstation's order depends on.
    std::uint32_t h = 2166136261u;
    for (const char c : qtmv::AsciiLower(item)) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return static_cast<std::int32_t>(h);
}

void Connection::claim(std::span<const std::string> items)
{
    if (level_ > 0)
        backend()->claim(items);
}

void Connection::commitTrans()
{
    Backend& b = *backend();
    if (level_ == 0)
        throw Error(Error::Kind::Usage, "沒有進行中的交易可以確認。");
    if (!b.inTransaction()) {
        level_ = 0;
        throw Error(Error::Kind::General, "交易已因先前的錯誤而被資料庫取消，資料沒有寫入。");
    }
    b.commit(level_ - 1);
    --level_;
}

void Connection::rollbackTrans()
{
    Backend& b = *backend();
    if (level_ == 0)
        throw Error(Error::Kind::Usage, "沒有進行中的交易可以取消。");
    if (!b.inTransaction()) {
        level_ = 0;
        return;
    }
    b.rollback(level_ - 1);
    --level_;
}

bool Connection::inTransaction() const { return level_ > 0; }

Transaction::~Transaction()
{
    if (done_)
        return;
    try {
        if (c_.isOpen() && c_.inTransaction())
            c_.rollbackTrans();
    } catch (...) {
        // Nothing to report from a destructor; closing rolls back as well.
    }
}

void Transaction::commit()
{
    c_.commitTrans();
    done_ = true;
}

} // namespace jet
