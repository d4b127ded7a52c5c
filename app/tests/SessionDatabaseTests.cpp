// Start-up settings, the maintenance lock, the function register and
// launching other programs, against a fresh database.
#include "app/core/DatabaseLocation.h"
#include "app/core/Launch.h"
#include "app/core/Locks.h"
#include "app/core/Rights.h"
#include "app/core/SessionSettings.h"
#include "app/core/StartupWaits.h"
#include "common/CodeLists.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Backend.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "platform/jet/tests/TempDatabase.h"
#include "platform/os/Host.h"
#include "platform/os/Log.h"
#include "platform/os/testing/TempLog.h"
#include "platform/os/MessageBox.h"
#include "platform/os/tests/DeadProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace qtmv;
using qtmv::db::test::FreshDatabase;
using jet::testing::LockHolder;
using qtmv::os::test::DeadProcessId;

namespace {

constexpr const char* kSettingsTitle = "取得系統相關設定資料錯誤";

StartupEnvironment Environment(const std::string& commandLine)
{
    StartupEnvironment env;
    env.commandLine = commandLine;
    env.host.computerName = "PC1";
    env.host.userName = "admin";
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

// Exactly one message was shown, with this title (and text, when given).
void ExpectOne(const ScriptedMessages& m, const std::string& title, const std::string& text = {})
{
    ASSERT_EQ(m.shown().size(), 1u);
    EXPECT_EQ(m.shown()[0].title, title);
    if (!text.empty()) {
        EXPECT_EQ(m.shown()[0].text, text);
    }
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

// Start-up settings loaded from a fresh database, every message captured.
class SessionSettings : public ::testing::Test {
protected:
    FreshDatabase db;
    Session& s = db.session();
    ScriptedMessages messages;
};

} // namespace

TEST_F(SessionSettings, LauncherLineFillsUserGroupsCompanyRightsAndExcelFolder)
{
    AddEmployee(db, "A001", "王大明", "");
    db.exec("insert into [COMPANY] (COMPANY) values (' 聿禾印刷 ')");
    db.exec("insert into [COMPANY2] (COMPANY) values ('二廠')");
    db.exec("insert into [使用者資料明細] (使用者, 工單作業細部, 生產管理細部) values ('王大明', '10', '000000000001')");
    db.exec("insert into [SYSLOAD] (ID, COMPUTER, EXCEL) values ('PC1\\admin', 'PC1', '/srv/excel/')");
    db.exec("insert into [SYSLOAD] (ID, COMPUTER, EXCEL) values ('PC1\\admin', 'PC2', '/wrong/')");

    s.RightsGroups[7] = "stale";
    ASSERT_TRUE(LoadSessionSettings(
        s, true, Environment("  -kvo2851 -AD= -NAME=王大明 -ID=A001 -XLS=.xls -DOC=.doc -PID=99  ")));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(s.LauncherProcessId, 99);
    EXPECT_EQ(Fields(s), (Texts{"", "王大明", "A001", ".xls", ".doc", "GA001", "", "", "ZA001", "12A001", "聿禾印刷", "",
                               "二廠", "10", "000000000001", "/srv/excel/"}));
}

TEST_F(SessionSettings, WithoutTokenTheAdministratorStillEmployedIsChosen)
{
    db.exec("insert into [使用者資料] (使用者, 管理者) values ('小李', 'N')");
    db.exec("insert into [使用者資料] (使用者, 管理者) values (' 老闆 ', 'Y')");
    AddEmployee(db, "E1", "老闆", "1120101");
    AddEmployee(db, "E2", "老闆", "");
    AddEmployee(db, "E3", "小李", "");
    ASSERT_TRUE(LoadSessionSettings(s, true, Environment("")));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(Fields(s), (Texts{"老闆", "老闆", "E2", ".xlsx", ".docx", "GE2", "", "", "ZE2", "12E2", "", "", "", "", "",
                               ""}));
}

TEST_F(SessionSettings, MissingNameKeyIsReportedAndStopsLoading)
{
    QTemporaryDir logs;
    const QString logFile = QString::fromStdString(log::Open(logs.path().toStdString(), kLogFileName));
    db.exec("insert into [COMPANY] (COMPANY) values ('公司')");
    EXPECT_FALSE(LoadSessionSettings(s, true, Environment("-kvo2851 -AD=admin -ID=A001 -XLS=x -DOC=y -PID=1")));
    log::Close();
    ExpectOne(messages, kSettingsTitle);
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(s.CompanyName, ""); // loading stopped at the error
    // Nothing was read, and a new start from the launcher is what reads it.
    EXPECT_EQ(messages.shown()[0].text.rfind("啟動參數錯誤：「-AD=」之後找不到「-NAME=」\n"
                                             "已讀取的設定：無\n"
                                             "沒有讀取的設定：使用者身分、員工群組與分機、公司名稱、使用者權限、Excel 匯出資料夾\n"
                                             "程式繼續執行；沒有讀取的設定要由系統選單重新啟動本程式才會讀取。",
                                             0),
              0u)
        << messages.shown()[0].text;
    // The log names the kind of failure in words.
    const QStringList lines = test::LogLines(logFile);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("\t引數錯誤：啟動參數錯誤：「-AD=」之後找不到「-NAME=」")) << lines[0].toStdString();
}

TEST_F(SessionSettings, RightsCountOnlyWhenUserAndRightsWereEstablished)
{
    AddEmployee(db, "A001", "王大明", "");
    db.exec("insert into [使用者資料明細] (使用者, 生產管理細部) values ('王大明', '000000000001')");
    struct Case {
        const char* line;
        bool established;
    };
    for (const Case& c : {
             Case{"-kvo2851 -AD= -NAME=王大明 -ID=A001 -XLS=.xls -DOC=.doc -PID=9", true},
             Case{"-kvo2851 -AD=王大明 -NAME=王大明 -ID=A001 -XLS=.xls -DOC=.doc -PID=9", true},
             // Malformed lines: no -PID=, cut after -ID=, cut after the token.
             Case{"-kvo2851 -AD=王大明 -NAME=王大明 -ID=A001 -XLS=.xls -DOC=.doc", false},
             Case{"-kvo2851 -AD=王大明 -NAME=王大明 -ID=A001", false},
             Case{"-kvo2851", false},
             // A user nobody gave rights to is not "unrestricted".
             Case{"-kvo2851 -AD= -NAME=陳某 -ID=X9 -XLS=.xls -DOC=.doc -PID=9", false},
         }) {
        Session t = db.session();
        t.RightsEstablished = true;   // left over from nothing: start-up decides
        LoadSessionSettings(t, true, Environment(c.line));
        EXPECT_EQ(t.RightsEstablished, c.established) << c.line;
        EXPECT_EQ(t.RightsProblem.empty(), c.established) << c.line;
    }
}

TEST_F(SessionSettings, QuotesInValuesDoNotBreakTheStatements)
{
    AddEmployee(db, "O''K", "O''Neil", "");
    db.exec("insert into [使用者資料明細] (使用者, 工單作業細部, 生產管理細部) values ('O''Neil', '1', '2')");
    EXPECT_TRUE(LoadSessionSettings(s, true, Environment("-kvo2851 -AD=a -NAME=O'Neil -ID=O'K -XLS=x -DOC=y -PID=1")));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(s.RightsGroups[0], "GO'K");
    EXPECT_EQ(s.WorkOrderRights, "1");
}

TEST_F(SessionSettings, MissingOrForeignDatabaseFileIsReportedNotFatal)
{
    s.DatabaseFolder = db.folder() + "nowhere/";
    BuildConnectionString(s);
    EXPECT_FALSE(LoadSessionSettings(s, true, Environment("-kvo2851 -AD=a -NAME=b -ID=c -XLS=d -DOC=e -PID=1")));
    ExpectOne(messages, kSettingsTitle);
    // Who the user is comes from the launch line; nothing else was read.
    const std::string& said = messages.shown()[0].text;
    EXPECT_NE(said.find("\n已讀取的設定：使用者身分\n"
                        "沒有讀取的設定：員工群組與分機、公司名稱、使用者權限、Excel 匯出資料夾\n"
                        "程式繼續執行；使用者權限會在儲存前再讀取，其餘要在資料庫可以使用後重新啟動本程式才會讀取。"),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find("已經讀取的設定繼續執行"), std::string::npos) << said;

    messages.clear();
    QDir().mkpath(QString::fromStdString(s.DatabaseFolder));
    std::ofstream(s.DatabaseFolder + "QTMV.mdb") << "Standard Jet DB, or anything else that is not ours";
    std::vector<bool> busy;
    StartupEnvironment env = Environment("");
    env.setBusy = [&busy](bool b) { busy.push_back(b); };
    Session started; // started without the launcher: no user is known
    started.ConnectionString = s.ConnectionString;
    EXPECT_FALSE(LoadSessionSettings(started, true, env));
    ExpectOne(messages, kSettingsTitle);
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_NE(messages.shown()[0].text.find("\n已讀取的設定：無\n"
                                            "沒有讀取的設定：使用者身分、員工群組與分機、公司名稱、使用者權限、Excel 匯出資料夾\n"
                                            "程式繼續執行；沒有讀取的設定要在資料庫可以使用後重新啟動本程式才會讀取。"),
              std::string::npos)
        << messages.shown()[0].text;
}

// Reading stops at the table that fails: what came before it is read and said so.
TEST_F(SessionSettings, AFailureHalfWayNamesWhatWasReadAndWhatWasNot)
{
    AddEmployee(db, "A001", "王大明", "");
    db.exec("insert into [COMPANY] (COMPANY) values ('聿禾印刷')");
    db.exec("drop table [使用者資料明細]");
    EXPECT_FALSE(LoadSessionSettings(s, true, Environment("-kvo2851 -AD= -NAME=王大明 -ID=A001 -XLS=x -DOC=y -PID=1")));
    ExpectOne(messages, kSettingsTitle);
    EXPECT_EQ(s.CompanyName, "聿禾印刷");
    EXPECT_NE(messages.shown()[0].text.find("\n已讀取的設定：使用者身分、員工群組與分機、公司名稱\n"
                                            "沒有讀取的設定：使用者權限、Excel 匯出資料夾\n"
                                            "程式繼續執行；使用者權限會在儲存前再讀取，其餘要在資料庫可以使用後重新啟動本程式才會讀取。"),
              std::string::npos)
        << messages.shown()[0].text;
}

TEST_F(SessionSettings, InitSessionLocatesTheDatabaseAndSetsDefaults)
{
    Session started;
    StartupEnvironment env = Environment("");
    env.host.programFolder = db.folder();
    env.host.userProfile = db.folder() + "home";
    InitSession(started, true, env);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(started.ConnectionString, s.ConnectionString);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(started.TempFolder + "QTMV.TXT")));
    EXPECT_EQ(started.ExcelFolder, db.folder() + "home/");
}

// A client workstation (SITE=C) works in the DSN's folder or not at all.
class ClientWorkstation : public ::testing::Test {
protected:
    void SetUp() override
    {
        local.exec("insert into [COMPANY] (COMPANY) values ('本機')");
        env = Environment("");
        env.host.programFolder = local.folder();
        env.host.userProfile = local.folder() + "home";
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

TEST_F(ClientWorkstation, DatabaseThatCannotBeOpenedIsToldAndNoOtherIsUsed)
{
    QDir().mkpath(QString::fromStdString(shared.folder() + "folder/QTMV.mdb"));
    for (const std::string& folder :
         std::vector<std::string>{shared.folder() + "missing/", shared.folder() + "empty;x/", shared.folder() + "folder/"}) {
        QDir().mkpath(QString::fromStdString(shared.folder() + "empty;x"));
        writeDsn("SITE=C\nDBQ=" + folder + "QTMV.MDB\n");
        ScriptedMessages messages;
        Session t;
        EXPECT_FALSE(InitSession(t, true, env)) << folder;
        ExpectOne(messages, "錯誤");
        EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Critical);
        EXPECT_NE(messages.shown()[0].text.find(folder + "QTMV.mdb\n"), std::string::npos) << messages.shown()[0].text;
        EXPECT_NE(messages.shown()[0].text.find("不會改用其他資料庫"), std::string::npos);
        EXPECT_EQ(t.CompanyName, ""); // the program folder's database was not read
        // The log keeps what the message said once it is answered.
        const QStringList logged = test::LogLines(QString::fromStdString(log::Path()));
        ASSERT_FALSE(logged.isEmpty()) << log::Path();
        EXPECT_TRUE(logged.last().contains(QString::fromStdString(folder + "QTMV.mdb")))
            << logged.last().toStdString();
        EXPECT_TRUE(logged.last().contains("不會改用其他資料庫")) << logged.last().toStdString();
    }
    log::Close();
    // A DBQ line that names no folder is told the same way.
    writeDsn("SITE=C\nDBQ=" + shared.folder() + "QTMV.BAK\n");
    ScriptedMessages messages;
    EXPECT_FALSE(InitSession(s, true, env));
    ExpectOne(messages, "錯誤");
    EXPECT_NE(messages.shown()[0].text.find(local.folder() + kDsnFileName), std::string::npos);
}

// A DSN that names a database server uses it at every site, or none: one that
// cannot be reached is told, naming the server, and start-up ends.
TEST_F(ClientWorkstation, UnreachableServerIsToldAndNoOtherIsUsed)
{
    const std::string socketFolder = shared.folder() + "no-server";
    for (const char* site : {"C", "S"}) {
        writeDsn(std::string("SITE=") + site + "\nSERVER=" + socketFolder + "\nPORT=5999\nDATABASE=qtmv\n");
        ScriptedMessages messages;
        Session t;
        EXPECT_FALSE(InitSession(t, true, env)) << site;
        ExpectOne(messages, "錯誤");
        EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Critical);
        EXPECT_NE(messages.shown()[0].text.find(socketFolder + ":5999/qtmv"), std::string::npos)
            << messages.shown()[0].text;
        EXPECT_NE(messages.shown()[0].text.find("不會改用其他資料庫"), std::string::npos);
        EXPECT_EQ(t.CompanyName, ""); // the program folder's database was not read
        EXPECT_EQ(t.ConnectionString.find("Password"), std::string::npos);
    }
}

// The settings come from the shared database, not the program folder's. A
// folder with ";" is one folder: the file in it is the one written to, and
// a path that would read as another file once cut at ";" writes nowhere.
TEST_F(ClientWorkstation, SemicolonInTheFolderNeverOpensAnotherFile)
{
    const std::string share = shared.folder() + "share;x/";
    QDir().mkpath(QString::fromStdString(share));
    shared.exec("insert into [COMPANY] (COMPANY) values ('共用')");
    QFile::copy(QString::fromStdString(shared.folder() + "QTMV.mdb"), QString::fromStdString(share + "QTMV.mdb"));
    const double alive = static_cast<double>(os::CurrentProcessId());

    writeDsn("[ODBC]\r\nSITE=C\r\nDBQ=" + share + "qtmv.mdb;PWD=x\r\n");
    ScriptedMessages messages;
    ASSERT_TRUE(InitSession(s, true, env));
    EXPECT_EQ(s.CompanyName, "共用");
    EXPECT_TRUE(RegisterFunctionUse(s, s.WorkstationUser, alive, 1, kApplicationTitle));
    EXPECT_EQ(db::test::Db(share + "QTMV.mdb").count("select * from SYSUSER1"), 1);

    // "<folder>other.db;x=/QTMV.MDB" would be other.db once cut at ";".
    QFile::copy(QString::fromStdString(shared.folder() + "QTMV.mdb"), QString::fromStdString(shared.folder() + "other.db"));
    writeDsn("SITE=C\nDBQ=" + shared.folder() + "other.db;x=/QTMV.MDB\n");
    Session t;
    EXPECT_FALSE(InitSession(t, true, env));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find(shared.folder() + "other.db;x=/QTMV.mdb"), std::string::npos);
    EXPECT_TRUE(RegisterFunctionUse(t, t.WorkstationUser, alive, 2, kApplicationTitle));
    EXPECT_EQ(db::test::Db(shared.folder() + "other.db").count("select * from SYSUSER1"), 0);
}

TEST_F(ClientWorkstation, BusySharedDatabaseIsNoReasonToStop)
{
    writeDsn("SITE=C\nDBQ=" + shared.folder() + "QTMV.MDB\n");
    LockHolder exclusive(shared.folder() + "QTMV.mdb", "BEGIN EXCLUSIVE");
    ScriptedMessages messages;
    BeginStartupWaits({});
    SpendStartupWaitsButAMoment();
    EXPECT_TRUE(InitSession(s, true, env));
    EXPECT_TRUE(StartupBudgetSpent());
    EndStartupWaits(s);
    // Only the settings could not be read: told once, at the end of
    // start-up, saying why and where.
    ExpectOne(messages, "警告");
    EXPECT_NE(messages.shown()[0].text.find("\n・以下設定沒有讀取：使用者身分、員工群組與分機、公司名稱、使用者權限、"
                                            "Excel 匯出資料夾；請稍後重新開啟本程式。"),
              std::string::npos)
        << messages.shown()[0].text;

    // Launched with a complete line: the rights are unknown because of the
    // database, not because of the line.
    StartupEnvironment launched = env;
    launched.commandLine = "-kvo2851 -AD= -NAME=王大明 -ID=A001 -XLS=.xls -DOC=.doc -PID=9";
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
    EXPECT_NE(messages.shown()[0].text.find("「" + shared.folder() + "QTMV.mdb」"), std::string::npos);
}

// The holder's row on both engines: CoordinationEnginesTest.
TEST(MaintenanceLock, AStaleHolderIsClearedANullOneLocksAndNoDatabaseGivesNine)
{
    FreshDatabase db;
    Session& s = db.session();
    ScriptedMessages messages;
    s.MaintenanceHolder = "old";
    EXPECT_EQ(CheckMaintenanceLock(s), 0);
    EXPECT_EQ(s.MaintenanceHolder, "");
    EXPECT_TRUE(messages.shown().empty());

    db.exec("insert into [SYSLOCK] ([USER]) values (null)");
    EXPECT_EQ(CheckMaintenanceLock(s), 1);
    ExpectOne(messages, "系統維護", "\n\n正在維護軟體中，請稍後再登入！");
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Critical);

    // An unreadable or missing database gives 9, each told once by name.
    messages.clear();
    std::ofstream(db.folder() + "QTMV.mdb", std::ios::trunc) << "this is not a database file at all........";
    EXPECT_EQ(CheckMaintenanceLock(s), 9);
    ExpectOne(messages, kUnreachableDatabaseTitle);
    EXPECT_NE(messages.shown()[0].text.find(db.folder() + "QTMV.mdb"), std::string::npos);
    messages.clear();
    s.DatabaseFolder = db.folder() + "missing/";
    BuildConnectionString(s);
    EXPECT_EQ(CheckMaintenanceLock(s), 9);
    ExpectOne(messages, kUnreachableDatabaseTitle);
    EXPECT_NE(messages.shown()[0].text.find(db.folder() + "missing/QTMV.mdb"), std::string::npos);
}

TEST(FunctionRegister, OneRowPerUserAndTitleOnlyWhileTheLauncherLives)
{
    FreshDatabase db;
    const Session& s = db.session();
    const double alive = static_cast<double>(os::CurrentProcessId());

    RegisterFunctionUse(s, "PC1\\admin", DeadProcessId(), 111, kApplicationTitle);
    EXPECT_EQ(db.count("select * from SYSUSER1"), 0);

    RegisterFunctionUse(s, "PC1\\admin", alive, 111, kApplicationTitle);
    RegisterFunctionUse(s, "PC1\\admin", alive, 222, kApplicationTitle);
    EXPECT_EQ(db.value("select LPID from SYSUSER1 where FUNC = '日報登錄作業'"), "222");
    RegisterFunctionUse(s, "PC1\\admin", alive, 333, "其他功能");
    RegisterFunctionUse(s, "PC2\\o'neil", alive, 444, kApplicationTitle);
    EXPECT_EQ(db.count("select * from SYSUSER1"), 3);

    UnregisterFunctionUse(s, "PC1\\admin", kApplicationTitle, false);
    EXPECT_EQ(db.count("select * from SYSUSER1 where ID = 'PC1\\admin'"), 1);
    RegisterFunctionUse(s, "PC1\\admin", alive, 555, kApplicationTitle);
    UnregisterFunctionUse(s, "PC1\\admin", "", true);
    EXPECT_EQ(db.count("select * from SYSUSER1 where ID = 'PC1\\admin'"), 0);
    UnregisterFunctionUse(s, "PC2\\o'neil", kApplicationTitle, false);
    EXPECT_EQ(db.count("select * from SYSUSER1"), 0);

    // A broken database is swallowed.
    std::ofstream(db.folder() + "QTMV.mdb", std::ios::trunc) << "garbage garbage garbage garbage garbage";
    RegisterFunctionUse(s, "PC1\\admin", alive, 1, kApplicationTitle);
    UnregisterFunctionUse(s, "PC1\\admin", "", true);
}

// Another workstation writing at start-up: the registration waits only the
// start-up budget, the user is told once when start-up ends, and the next
// guarded operation (its maintenance check) registers after all.
TEST(FunctionRegister, BusyAtStartupIsToldOnceAndRetriedByTheNextCheck)
{
    FreshDatabase db;
    Session& s = db.session();
    s.LauncherProcessId = static_cast<double>(os::CurrentProcessId());
    s.MainWindowHandle = 4321;
    ScriptedMessages messages;
    std::vector<bool> notices;
    {
        LockHolder writer(db.folder() + "QTMV.mdb", "BEGIN IMMEDIATE");
        BeginStartupWaits([&notices](bool waiting) { notices.push_back(waiting); });
        SpendStartupWaitsButAMoment();
        RegisterMainWindow(s);
        EXPECT_TRUE(StartupBudgetSpent());
        EXPECT_TRUE(s.FunctionRegistrationPending);
        EXPECT_TRUE(messages.shown().empty());
        EndStartupWaits(s);
        ExpectOne(messages, "警告",
                  "資料庫忙碌中（其他工作站正在使用「" + db.folder()
                      + "QTMV.mdb」），以下工作沒有完成：\n\n・本工作站尚未登記使用本功能，稍後存取資料時會再登記。");
        EXPECT_EQ(notices, (std::vector<bool>{true, false}));

        // Still held: the check goes on, the registration stays pending,
        // nothing more is said. A spent budget stands in for the retry's
        // second of waiting.
        jet::SetBusyWaitBudget(std::chrono::milliseconds(0));
        EXPECT_EQ(CheckMaintenanceLock(s), 0);
        jet::ClearBusyWaitBudget();
        EXPECT_TRUE(s.FunctionRegistrationPending);
        EXPECT_EQ(messages.shown().size(), 1u);
    }
    EXPECT_EQ(db.count("select * from SYSUSER1"), 0);
    EXPECT_EQ(CheckMaintenanceLock(s), 0);
    EXPECT_FALSE(s.FunctionRegistrationPending);
    EXPECT_EQ(db.value("select LPID from SYSUSER1 where ID = 'PC1\\admin' and FUNC = '日報登錄作業'"), "4321");
    EXPECT_EQ(messages.shown().size(), 1u);
}

// A row matches when any of its twenty group columns holds any of the user's
// groups; the filter continues the caller's own condition.
TEST(GroupFilter, AnyGroupColumnHoldingAnyOfTheUsersGroupsMatches)
{
    FreshDatabase db;
    db.exec("insert into CUST (ID, [GROUP], GROUP7, GROUP19) values ('C1', 'G1', '', ''), ('C2', '', 'O''K', ''), "
            "('C3', '', '', 'G1'), ('C4', 'G2', 'X', 'OK'), ('C5', 'G2', '', '')");
    Session s;
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

class Launching : public ::testing::Test {
protected:
    void SetUp() override
    {
        Session& s = db.session();
        s.LoginUser = "王 大明";
        s.EmployeeName = "王大明";
        s.EmployeeId = "A001";
        s.ExcelExtension = ".xlsx";
        s.WordExtension = ".docx";
        s.LauncherProcessId = 4242;
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
    FreshDatabase db;
    int ended = 0;
    EndProgramAction end = [this] { ++ended; };
};

TEST_F(Launching, StartsTheProgramDetachedWithItsArguments)
{
    writeRecorder("報表程式");
    ScriptedMessages messages;
    EXPECT_EQ(LaunchProgram(db.session(), "報表程式.EXE", end), LaunchResult::Started);
    EXPECT_EQ(ReadFile(db.folder() + "args.txt", 5000),
              db.folder().substr(0, db.folder().size() - 1)
                  + "\n-kvo2851\n-AD=王 大明\n-NAME=王大明\n-ID=A001\n-XLS=.xlsx\n-DOC=.docx\n-PID=4242\n");
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(ended, 0);
}

// Nothing is tried: a missing program would be told as missing.
TEST_F(Launching, MaintenanceLockEndsTheProgramBeforeAnythingIsStarted)
{
    db.exec("insert into [SYSLOCK] ([USER]) values ('PC1\\ADMIN')");
    ScriptedMessages messages;
    EXPECT_EQ(LaunchProgram(db.session(), "報表程式", end), LaunchResult::Ended);
    EXPECT_EQ(ended, 1);
    ExpectOne(messages, "系統維護");
}

TEST_F(Launching, MissingProgramOrBrokenDatabaseStartsNothing)
{
    ScriptedMessages messages;
    EXPECT_EQ(LaunchProgram(db.session(), "不存在.EXE", end), LaunchResult::Failed);
    ExpectOne(messages, "錯誤");
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Critical);
    EXPECT_NE(messages.shown()[0].text.find(db.folder() + "不存在"), std::string::npos);

    messages.clear();
    std::ofstream(db.folder() + "QTMV.mdb", std::ios::trunc) << "garbage garbage garbage garbage garbage";
    writeRecorder("報表程式");
    EXPECT_EQ(LaunchProgram(db.session(), "報表程式", end), LaunchResult::Abandoned);
    // A database that cannot be used is told once, by name; nothing else.
    ExpectOne(messages, kUnreachableDatabaseTitle);
    EXPECT_NE(messages.shown()[0].text.find(db.folder() + "QTMV.mdb"), std::string::npos);
    EXPECT_NE(messages.shown()[0].text.find("沒有讀取也沒有寫入"), std::string::npos);
    EXPECT_EQ(ended, 0);

    // Only busy: the operation is given up without a word, as before.
    EXPECT_EQ(UnreachableDatabaseText(db.session(), jet::Error(jet::Error::Kind::Busy, "資料庫忙碌中")), "");
    EXPECT_NE(UnreachableDatabaseText(db.session(), jet::Error(jet::Error::Kind::FileMissing, "找不到資料庫檔案")), "");
}
