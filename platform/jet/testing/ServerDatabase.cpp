#include "platform/jet/testing/ServerDatabase.h"

#include "platform/jet/Connection.h"
#include "platform/jet/IdleConnections.h"

#include <libpq-fe.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <regex>
#include <stdexcept>
#include <thread>

#include <unistd.h>

namespace jet::testing {

namespace {

struct ConnFree {
    void operator()(PGconn* c) const { PQfinish(c); }
};
using Conn = std::unique_ptr<PGconn, ConnFree>;

Conn Connect(const std::string& conninfo)
{
    Conn c(PQconnectdb(conninfo.c_str()));
    if (PQstatus(c.get()) != CONNECTION_OK)
        throw std::runtime_error("cannot connect to the test server: " + std::string(PQerrorMessage(c.get())));
    PQsetNoticeProcessor(c.get(), [](void*, const char*) {}, nullptr);
    return c;
}

// Runs `sql`; the first value of the first row, or "<none>"/"<null>".
std::string Run(PGconn* c, const std::string& sql, bool* failed = nullptr, std::string* state = nullptr)
{
    PGresult* r = PQexec(c, sql.c_str());
    const ExecStatusType st = PQresultStatus(r);
    std::string out = "<none>";
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        const std::string msg = PQresultErrorMessage(r);
        if (state) {
            const char* s = PQresultErrorField(r, PG_DIAG_SQLSTATE);
            *state = s ? s : "";
        }
        PQclear(r);
        if (failed) {
            *failed = true;
            return out;
        }
        throw std::runtime_error(msg + " in: " + sql);
    }
    if (st == PGRES_TUPLES_OK && PQntuples(r) > 0 && PQnfields(r) > 0)
        out = PQgetisnull(r, 0, 0) ? "<null>" : PQgetvalue(r, 0, 0);
    PQclear(r);
    return out;
}

std::string Maintenance() { return *TestServer() + " dbname=postgres"; }

// Transactions on a test database queue behind one write lock, as a
// program's do. Any key serves, each test having a database of its own; one
// set before (a program's own, in its tests) is kept.
void UseWriteLockKey()
{
    if (!ServerWriteLockKey())
        SetServerWriteLockKey(1);
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// Test databases as a plant's database is made (README): UTF-8, locale C,
// so that citext ignores the case of Latin letters as the file database does
// and compares at the speed of plain text.
constexpr const char* kDatabaseLocale = "encoding 'UTF8' locale 'C'";

} // namespace

std::optional<std::string> TestServer()
{
    const char* v = std::getenv("QTMV_TEST_PG");
    if (!v || !*v)
        return std::nullopt;
    return std::string(v);
}

ServerDatabase::ServerDatabase()
{
    UseWriteLockKey();
    create("");
}

ServerDatabase::ServerDatabase(const std::string& key,
                               const std::function<void(const std::string& connectionString)>& fill)
{
    UseWriteLockKey();
    const std::string tpl = "qtmv_tpl_" + key;
    Conn m = Connect(Maintenance());
    // One process makes the template; the others wait for it.
    Run(m.get(), "select pg_advisory_lock(hashtext('" + tpl + "'))");
    if (Run(m.get(), "select count(*) from pg_database where datname = '" + tpl + "'") == "0") {
        const std::string making = tpl + "_" + std::to_string(::getpid());
        Run(m.get(), "drop database if exists " + Quoted(making) + " with (force)");
        Run(m.get(), "create database " + Quoted(making) + " template template0 " + kDatabaseLocale);
        ServerAddress a;
        a.host = address_.host;
        {
            PQconninfoOption* opts = PQconninfoParse(TestServer()->c_str(), nullptr);
            for (PQconninfoOption* o = opts; o && o->keyword; ++o) {
                if (!o->val)
                    continue;
                if (std::string(o->keyword) == "host")
                    a.host = o->val;
                else if (std::string(o->keyword) == "port")
                    a.port = o->val;
                else if (std::string(o->keyword) == "user")
                    a.user = o->val;
            }
            PQconninfoFree(opts);
        }
        a.database = making;
        try {
            fill(ServerConnectionString(a));
            // A database is renamed only when nobody is connected to it.
            ReleaseIdleConnections();
        } catch (...) {
            ReleaseIdleConnections();
            Run(m.get(), "drop database if exists " + Quoted(making) + " with (force)");
            Run(m.get(), "select pg_advisory_unlock(hashtext('" + tpl + "'))");
            throw;
        }
        Run(m.get(), "alter database " + Quoted(making) + " rename to " + Quoted(tpl));
    }
    Run(m.get(), "select pg_advisory_unlock(hashtext('" + tpl + "'))");
    m.reset();
    create(tpl);
}

void ServerDatabase::create(const std::string& templateName)
{
    static std::atomic<int> counter{0};
    PQconninfoOption* opts = PQconninfoParse(TestServer().value_or("").c_str(), nullptr);
    for (PQconninfoOption* o = opts; o && o->keyword; ++o) {
        if (!o->val)
            continue;
        const std::string k = o->keyword;
        if (k == "host")
            address_.host = o->val;
        else if (k == "port")
            address_.port = o->val;
        else if (k == "user")
            address_.user = o->val;
    }
    PQconninfoFree(opts);
    address_.database = "qtmv_t_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    Conn m = Connect(Maintenance());
    Run(m.get(), "drop database if exists " + Quoted(address_.database) + " with (force)");
    // A copy of a template keeps the template's locale.
    const std::string from = templateName.empty() ? std::string("template0 ") + kDatabaseLocale : Quoted(templateName);
    // A template another process is copying at this moment refuses a second copy for a while.
    for (int attempt = 0;; ++attempt) {
        bool failed = false;
        std::string state;
        Run(m.get(), "create database " + Quoted(address_.database) + " template " + from,
            &failed, &state);
        if (!failed)
            break;
        if (state != "55006" || attempt >= 100)
            throw std::runtime_error("cannot create the test database " + address_.database + " (" + state + ")");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (templateName.empty())
        exec(std::string(PostgresSupportSql()));
}

ServerDatabase::~ServerDatabase()
{
    try {
        Conn m = Connect(Maintenance());
        bool failed = false;
        Run(m.get(), "drop database if exists " + Quoted(address_.database) + " with (force)", &failed);
    } catch (...) {
        // The whole cluster goes at the end of the test command anyway.
    }
}

void ServerDatabase::exec(const std::string& sql) const
{
    Conn c = Connect(*TestServer() + " dbname=" + address_.database);
    Run(c.get(), sql);
}

std::string ServerDatabase::scalar(const std::string& sql) const
{
    Conn c = Connect(*TestServer() + " dbname=" + address_.database);
    return Run(c.get(), sql);
}

std::string CreateTableSql(const std::string& table, const std::string& columns, bool server)
{
    if (!server)
        return "create table [" + table + "] (" + columns + ")";
    // Outside quoted literals: names in lower case, SQLite's types as the server's.
    std::string cols;
    bool inLiteral = false;
    for (const char c : columns) {
        if (c == '\'')
            inLiteral = !inLiteral;
        cols += (!inLiteral && c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    cols = std::regex_replace(cols, std::regex(R"(\[([^\]]*)\])"), "\"$1\"");
    cols = std::regex_replace(cols, std::regex(R"(\s+collate\s+nocase\b)"), "");
    cols = std::regex_replace(cols, std::regex(R"(\btext\b)"), "citext");
    cols = std::regex_replace(cols, std::regex(R"(\breal\b)"), "double precision");
    cols = std::regex_replace(cols, std::regex(R"(\binteger\b)"), "bigint");
    std::string name;
    for (const char c : table)
        name += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    std::string sql = "create table \"" + name + "\" (" + cols + ", " + kServerRowId
                      + " bigint generated always as identity primary key);";
    // The names as written, noted where the server database keeps them.
    std::size_t from = 0;
    while (from < columns.size()) {
        std::size_t end = columns.find(',', from);
        if (end == std::string::npos)
            end = columns.size();
        std::smatch m;
        const std::string part = columns.substr(from, end - from);
        if (std::regex_search(part, m, std::regex(R"(^\s*\[?([^\s\]]+))"))) {
            std::string lower;
            for (const char c : m[1].str())
                lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            sql += "comment on column \"" + name + "\".\"" + lower + "\" is '" + m[1].str() + "';";
        }
        from = end + 1;
    }
    return sql;
}

} // namespace jet::testing
