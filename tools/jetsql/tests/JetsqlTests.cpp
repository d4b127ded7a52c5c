// Runs the jetsql binary as a user would, on databases made here.
#include "platform/jet/tests/TempDatabase.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

using jet::testing::TempDatabase;

struct Outcome {
    int status = -1;
    std::string out, err;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) { *os << "exit " << o.status << "\n" << o.out << "\n" << o.err; }

std::string Quoted(const std::string& s)
{
    std::string q = "'";
    for (const char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Read(const std::filesystem::path& file)
{
    std::stringstream ss;
    ss << std::ifstream(file).rdbuf();
    return ss.str();
}

// The tool run on args with input as its standard input. A run that hangs
// ends after 20 seconds with status 124.
Outcome Jetsql(const TempDatabase& db, const std::vector<std::string>& args, const std::string& input = "")
{
    const auto in = db.dir() / "stdin.txt", out = db.dir() / "stdout.txt", err = db.dir() / "stderr.txt";
    std::ofstream(in) << input;
    std::string cmd = "timeout -k 2 20 " + Quoted(JETSQL_PATH);
    for (const std::string& a : args)
        cmd += " " + Quoted(a);
    const int status = std::system((cmd + " < " + Quoted(in) + " > " + Quoted(out) + " 2> " + Quoted(err)).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Read(out), Read(err)};
}

TEST(Jetsql, PrintsRowsAndRowsChangedAndFailsOnErrorsAndWrongArguments)
{
    TempDatabase db("create table [工單] (ID text, REM text, Q real);"
                    "insert into 工單 values ('A', 'a\tb\nc', 1.5), ('B', null, 2.0), ('C', 'O''Neil', 3);");
    EXPECT_EQ(Jetsql(db, {"--database", db.path(), "select top 2 ID, REM, Q from [工單] order by ID"}),
              (Outcome{0, "ID\tREM\tQ\nA\ta\\tb\\nc\t1.5\nB\t\t2\n", ""}));

    EXPECT_EQ(Jetsql(db, {"--database=" + db.path(), "update [工單] set REM = REM & '!' where Q >= 2"}),
              (Outcome{0, "2\n", ""}));
    EXPECT_EQ(db.scalar("select group_concat(REM, ',') from 工單 where Q >= 2"), "!,O'Neil!");

    EXPECT_EQ(Jetsql(db, {"--database", db.path()}, "select count(*) as n from [工單] where REM like '%neil%'\n"),
              (Outcome{0, "n\n1\n", ""}));

    // A database error exits 1 and says the error (a named pipe given as the
    // database is one, refused by the jet::Connection the tool opens it with:
    // ConnectionOpen.NamedPipesSocketsAndDevicesAreRefusedWithoutWaiting);
    // wrong arguments exit 2 with the usage.
    const Outcome bad = Jetsql(db, {"--database", db.path(), "select y from [工單]"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("no such column: y"), std::string::npos) << bad.err;

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"select 1"}, {"--database"}, {"--bogus", "x"}, {"--database", db.path(), "select 1", "select 2"},
             {"--database", db.path()}, {"--program-folder", db.dir().string(), "--database", db.path(), "select 1"}}) {
        const Outcome r = Jetsql(db, args);
        EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("Usage: jetsql"), std::string::npos) << r.err;
    }
    const Outcome help = Jetsql(db, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: jetsql"), std::string::npos);
}

// The database found as the installed program finds it, here on a client
// workstation: the DSN file's folder. (QTMV.mdb in the program folder,
// without one, is SessionSettings.InitSessionLocatesTheDatabaseAndSetsDefaults.)
TEST(Jetsql, ProgramFolderFindsTheDatabase)
{
    namespace fs = std::filesystem;
    TempDatabase db;
    const fs::path program = db.dir() / "program";
    const fs::path shared = db.dir() / "Shared Data";
    fs::create_directories(program);
    fs::create_directories(shared);
    TempDatabase other("create table T (x text); insert into T values ('share');");
    fs::copy_file(other.path(), shared / "QTMV.mdb");

    std::ofstream(program / "QTMV.DSN") << "[ODBC]\nSITE=C\nDBQ=" << (shared / "QTMV.MDB").string() << "\n";
    EXPECT_EQ(Jetsql(db, {"--program-folder=" + program.string(), "select x from [T]"}),
              (Outcome{0, "x\nshare\n", ""}));

    // A client whose DBQ line names no folder gets no database at all.
    std::ofstream(program / "QTMV.DSN") << "SITE=C\nDBQ=" << shared.string() << "/other.mdb\n";
    const Outcome r = Jetsql(db, {"--program-folder", program.string(), "select x from [T]"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find((program / "QTMV.DSN").string()), std::string::npos) << r.err;
}

} // namespace
