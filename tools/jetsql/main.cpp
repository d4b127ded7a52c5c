// jetsql --database PATH "STATEMENT"
//
// Runs one Jet-dialect statement through the data-access layer, exactly as
// the program would: a result set is printed as tab-separated text with a
// header line of column names; any other statement prints the number of
// rows it changed.
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Value.h"

#include <iostream>
#include <iterator>
#include <optional>
#include <string>

namespace {

constexpr const char* usageText =
    "Usage: jetsql --database PATH [STATEMENT]\n"
    "\n"
    "Runs one Jet-dialect SQL statement on the database file PATH through the\n"
    "program's data-access layer. Without STATEMENT the statement is read from\n"
    "standard input.\n"
    "\n"
    "A statement that returns rows prints them tab-separated, with a header\n"
    "line of column names (nulls empty; tabs, line feeds and carriage returns\n"
    "inside values shown as \\t, \\n and \\r). Any other statement prints the\n"
    "number of rows it changed.\n"
    "\n"
    "Exit status: 0 success, 1 database error (described on standard error),\n"
    "2 wrong arguments.\n";

constexpr const char* databasePassword = "kvoz2851kvoz2851";

struct Options {
    std::string database;  // --database PATH
    std::optional<std::string> statement;
};

enum class Parsed { Run, Help, Wrong };

Parsed parseArguments(int argc, char** argv, Options& o, std::string& problem)
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
    // Further ways to find the database (the program folder, located as the
    // program itself does) are checked here, alongside --database.
    if (o.database.empty()) {
        problem = "no database given (--database PATH)";
        return Parsed::Wrong;
    }
    return Parsed::Run;
}

// The database file the options name.
std::string databasePath(const Options& o) { return o.database; }

std::string connectionString(const std::string& path)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Jet OLEDB:Database Password="
        + databasePassword;
}

std::string shown(const std::string& s)
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

int run(const std::string& database, const std::string& statement)
{
    jet::Connection conn;
    conn.open(connectionString(database));
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
        line += shown(rs.fieldName(i));
    }
    std::cout << line << '\n';
    for (; !rs.eof(); rs.moveNext()) {
        line.clear();
        for (int i = 0; i < n; ++i) {
            if (i)
                line += '\t';
            line += shown(rs.field(i).text());
        }
        std::cout << line << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    std::string problem;
    switch (parseArguments(argc, argv, o, problem)) {
    case Parsed::Help: std::cout << usageText; return 0;
    case Parsed::Wrong: std::cerr << "jetsql: " << problem << "\n\n" << usageText; return 2;
    case Parsed::Run: break;
    }
    std::string statement;
    if (o.statement)
        statement = *o.statement;
    else
        statement.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    if (jet::trim(statement).empty()) {
        std::cerr << "jetsql: no statement given\n\n" << usageText;
        return 2;
    }
    try {
        return run(databasePath(o), statement);
    } catch (const jet::Error& e) {
        std::cerr << e.description() << '\n';
        return 1;
    }
}
