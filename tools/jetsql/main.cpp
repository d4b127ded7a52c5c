// jetsql --database PATH "STATEMENT"
//
// Runs one Jet-dialect statement through the data-access layer, exactly as
// the program would: a result set is printed as tab-separated text with a
// header line of column names; any other statement prints the number of
// rows it changed.
#include "app/core/DatabaseLocation.h"
#include "app/core/Session.h"
#include "db/ServerSchema.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Value.h"
#include "platform/text/Text.h"

#include <iostream>
#include <iterator>
#include <optional>
#include <string>

namespace {

constexpr const char* usageText =
    "Usage: jetsql --database PATH [STATEMENT]\n"
    "       jetsql --program-folder DIR [STATEMENT]\n"
    "\n"
    "Runs one Jet-dialect SQL statement on the database file PATH (or the\n"
    "server database \"Server=HOST;Database=NAME;...\") through the\n"
    "program's data-access layer. With --program-folder the database is found\n"
    "as the program installed in DIR finds it (its QTMV.DSN file, else DIR\n"
    "itself). Without STATEMENT the statement is read from standard input.\n"
    "\n"
    "A statement that returns rows prints them tab-separated, with a header\n"
    "line of column names (nulls empty; tabs, line feeds and carriage returns\n"
    "inside values shown as \\t, \\n and \\r). Any other statement prints the\n"
    "number of rows it changed.\n"
    "\n"
    "Exit status: 0 success, 1 database error (described on standard error),\n"
    "2 wrong arguments.\n";


struct Options {
    std::string database;       // --database PATH
    std::string programFolder;  // --program-folder DIR
    std::optional<std::string> statement;
};

enum class Parsed { Run, Help, Wrong };

Parsed ParseArguments(int argc, char** argv, Options& o, std::string& problem)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (!optionsEnded && (a == "-h" || a == "--help"))
            return Parsed::Help;
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a == "--database") {
            if (i + 1 >= argc) {
                problem = "--database needs a path";
                return Parsed::Wrong;
            }
            o.database = argv[++i];
        } else if (!optionsEnded && a.rfind("--database=", 0) == 0) {
            o.database = a.substr(11);
        } else if (!optionsEnded && a == "--program-folder") {
            if (i + 1 >= argc) {
                problem = "--program-folder needs a folder";
                return Parsed::Wrong;
            }
            o.programFolder = argv[++i];
        } else if (!optionsEnded && a.rfind("--program-folder=", 0) == 0) {
            o.programFolder = a.substr(17);
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            problem = "unknown option " + a;
            return Parsed::Wrong;
        } else if (!o.statement) {
            o.statement = a;
        } else {
            problem = "only one statement may be given";
            return Parsed::Wrong;
        }
    }
    if (o.database.empty() == o.programFolder.empty()) {
        problem = o.database.empty() ? "no database given (--database PATH or --program-folder DIR)"
                                     : "give either --database or --program-folder, not both";
        return Parsed::Wrong;
    }
    return Parsed::Run;
}

// The connection string for the options: the given file, or the one the
// program in the given folder would use.
std::string ConnectionString(const Options& o)
{
    if (!o.database.empty())
        return jet::ServerAddressOf(o.database).host.empty() ? qtmv::ConnectionStringFor(o.database) : o.database;
    qtmv::HostInfo host = qtmv::CurrentHost();
    host.programFolder = o.programFolder;
    if (host.programFolder.back() != '/')
        host.programFolder += '/';
    qtmv::Session s;
    const qtmv::LocatedDatabase where = qtmv::LocateDatabase(s, host);
    // As the program: a client's unusable DBQ line stops here, never the
    // program folder's database instead.
    if (!where.problem.empty())
        throw jet::Error(jet::Error::Kind::FileMissing, where.problem);
    if (!where.server.host.empty())
        return jet::ServerConnectionString(where.server);
    qtmv::BuildConnectionString(s);
    return s.ConnectionString;
}

std::string Shown(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        switch (c) {
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

int Run(const std::string& connection, const std::string& statement)
{
    jet::Connection conn;
    conn.open(connection);
    jet::Recordset rs;
    rs.open(statement, conn, jet::CursorLocation::Server, jet::CursorType::ForwardOnly, jet::LockType::ReadOnly);
    if (!rs.isOpen()) {
        std::cout << rs.recordsAffected() << '\n';
        return 0;
    }
    const int n = rs.fieldCount();
    std::string line;
    for (int i = 0; i < n; ++i) {
        if (i)
            line += '\t';
        line += Shown(rs.fieldName(i));
    }
    std::cout << line << '\n';
    for (; !rs.eof(); rs.moveNext()) {
        line.clear();
        for (int i = 0; i < n; ++i) {
            if (i)
                line += '\t';
            line += Shown(rs.field(i).text());
        }
        std::cout << line << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    jet::SetServerWriteLockKey(qtmv::db::kServerWriteLockKey);
    Options o;
    std::string problem;
    switch (ParseArguments(argc, argv, o, problem)) {
    case Parsed::Help: std::cout << usageText; return 0;
    case Parsed::Wrong: std::cerr << "jetsql: " << problem << "\n\n" << usageText; return 2;
    case Parsed::Run: break;
    }
    std::string statement;
    if (o.statement)
        statement = *o.statement;
    else
        statement.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    if (qtmv::Trim(statement).empty()) {
        std::cerr << "jetsql: no statement given\n\n" << usageText;
        return 2;
    }
    try {
        return Run(ConnectionString(o), statement);
    } catch (const jet::Error& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
