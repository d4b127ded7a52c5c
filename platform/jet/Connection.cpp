#include "platform/jet/Connection.h"

#include "platform/jet/Backend.h"
#include "platform/jet/Postgres.h"
#include "platform/jet/Translator.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <mutex>
#include <optional>

namespace jet {

namespace {

bool sameKey(std::string_view a, const char* b)
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

BusyWaits& busyWaits()
{
    static BusyWaits w;
    return w;
}

} // namespace

std::string quoteConnectionValue(std::string_view value)
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
std::optional<std::string> connectionValueOf(const std::string& cs, std::initializer_list<const char*> keys)
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
            if (sameKey(key, k))
                return value;
        if (next == std::string::npos)
            break;
        i = next + 1;
    }
    return std::nullopt;
}

} // namespace

std::string dataSourceOf(const std::string& cs)
{
    return connectionValueOf(cs, {"datasource", "dbq"}).value_or(std::string());
}

ServerAddress serverAddressOf(const std::string& cs)
{
    ServerAddress a;
    a.host = connectionValueOf(cs, {"server", "host"}).value_or(std::string());
    if (a.host.empty())
        return a;
    a.port = connectionValueOf(cs, {"port"}).value_or(std::string());
    a.database = connectionValueOf(cs, {"database", "initialcatalog"}).value_or(std::string());
    a.user = connectionValueOf(cs, {"userid", "user", "uid"}).value_or(std::string());
    return a;
}

std::string serverConnectionString(const ServerAddress& a)
{
    std::string cs = "Provider=PostgreSQL;Server=" + quoteConnectionValue(a.host);
    if (!a.port.empty())
        cs += ";Port=" + quoteConnectionValue(a.port);
    cs += ";Database=" + quoteConnectionValue(a.database);
    if (!a.user.empty())
        cs += ";User ID=" + quoteConnectionValue(a.user);
    return cs;
}

void setBusyWaitBudget(std::chrono::milliseconds budget)
{
    BusyWaits& w = busyWaits();
    const std::lock_guard lock(w.m);
    w.budgeted = true;
    w.left = budget;
}

void clearBusyWaitBudget()
{
    BusyWaits& w = busyWaits();
    const std::lock_guard lock(w.m);
    w.budgeted = false;
}

void setBusyWaitObserver(std::function<void()> observer)
{
    BusyWaits& w = busyWaits();
    const std::lock_guard lock(w.m);
    w.observer = std::move(observer);
}

std::chrono::nanoseconds busyWaitAllowed(std::chrono::nanoseconds wanted)
{
    BusyWaits& w = busyWaits();
    const std::lock_guard lock(w.m);
    return w.budgeted ? std::min(wanted, w.left) : wanted;
}

void busyWaitSpent(std::chrono::nanoseconds spent)
{
    BusyWaits& w = busyWaits();
    const std::lock_guard lock(w.m);
    if (w.budgeted)
        w.left = std::max(std::chrono::nanoseconds(0), w.left - spent);
}

void busyWaitStarting()
{
    std::function<void()> observer;
    {
        BusyWaits& w = busyWaits();
        const std::lock_guard lock(w.m);
        observer = w.observer;
    }
    if (observer)
        observer();
}

Connection::Connection() = default;

Connection::~Connection()
{
    try {
        close();
    } catch (...) {
        // A destructor cannot report; the engine rolls back on close anyway.
    }
}

void Connection::open(const std::string& connectionString)
{
    if (backend_)
        throw Error(Error::Kind::Usage, "連線已經開啟，不能再開啟一次。");
    if (const ServerAddress server = serverAddressOf(connectionString); !server.host.empty()) {
        backend_ = openPostgresBackend(server, busyTimeoutMs_);
        dataSource_ = server.display();
        level_ = 0;
        return;
    }
    const std::string path = dataSourceOf(connectionString);
    if (path.empty())
        throw Error(Error::Kind::FileMissing, "連線字串中沒有指定資料庫檔案（Data Source）。");
    backend_ = openSqliteBackend(path, busyTimeoutMs_);
    dataSource_ = path;
    level_ = 0;
}

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
    return b.execute(translate(jetSql, b.dialect()), jetSql);
}

long long Connection::executeNative(const std::string& engineSql)
{
    return backend()->execute(engineSql, engineSql);
}

bool Connection::onServer() const { return backend()->dialect() == Dialect::PostgreSQL; }

void Connection::beginTrans()
{
    Backend& b = *backend();
    if (level_ > 0 && !b.inTransaction())
        level_ = 0; // the engine ended the transaction after an error
    b.begin(level_);
    ++level_;
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
