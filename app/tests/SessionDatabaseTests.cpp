// Start-up settings, the maintenance lock, the function register and
// launching other programs, against a fresh database.
#include "app/core/CommandLine.h"
#include "app/core/DatabaseLocation.h"
#include "app/core/Launch.h"
#include "app/core/Locks.h"
#include "app/core/Rights.h"
#include "app/core/SessionSettings.h"
#include "app/core/StartupWaits.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Backend.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "platform/jet/tests/TempDatabase.h"
#include "platform/os/Host.h"
#include "platform/os/Log.h"
#include "platform/os/testing/TempLog.h"
#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <fstream>
#include <thread>

using namespace qtmv;
using qtmv::db::test::FreshDatabase;
using jet::testing::LockHolder;

namespace {

constexpr const char* kSettingsTitle = "取得系統相關設定資料錯誤";
// 王大明 (A001) started from the launcher.
constexpr const char* kLaunchLine = "-kvo2851 -AD= -NAME=王大明 -ID=A001 -XLS=.xls -DOC=.doc -PID=9";

// Started with `commandLine` on PC1 by admin, from `folder`, which also
// holds the user's home, when one is given.
StartupEnvironment Environment(const std::string& commandLine, const std::string& folder = "")
{
    StartupEnvironment env;
    env.commandLine = commandLine;
    env.host = {"PC1", "admin", folder, folder.empty() ? "" : folder + "home"};
    return env;
}

void AddEmployee(FreshDatabase& db, const std::string& id, const std::string& name, const std::string& leftOn)
{
    db.exec("insert into [EMPLOYEE] (ID, NAME, ODATE, [GROUP], GROUP1, GROUP19, 分機代號) values ('" + id + "', '"
            + name + "', " + (leftOn.empty() ? std::string("null") : "'" + leftOn + "'")
            + ", ' G" + id + " ', null, 'Z" + id + " ', ' 12" + id + " ')");
}

std::string ReadFile(const std::string& path, int waitMs = 0)
{
    for (int waited = 0; waited < waitMs && !QFileInfo::exists(QString::fromStdString(path)); waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<missing>");
}

// The one message shown, which has this title.
MessageRequest One(const ScriptedMessages& m, const std::string& title)
{
    EXPECT_EQ(m.shown().size(), 1u);
    if (m.shown().empty())
        return {};
    EXPECT_EQ(m.shown()[0].title, title);
    return m.shown()[0];
}

// `text` holds `part`; a failure shows the whole text.
::testing::AssertionResult Has(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

using Texts = std::vector<std::string>;

// Start-up has already waited all but a moment of its wait budget: the test
// sees the budget run out without waiting seconds for it.
void SpendStartupWaitsButAMoment()
{
    jet::BusyWaitSpent(std::chrono::milliseconds(kStartupWaitBudgetMs - 50));
}

// Every wait came out of start-up's budget, and it is spent.
bool StartupBudgetSpent() { return jet::BusyWaitAllowed(std::chrono::seconds(10)) == std::chrono::nanoseconds(0); }

// The settings LoadSessionSettings fills, in one list so a test states them at once.
Texts Fields(const Session& s)
{
    return {s.LoginUser,       s.EmployeeName,    s.EmployeeId,   s.ExcelExtension,  s.WordExtension,
            s.RightsGroups[0], s.RightsGroups[1], s.RightsGroups[7], s.RightsGroups[19], s.PhoneExtension,
            s.CompanyName,     s.CompanyName1,    s.CompanyName2, s.WorkOrderRights, s.ProductionRights,
            s.ExcelFolder};
}

// A fresh database and its session, every message captured.
class OnFreshDatabase : public ::testing::Test {
protected:
    FreshDatabase db;
    Session& s = db.session();
    ScriptedMessages messages;
};
class SessionSettings : public OnFreshDatabase {};
class MaintenanceLock : public OnFreshDatabase {};
class FunctionRegister : public OnFreshDatabase {};
class GroupFilter : public OnFreshDatabase {};

} // namespace

TEST_F(SessionSettings, LauncherLineOrWithoutItTheAdministratorFillsUserGroupsCompanyRightsAndExcelFolder)
{
    AddEmployee(db, "A001", "王大明", "");
    db.exec("insert into [COMPANY] (COMPANY) values (' 聿禾印刷 ')");
    db.exec("insert into [COMPANY2] (COMPANY) values ('二廠')");
    db.exec("insert into [使用者資料明細] (使用者, 工單作業細部, 生產管理細部) values ('王大明', '10', '000000000001')");
    db.exec("insert into [SYSLOAD] (ID, COMPUTER, EXCEL) values ('PC1\\admin', 'PC1', '/srv/excel/'), "
            "('PC1\\admin', 'PC2', '/wrong/')");

    s.RightsGroups[7] = "stale";
    ASSERT_TRUE(LoadSessionSettings(s, true, Environment(std::string("  ") + kLaunchLine + "  ")));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(s.LauncherProcessId, 9);
    EXPECT_EQ(Fields(s), (Texts{"", "王大明", "A001", ".xls", ".doc", "GA001", "", "", "ZA001", "12A001", "聿禾印刷", "",
                               "二廠", "10", "000000000001", "/srv/excel/"}));

    // Without the token the administrator still employed is chosen.
    db.exec("insert into [使用者資料] (使用者, 管理者) values ('小李', 'N'), (' 老闆 ', 'Y')");
    AddEmployee(db, "E1", "老闆", "1120101");
    AddEmployee(db, "E2", "老闆", "");
    AddEmployee(db, "E3", "小李", "");
    Session started;
    started.ConnectionString = s.ConnectionString;
    ASSERT_TRUE(LoadSessionSettings(started, true, Environment("")));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(Fields(started), (Texts{"老闆", "老闆", "E2", ".xlsx", ".docx", "GE2", "", "", "ZE2", "12E2", "聿禾印刷", "",
                                     "二廠", "", "", ""}));
}

TEST_F(SessionSettings, MissingNameKeyIsReportedAndStopsLoading)
{
    QTemporaryDir logs;
    const QString logFile = QString::fromStdString(log::Open(logs.path().toStdString(), kLogFileName));
    db.exec("insert into [COMPANY] (COMPANY) values ('公司')");
    EXPECT_FALSE(LoadSessionSettings(s, true, Environment("-kvo2851 -AD=admin -ID=A001 -XLS=x -DOC=y -PID=1")));
    log::Close();
    const MessageRequest said = One(messages, kSettingsTitle);
    EXPECT_EQ(said.icon, MsgIcon::Critical);
    EXPECT_EQ(s.CompanyName, ""); // loading stopped at the error
    // Nothing was read, and a new start from the launcher is what reads it.
    EXPECT_TRUE(said.text.starts_with("啟動參數錯誤：「-AD=」之後找不到「-NAME=」\n已讀取的設定：無\n"
                                      "沒有讀取的設定：使用者身分、員工群組與分機、公司名稱、使用者權限、Excel 匯出資料夾\n"
                                      "程式繼續執行；沒有讀取的設定要由系統選單重新啟動本程式才會讀取。"))
        << said.text;
    // The log names the kind of failure in words.
    const QStringList lines = test::LogLines(logFile);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("\t引數錯誤：啟動參數錯誤：「-AD=」之後找不到「-NAME=」")) << lines[0].toStdString();
}

TEST_F(SessionSettings, RightsCountOnlyWhenUserAndRightsWereEstablishedAndQuotesDoNotBreakTheStatements)
{
    AddEmployee(db, "A001", "王大明", "");
    db.exec("insert into [使用者資料明細] (使用者, 生產管理細部) values ('王大明', '000000000001')");
    const std::pair<const char*, bool> lines[] = {
        {kLaunchLine, true},
        // A signed-in user without a rights row is an administrator, not held to flags.
        {"-kvo2851 -AD=陳某 -NAME=陳某 -ID=X9 -XLS=.xls -DOC=.doc -PID=9", true},
        // Malformed lines: no -PID=, cut after -ID=, cut after the token.
        {"-kvo2851 -AD=王大明 -NAME=王大明 -ID=A001 -XLS=.xls -DOC=.doc", false},
        {"-kvo2851 -AD=王大明 -NAME=王大明 -ID=A001", false},
        {"-kvo2851", false},
        // A user nobody gave rights to is not "unrestricted".
        {"-kvo2851 -AD= -NAME=陳某 -ID=X9 -XLS=.xls -DOC=.doc -PID=9", false},
    };
    for (const auto& [line, established] : lines) {
        Session t = db.session();
        t.RightsEstablished = true;   // left over from nothing: start-up decides
        LoadSessionSettings(t, true, Environment(line));
        EXPECT_EQ(t.RightsEstablished, established) << line;
        EXPECT_EQ(t.RightsProblem.empty(), established) << line;
    }

    // Quotes in values do not break the statements.
    messages.clear();
    AddEmployee(db, "O''K", "O''Neil", "");
    db.exec("insert into [使用者資料明細] (使用者, 工單作業細部, 生產管理細部) values ('O''Neil', '1', '2')");
    EXPECT_TRUE(LoadSessionSettings(s, true, Environment("-kvo2851 -AD=a -NAME=O'Neil -ID=O'K -XLS=x -DOC=y -PID=1")));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(s.RightsGroups[0], "GO'K");
    EXPECT_EQ(s.WorkOrderRights, "1");
}

// Reading stops at the table that fails: what came before it is read and said so.
TEST_F(SessionSettings, AFailureHalfWayNamesWhatWasReadAndWhatWasNot)
{
    AddEmployee(db, "A001", "王大明", "");
    db.exec("insert into [COMPANY] (COMPANY) values ('聿禾印刷')");
    db.exec("drop table [使用者資料明細]");
    EXPECT_FALSE(LoadSessionSettings(s, true, Environment(kLaunchLine)));
    EXPECT_EQ(s.CompanyName, "聿禾印刷");
    EXPECT_TRUE(Has(One(messages, kSettingsTitle).text,
                    "\n已讀取的設定：使用者身分、員工群組與分機、公司名稱\n沒有讀取的設定：使用者權限、Excel 匯出資料夾\n"
                    "程式繼續執行；使用者權限會在儲存前再讀取，其餘要在資料庫可以使用後重新啟動本程式才會讀取。"));
}

TEST_F(SessionSettings, InitSessionLocatesTheDatabaseAndAMissingOrForeignFileIsReportedNotFatal)
{
    Session started;
    InitSession(started, true, Environment("", db.folder()));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(started.ConnectionString, s.ConnectionString);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(started.TempFolder + "QTMV.TXT")));
    EXPECT_EQ(started.ExcelFolder, db.folder() + "home/");

    // A missing or foreign database file is reported, not fatal.
    s.DatabaseFolder = db.folder() + "nowhere/";
    BuildConnectionString(s);
    EXPECT_FALSE(LoadSessionSettings(s, true, Environment("-kvo2851 -AD=a -NAME=b -ID=c -XLS=d -DOC=e -PID=1")));
    // Who the user is comes from the launch line; nothing else was read.
    const std::string said = One(messages, kSettingsTitle).text;
    EXPECT_TRUE(Has(said, "\n已讀取的設定：使用者身分\n沒有讀取的設定：員工群組與分機、公司名稱、使用者權限、Excel 匯出資料夾\n"
                          "程式繼續執行；使用者權限會在儲存前再讀取，其餘要在資料庫可以使用後重新啟動本程式才會讀取。"));
    EXPECT_FALSE(Has(said, "已經讀取的設定繼續執行"));

    messages.clear();
    QDir().mkpath(QString::fromStdString(s.DatabaseFolder));
    std::ofstream(s.DatabaseFolder + "QTMV.mdb") << "Standard Jet DB, or anything else that is not ours";
    std::vector<bool> busy;
    StartupEnvironment busyEnv = Environment("");
    busyEnv.setBusy = [&busy](bool b) { busy.push_back(b); };
    Session anonymous; // started without the launcher: no user is known
    anonymous.ConnectionString = s.ConnectionString;
    EXPECT_FALSE(LoadSessionSettings(anonymous, true, busyEnv));
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(Has(One(messages, kSettingsTitle).text,
                    "\n已讀取的設定：無\n沒有讀取的設定：使用者身分、員工群組與分機、公司名稱、使用者權限、Excel 匯出資料夾\n"
                    "程式繼續執行；沒有讀取的設定要在資料庫可以使用後重新啟動本程式才會讀取。"));
}

// A client workstation (SITE=C) works in the DSN's folder or not at all.
class ClientWorkstation : public ::testing::Test {
protected:
    void SetUp() override
    {
        local.exec("insert into [COMPANY] (COMPANY) values ('本機')");
        env = Environment("", local.folder());
    }
    void writeDsn(const std::string& text)
    {
        std::ofstream(local.folder() + kDsnFileName, std::ios::binary | std::ios::trunc) << text;
    }
    FreshDatabase local;   // the program folder's own database
    FreshDatabase shared;  // the one on the file share
    StartupEnvironment env;
    Session s;
};

// A client's database that cannot be opened, or a database server that
// cannot be reached (at every site), is told by name and ends start-up: no
// other database is used instead.
TEST_F(ClientWorkstation, DatabaseThatCannotBeOpenedIsToldAndNoOtherIsUsed)
{
    QDir().mkpath(QString::fromStdString(shared.folder() + "folder/QTMV.mdb"));
    const std::string server = "SERVER=" + shared.folder() + "no-server\nPORT=5999\nDATABASE=qtmv\n";
    const std::pair<std::string, std::string> cases[] = {
        {"SITE=C\nDBQ=" + shared.folder() + "missing/QTMV.MDB\n", shared.folder() + "missing/QTMV.mdb"},
        {"SITE=C\nDBQ=" + shared.folder() + "folder/QTMV.MDB\n", shared.folder() + "folder/QTMV.mdb"},
        // A DBQ line that names no folder: the DSN file is named.
        {"SITE=C\nDBQ=" + shared.folder() + "QTMV.BAK\n", local.folder() + kDsnFileName},
        {"SITE=C\n" + server, shared.folder() + "no-server:5999/qtmv"},
        {"SITE=S\n" + server, shared.folder() + "no-server:5999/qtmv"},
    };
    for (const auto& [dsn, where] : cases) {
        SCOPED_TRACE(dsn);
        writeDsn(dsn);
        ScriptedMessages messages;
        Session t;
        EXPECT_FALSE(InitSession(t, true, env));
        const MessageRequest said = One(messages, "錯誤");
        EXPECT_EQ(said.icon, MsgIcon::Critical);
        EXPECT_TRUE(Has(said.text, where + "\n"));
        EXPECT_TRUE(Has(said.text, "不會改用其他資料庫"));
        EXPECT_EQ(t.CompanyName, ""); // the program folder's database was not read
        // The log keeps what the message said once it is answered.
        const QStringList logged = test::LogLines(QString::fromStdString(log::Path()));
        const std::string last = logged.isEmpty() ? log::Path() + " is empty" : logged.last().toStdString();
        EXPECT_TRUE(Has(last, where));
        EXPECT_TRUE(Has(last, "不會改用其他資料庫"));
        // A server's password comes from the user's ~/.pgpass, never the DSN.
        if (dsn.find("SERVER=") != std::string::npos) {
            EXPECT_EQ(t.ConnectionString.find("Password"), std::string::npos);
        }
    }
    log::Close();
}

TEST_F(ClientWorkstation, BusySharedDatabaseIsNoReasonToStop)
{
    writeDsn("SITE=C\nDBQ=" + shared.folder() + "QTMV.MDB\n");
    LockHolder exclusive(shared.path(), "BEGIN EXCLUSIVE");
    ScriptedMessages messages;
    BeginStartupWaits({});
    SpendStartupWaitsButAMoment();
    EXPECT_TRUE(InitSession(s, true, env));
    EXPECT_TRUE(StartupBudgetSpent());
    EndStartupWaits(s);
    // Only the settings could not be read: told once, at the end of
    // start-up, saying why and where.
    const std::string said = One(messages, "警告").text;
    EXPECT_TRUE(Has(said, "「" + shared.path() + "」"));
    EXPECT_TRUE(Has(said, "\n・以下設定沒有讀取：使用者身分、員工群組與分機、公司名稱、使用者權限、Excel 匯出資料夾；"
                          "請稍後重新開啟本程式。"));

    // Launched with a complete line: the rights are unknown because of the
    // database, not because of the line.
    StartupEnvironment launched = env;
    launched.commandLine = kLaunchLine;
    Session t;
    BeginStartupWaits({});
    EXPECT_TRUE(InitSession(t, true, launched));
    EndStartupWaits(t);
    EXPECT_FALSE(t.RightsEstablished);
    EXPECT_EQ(t.RightsProblem, "讀取使用者「王大明」的權限資料時發生錯誤。");
    // Once the other workstation is done, the first save reads the rights.
    exclusive.exec("insert into [使用者資料明細] (使用者, 生產管理細部) values ('王大明', '0')");
    exclusive.exec("COMMIT");
    EXPECT_FALSE(EditRefused(t));
    EXPECT_TRUE(t.RightsEstablished);
}

// The holder's row on both engines, and the register: CoordinationEnginesTest.
TEST_F(MaintenanceLock, AStaleHolderIsClearedANullOneLocksAndAnUnusableDatabaseIsToldByName)
{
    s.MaintenanceHolder = "old";
    EXPECT_EQ(CheckMaintenanceLock(s), MaintenanceFree);
    EXPECT_EQ(s.MaintenanceHolder, "");

    db.exec("insert into [SYSLOCK] ([USER]) values (null)");
    EXPECT_EQ(CheckMaintenanceLock(s), MaintenanceLocked);
    const MessageRequest locked = One(messages, "系統維護");
    EXPECT_EQ(locked.text, "\n\n正在維護軟體中，請稍後再登入！");
    EXPECT_EQ(locked.icon, MsgIcon::Critical);

    // A database that cannot be used gives up the operation, told once by
    // name; a busy one is given up without a word.
    messages.clear();
    std::ofstream(db.path(), std::ios::trunc) << "this is not a database file at all........";
    EXPECT_EQ(CheckMaintenanceLock(s), MaintenanceUnknown);
    const std::string said = One(messages, kUnreachableDatabaseTitle).text;
    EXPECT_TRUE(Has(said, db.path()));
    EXPECT_TRUE(Has(said, "沒有讀取也沒有寫入"));
    EXPECT_EQ(UnreachableDatabaseText(s, jet::Error(jet::Error::Kind::Busy, "資料庫忙碌中")), "");
    // The register swallows it: nothing to stop the program for.
    EXPECT_TRUE(RegisterFunctionUse(s, "PC1\\admin", static_cast<double>(os::CurrentProcessId()), 1, kApplicationTitle));
    UnregisterFunctionUse(s, "PC1\\admin", "", true);
}

// Another workstation writing at start-up: the registration waits only the
// start-up budget, the user is told once when start-up ends, and the next
// guarded operation (its maintenance check) registers after all.
TEST_F(FunctionRegister, BusyAtStartupIsToldOnceAndRetriedByTheNextCheck)
{
    s.LauncherProcessId = static_cast<double>(os::CurrentProcessId());
    s.MainWindowHandle = 4321;
    std::vector<bool> notices;
    {
        LockHolder writer(db.path(), "BEGIN IMMEDIATE");
        BeginStartupWaits([&notices](bool waiting) { notices.push_back(waiting); });
        SpendStartupWaitsButAMoment();
        RegisterMainWindow(s);
        EXPECT_TRUE(StartupBudgetSpent());
        EXPECT_TRUE(s.FunctionRegistrationPending);
        EXPECT_TRUE(messages.shown().empty());
        EndStartupWaits(s);
        EXPECT_EQ(One(messages, "警告").text,
                  "資料庫忙碌中（其他工作站正在使用「" + db.path()
                      + "」），以下工作沒有完成：\n\n・本工作站尚未登記使用本功能，稍後存取資料時會再登記。");
        EXPECT_EQ(notices, (std::vector<bool>{true, false}));

        // Still held: the check goes on, the registration stays pending,
        // nothing more is said. A spent budget stands in for the retry's
        // second of waiting.
        jet::SetBusyWaitBudget(std::chrono::milliseconds(0));
        EXPECT_EQ(CheckMaintenanceLock(s), MaintenanceFree);
        jet::ClearBusyWaitBudget();
        EXPECT_TRUE(s.FunctionRegistrationPending);
        EXPECT_EQ(messages.shown().size(), 1u);
    }
    EXPECT_EQ(db.count("select * from SYSUSER1"), 0);
    EXPECT_EQ(CheckMaintenanceLock(s), MaintenanceFree);
    EXPECT_FALSE(s.FunctionRegistrationPending);
    EXPECT_EQ(db.value("select LPID from SYSUSER1 where ID = 'PC1\\admin' and FUNC = '日報登錄作業'"), "4321");
    EXPECT_EQ(messages.shown().size(), 1u);
}

// A row matches when any of its twenty group columns holds any of the user's
// groups; the filter continues the caller's own condition.
TEST_F(GroupFilter, AnyGroupColumnHoldingAnyOfTheUsersGroupsMatches)
{
    db.exec("insert into CUST (ID, [GROUP], GROUP7, GROUP19) values ('C1', 'G1', '', ''), ('C2', '', 'O''K', ''), "
            "('C3', '', '', 'G1'), ('C4', 'G2', 'X', 'OK'), ('C5', 'G2', '', '')");
    auto ids = [&](const std::string& prefix) {
        const std::string table = prefix.empty() ? "CUST" : "CUST " + prefix;
        Texts out;
        for (const auto& row : db.rows("select ID from " + table + " where ID = 'C4'" + BuildGroupFilter("", prefix, s)
                                       + " order by ID"))
            out.push_back(row[0]);
        return out;
    };
    EXPECT_EQ(ids("C"), Texts{"C4"});
    s.RightsGroups[0] = "G1";
    s.RightsGroups[5] = "O'K";
    EXPECT_EQ(ids("C"), (Texts{"C1", "C2", "C3", "C4"}));
    EXPECT_EQ(ids(""), (Texts{"C1", "C2", "C3", "C4"}));
}

class Launching : public OnFreshDatabase {
protected:
    void SetUp() override
    {
        CutLaunchParameters("-kvo2851 -AD=王 大明 -NAME=王大明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=4242", s);
    }
    // A program that writes its folder and arguments, one a line, to args.txt.
    void writeRecorder(const std::string& name)
    {
        const std::string path = db.folder() + name;
        std::ofstream(path) << "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \""
                            << db.folder() << "args.tmp\" && mv \"" << db.folder() << "args.tmp\" \"" << db.folder()
                            << "args.txt\"\n";
        QFile::setPermissions(QString::fromStdString(path),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    int ended = 0;
    EndProgramAction end = [this] { ++ended; };
};

TEST_F(Launching, StartsTheProgramDetachedOrStartsNothingWhenItCannot)
{
    writeRecorder("報表程式");
    EXPECT_EQ(LaunchProgram(s, "報表程式.EXE", end), LaunchResult::Started);
    EXPECT_EQ(ReadFile(db.folder() + "args.txt", 5000),
              db.folder().substr(0, db.folder().size() - 1)
                  + "\n-kvo2851\n-AD=王 大明\n-NAME=王大明\n-ID=A001\n-XLS=.xlsx\n-DOC=.docx\n-PID=4242\n");
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(ended, 0);

    // A missing program is told; under maintenance nothing is tried (a missing
    // program is not told as missing) and the program ends; a database that
    // cannot be used starts nothing.
    EXPECT_EQ(LaunchProgram(s, "不存在.EXE", end), LaunchResult::Failed);
    const MessageRequest missing = One(messages, "錯誤");
    EXPECT_EQ(missing.icon, MsgIcon::Critical);
    EXPECT_TRUE(Has(missing.text, db.folder() + "不存在"));

    messages.clear();
    db.exec("insert into [SYSLOCK] ([USER]) values ('PC1\\ADMIN')");
    EXPECT_EQ(LaunchProgram(s, "不存在", end), LaunchResult::Ended);
    EXPECT_EQ(ended, 1);
    One(messages, "系統維護");

    // What the message says: the maintenance lock's test.
    messages.clear();
    std::ofstream(db.path(), std::ios::trunc) << "garbage garbage garbage garbage garbage";
    EXPECT_EQ(LaunchProgram(s, "報表程式", end), LaunchResult::Abandoned);
    One(messages, kUnreachableDatabaseTitle);
    EXPECT_EQ(ended, 1);
}
