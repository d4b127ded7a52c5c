#include "db/testing/EngineFreshDatabase.h"

#include "db/Copy.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"

namespace qtmv::db::test {

EngineFreshDatabase::EngineFreshDatabase(Engine e)
{
    if (e == Engine::SQLite)
        file_ = std::make_unique<FreshDatabase>();
    else
        server_ = std::make_unique<ServerFreshDatabase>();
}

EngineFreshDatabase::EngineFreshDatabase(Engine e, const DatabaseMaker& make)
{
    file_ = std::make_unique<FreshDatabase>(make);
    if (e == Engine::Server) {
        server_ = std::make_unique<ServerFreshDatabase>(ServerFreshDatabase::Empty{});
        CopyDatabase(file_->connectionString(), server_->connectionString());
        file_.reset();
    }
}

EngineFreshDatabase::EngineFreshDatabase(Engine e, const DatabaseMaker& make, const std::string& key)
{
    if (e == Engine::SQLite) {
        file_ = std::make_unique<FreshDatabase>(make);
        return;
    }
    server_ = std::make_unique<ServerFreshDatabase>(key, [&](const std::string& connectionString) {
        FreshDatabase source(make);
        CopyDatabase(source.connectionString(), connectionString);
    });
}

std::string EngineFreshDatabase::native(const std::string& sql) const
{
    if (!server_)
        return sql;
    std::string out;
    bool literal = false, bracket = false;
    for (const char c : sql) {
        if (c == '\'' && !bracket) {
            literal = !literal;
            out += c;
        } else if (!literal && c == '[') {
            bracket = true;
            out += '"';
        } else if (bracket && c == ']') {
            bracket = false;
            out += '"';
        } else {
            out += bracket && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return out;
}

void EngineFreshDatabase::exec(const std::string& sql)
{
    server_ ? server_->exec(native(sql)) : file_->exec(sql);
}

std::string EngineFreshDatabase::value(const std::string& sql)
{
    if (!server_)
        return file_->value(sql);
    const std::string v = server_->scalar(native(sql));
    return v == "<none>" ? std::string() : v;
}

std::vector<std::vector<std::string>> EngineFreshDatabase::rows(const std::string& sql)
{
    if (!server_)
        return file_->rows(sql);
    jet::Connection c;
    c.open(server_->connectionString());
    std::vector<std::vector<std::string>> out;
    jet::Recordset rs;
    rs.open(sql, c);
    for (const auto& row : rs.rows()) {
        out.emplace_back();
        for (const auto& v : row)
            out.back().push_back(v.isNull() ? "<null>" : v.text());
    }
    return out;
}

long long EngineFreshDatabase::count(const std::string& sql)
{
    return std::stoll(value("select count(*) from (" + sql + ") as counted"));
}

} // namespace qtmv::db::test
