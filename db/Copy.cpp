#include "db/Copy.h"

#include "db/Database.h"
#include "db/ServerSchema.h"
#include "platform/files/AtomicFile.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Postgres.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/text/Text.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>

namespace qtmv::db {

namespace {

constexpr int rowsPerStatement = 200;

std::string LiteralOf(const jet::Value& v, const std::string& where)
{
    if (v.isNull())
        return "null";
    if (const auto* i = v.integerIf())
        return std::to_string(*i);
    if (const auto* d = v.realIf()) {
        if (!std::isfinite(*d))
            throw jet::Error(jet::Error::Kind::General, where + "有無法複製的數值（無限大或非數值）。");
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", *d); // every bit of the double
        return buf;
    }
    return "'" + jet::SqlText(*v.textIf()) + "'";
}

long long CountOf(jet::Connection& c, const std::string& table)
{
    jet::Recordset rs;
    rs.open("select count(*) as N from [" + table + "] ", c);
    return static_cast<long long>(rs.field("N").number());
}

// A new server database holds no table of the suite yet.
void RequireEmpty(jet::Connection& to)
{
    jet::Recordset rs;
    rs.open("select count(*) as N from information_schema.tables where table_schema = current_schema()", to);
    if (rs.field("N").number() > 0)
        throw jet::Error(jet::Error::Kind::Usage, "資料庫伺服器上的資料庫「" + to.dataSource()
                                                      + "」已經有資料表，不會覆蓋；請指定一個新建的空白資料庫。");
}

// Identity keys copied with their values: the server numbers new rows after them.
void ResyncIdentities(jet::Connection& to)
{
    jet::Recordset rs;
    rs.open("select table_name as T, column_name as C from information_schema.columns where is_identity = 'YES' "
            "and table_schema = current_schema()",
            to);
    for (const auto& row : rs.rows()) {
        const std::string t = jet::QuoteIdentifier(row[0].text(), jet::Dialect::PostgreSQL);
        const std::string c = jet::QuoteIdentifier(row[1].text(), jet::Dialect::PostgreSQL);
        to.executeNative("select setval(pg_get_serial_sequence('" + jet::SqlText(t) + "', '" + jet::SqlText(row[1].text())
                         + "'), coalesce((select max(" + c + ") from " + t + "), 0) + 1, false)");
    }
}

// The columns of the schema's table that the source has. A database made
// before a column was added to the schema (the program adds it at start-up)
// lacks it: its rows take the column's default in the copy.
std::vector<std::string> SourceColumns(jet::Connection& source, const TableColumns& tc)
{
    jet::Recordset rs;
    rs.open("select * from [" + tc.table + "] where 1 = 0", source);
    std::set<std::string> has;
    for (int i = 0; i < rs.fieldCount(); ++i)
        has.insert(AsciiUpper(rs.fieldName(i)));
    std::vector<std::string> out;
    for (const std::string& c : tc.columns)
        if (has.count(AsciiUpper(c)))
            out.push_back(c);
    return out;
}

} // namespace

std::string ConnectionStringOfArgument(const std::string& argument)
{
    if (!jet::ServerAddressOf(argument).host.empty())
        return argument;
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + jet::QuoteConnectionValue(argument);
}

namespace {

// Copies every table from source into the database of `to` in one
// transaction; the target connection is closed again on return.
std::vector<CopiedTable> CopyTables(jet::Connection& source, const std::string& to, bool toServer)
{
    jet::Connection target;
    target.open(to);
    jet::Transaction t(target);
    if (toServer) {
        RequireEmpty(target);
        CreateServerSchema(target);
    }
    std::vector<CopiedTable> copied;
    for (const TableColumns& tc : SchemaTableColumns()) {
        const std::string where = "資料表「" + tc.table + "」";
        // Written in the target's own SQL: the rows need no translation.
        const jet::Dialect dialect = target.onServer() ? jet::Dialect::PostgreSQL : jet::Dialect::SQLite;
        std::string head = "insert into " + jet::QuoteIdentifier(tc.table, dialect) + " (";
        std::string select = "select ";
        const std::vector<std::string> columns = SourceColumns(source, tc);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            head += (i ? ", " : "") + jet::QuoteIdentifier(columns[i], dialect);
            select += (i ? ", [" : "[") + columns[i] + "]";
        }
        head += ") values ";
        // In the order the rows were written, so that a copy back is the same file.
        select += " from [" + tc.table + "] " + (source.onServer() ? "order by jet_rowid" : "order by rowid");
        jet::Recordset rs;
        rs.open(select, source, jet::CursorLocation::Server, jet::CursorType::ForwardOnly);
        std::string batch;
        int inBatch = 0;
        auto flush = [&] {
            if (inBatch)
                target.executeNative(head + batch);
            batch.clear();
            inBatch = 0;
        };
        for (; !rs.eof(); rs.moveNext()) {
            batch += inBatch ? ", (" : "(";
            for (int i = 0; i < rs.fieldCount(); ++i)
                batch += (i ? ", " : "") + LiteralOf(rs.field(i), where);
            batch += ")";
            if (++inBatch == rowsPerStatement)
                flush();
        }
        flush();
        const long long n = CountOf(source, tc.table);
        const long long written = CountOf(target, tc.table);
        if (n != written)
            throw jet::Error(jet::Error::Kind::General, where + "複製後的筆數不符（來源 " + std::to_string(n) + " 筆，"
                                                            + "寫入 " + std::to_string(written) + " 筆），沒有寫入任何資料。");
        copied.push_back({tc.table, n});
    }
    if (toServer) {
        ResyncIdentities(target);
        // The planner's statistics at once, from a small sample of each
        // table: without them it takes the new tables for nearly empty
        // and joins them row by row. The server's own autovacuum refines
        // them as the data changes.
        target.executeNative("set local default_statistics_target = 10");
        target.executeNative("analyze");
    }
    t.commit();
    return copied;
}

} // namespace

std::vector<CopiedTable> CopyDatabase(const std::string& from, const std::string& to)
{
    jet::Connection source;
    source.open(from);
    if (!jet::ServerAddressOf(to).host.empty())
        return CopyTables(source, to, true);

    // A file is copied into a part file beside it and renamed to it only
    // when complete: a copy that fails or is killed never leaves a file
    // under the target's name (which would make the next try refuse), and
    // the next copy or export to the folder removes the part it left.
    const std::string newFile = jet::DataSourceOf(to);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(newFile, ec)))
        throw jet::Error(jet::Error::Kind::Usage,
                         "The database file " + newFile + " already exists; it is not overwritten.");
    const auto cannotWrite = [&](const std::string& reason) {
        return jet::Error(jet::Error::Kind::Usage, "Cannot write the database file " + newFile + ": " + reason);
    };
    std::optional<files::AtomicFile> file;
    try {
        file.emplace(newFile, files::Existing::Refuse, [](const std::string& part) { CreateDatabase(part); });
    } catch (const Error& e) {
        throw jet::Error(jet::Error::Kind::Usage, e.what());
    } catch (const files::OutputError& e) {
        throw cannotWrite(e.what());
    }
    auto copied = CopyTables(source, ConnectionStringOfArgument(file->partPath()), false);
    try {
        file->commit();
    } catch (const files::OutputError& e) {
        throw cannotWrite(e.what());
    }
    return copied;
}

} // namespace qtmv::db
