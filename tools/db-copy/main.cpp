// db-copy SOURCE TARGET
//
// Copies a suite database between an SQLite file and a PostgreSQL server
// database, either way, schema included, in one transaction; the row counts
// are compared before it is committed.
#include "db/Copy.h"
#include "db/ServerSchema.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "platform/jet/Postgres.h"
#include "platform/jet/Recordset.h"

#include <iostream>
#include <string>

namespace {

constexpr const char* usageText =
    "Usage: db-copy SOURCE TARGET\n"
    "\n"
    "Copies a daily-report database, schema and every table, from SOURCE to\n"
    "TARGET in one transaction and compares the row counts of every table\n"
    "before committing. Each of them is either the path of a database file\n"
    "(QTMV.mdb) or a database server, written as\n"
    "    \"Server=HOST;Port=5432;Database=NAME;User ID=USER\"\n"
    "(Port and User ID may be left out; HOST may be the folder of the server's\n"
    "Unix socket). The password comes from the user's ~/.pgpass, never from\n"
    "the command line. A TARGET file must not exist yet (it is written under\n"
    "a part name beside it and renamed when complete); a TARGET server\n"
    "database must exist and be empty. Nothing is overwritten. Make it with\n"
    "    createdb --locale=C --template=template0 NAME\n"
    "so that text ignores the case of A to Z as in a database file, and\n"
    "compares fast; another locale is told after the copy.\n"
    "\n"
    "Exit status: 0 copied, 1 failed (described on standard error, nothing\n"
    "written), 2 wrong arguments.\n";

// A server database whose locale is not C folds the case of letters beyond
// Latin ones (unlike a database file) and compares text several times more
// slowly (loading a grid takes about twice as long): told, not refused.
void TellServerLocale(const std::string& connectionString)
{
    jet::Connection c;
    c.open(connectionString);
    jet::Recordset rs;
    rs.open("select datctype as L from pg_database where datname = current_database()", c);
    const std::string locale = rs.eof() ? std::string() : rs.text("L");
    if (locale == "C" || locale == "POSIX")
        return;
    std::cerr << "db-copy: note: the server database has the locale " << locale
              << "; one made with \"createdb --locale=C --template=template0\" compares text as the database file "
                 "does, and faster.\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::string(argv[1]).rfind("-", 0) == 0) {
        std::cerr << usageText;
        return 2;
    }
    jet::SetServerWriteLockKey(qtmv::db::kServerWriteLockKey);
    try {
        long long total = 0;
        const auto tables = qtmv::db::CopyDatabase(qtmv::db::ConnectionStringOfArgument(argv[1]),
                                                   qtmv::db::ConnectionStringOfArgument(argv[2]));
        for (const auto& t : tables) {
            if (t.rows)
                std::cout << t.table << '\t' << t.rows << '\n';
            total += t.rows;
        }
        std::cout << "copied " << tables.size() << " tables, " << total << " rows\n";
        const std::string target = qtmv::db::ConnectionStringOfArgument(argv[2]);
        if (!jet::ServerAddressOf(target).host.empty())
            TellServerLocale(target);
        return 0;
    } catch (const jet::Error& e) {
        std::cerr << "db-copy: " << e.what() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "db-copy: " << e.what() << '\n';
    }
    return 1;
}
