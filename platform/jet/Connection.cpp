#include "platform/jet/Connection.h"

#include "platform/jet/Backend.h"
#include "platform/jet/Translator.h"

namespace jet {

namespace {

std::string trimBlanks(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return std::string();
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool sameKey(std::string a, const char* b)
{
    std::string k;
    for (const char c : a)
        if (c != ' ')
            k += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return k == b;
}

} // namespace

std::string dataSourceOf(const std::string& cs)
{
    // key=value pairs separated by ";"; a value may be quoted to hold ";".
    std::size_t i = 0;
    const std::size_t n = cs.size();
    while (i < n) {
        const std::size_t eq = cs.find('=', i);
        if (eq == std::string::npos)
            break;
        const std::string key = trimBlanks(cs.substr(i, eq - i));
        std::size_t v = eq + 1;
        while (v < n && (cs[v] == ' ' || cs[v] == '\t'))
            ++v;
        std::string value;
        std::size_t next;
        if (v < n && (cs[v] == '"' || cs[v] == '\'')) {
            const std::size_t close = cs.find(cs[v], v + 1);
            value = cs.substr(v + 1, close == std::string::npos ? std::string::npos : close - v - 1);
            next = close == std::string::npos ? n : cs.find(';', close);
        } else {
            next = cs.find(';', v);
            value = trimBlanks(cs.substr(v, next == std::string::npos ? std::string::npos : next - v));
        }
        if (sameKey(key, "datasource") || sameKey(key, "dbq"))
            return value;
        if (next == std::string::npos)
            break;
        i = next + 1;
    }
    return std::string();
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
