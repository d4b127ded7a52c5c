// The built program started for real, headless, with its messages on stderr.
#include "db/testing/FreshDatabase.h"
#include "platform/jet/tests/TempDatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// The program started with its output in files; killed if the test leaves it running.
class Program {
public:
    Program(const std::string& exe, const std::vector<std::string>& args, const std::string& stderrPath,
            const std::string& stdoutPath = "/dev/null")
    {
        QStringList list;
        for (const std::string& a : args)
            list << QString::fromStdString(a);
        process_.setStandardOutputFile(QString::fromStdString(stdoutPath));
        process_.setStandardErrorFile(QString::fromStdString(stderrPath));
        process_.start(QString::fromStdString(exe), list);
        process_.waitForStarted();
    }
    ~Program()
    {
        process_.kill();
        process_.waitForFinished();
    }
    qint64 pid() const { return process_.processId(); }
    // The exit status (-1 for a crash), or none when still running after the wait.
    std::optional<int> waitFor(std::chrono::milliseconds limit)
    {
        if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(static_cast<int>(limit.count())))
            return std::nullopt;
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

private:
    QProcess process_;
};

std::string ReadAll(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

// The program's messages once they contain `text`, or as they are when the
// limit has passed.
std::string WaitForText(const std::string& path, const std::string& text, std::chrono::seconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    std::string all = ReadAll(path);
    while (all.find(text) == std::string::npos && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(50ms);
        all = ReadAll(path);
    }
    return all;
}

void Put(const std::string& name, const std::optional<std::string>& value)
{
    value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The program beside its own database: a copy in the test's folder.
        exe = db.folder() + "daily-report";
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(QTMV_DAILY_REPORT_EXE), QString::fromStdString(exe)));
        QFile::setPermissions(QString::fromStdString(exe), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QDir().mkpath(QString::fromStdString(db.folder() + "tmp"));
        QDir().mkpath(QString::fromStdString(db.folder() + "run"));
        QFile::setPermissions(QString::fromStdString(db.folder() + "run"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        setVariable("TMPDIR", db.folder() + "tmp");
        setVariable("XDG_RUNTIME_DIR", db.folder() + "run");
        setVariable("HOME", db.folder() + "home");
        setVariable("USERPROFILE", std::nullopt);
        setVariable("QTMV_MESSAGES", "stderr");
        screen(1280, 1024);
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved)
            Put(name, value);
    }
    // Sets a variable for the started programs; the test's own value comes back afterwards.
    void setVariable(const std::string& name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name.c_str());
        saved.try_emplace(name, old ? std::optional<std::string>(old) : std::nullopt);
        Put(name, value);
    }
    void screen(int width, int height)
    {
        const std::string config = db.folder() + "screen.json";
        std::ofstream(config, std::ios::trunc)
            << R"({"screens":[{"name":"OffscreenScreen","x":0,"y":0,"width":)" << width << R"(,"height":)"
            << height << R"(,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})";
        setVariable("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
    }
    std::vector<std::string> launcherArgs() const
    {
        return {"-kvo2851", "-AD=", "-NAME=王大明", "-ID=A001", "-XLS=.xlsx", "-DOC=.docx",
                "-PID=" + std::to_string(getpid())};
    }
    std::string errPath(const std::string& name) const { return db.folder() + name + ".err"; }

    qtmv::db::test::FreshDatabase db;
    std::string exe;
    std::map<std::string, std::optional<std::string>> saved;
};

// Without the launch token, for the plant's IT the usage, and on a machine
// without a display: a line, and the program ends.
TEST_F(EndToEnd, NoTokenHelpAndNoDisplayEndWithALine)
{
    Program p(exe, {"-AD=王大明"}, errPath("notoken"));
    ASSERT_GT(p.pid(), 0);
    EXPECT_EQ(p.waitFor(20s), 1);   // ended after a message: not a success
    EXPECT_EQ(ReadAll(errPath("notoken")), "[錯誤] 引數錯誤\n");
    // The log says it too, with the line the program was given.
    const std::string logged = ReadAll(db.folder() + "home/Temp/daily-report.log");
    EXPECT_NE(logged.find("\tstart-up\t引數錯誤：命令列沒有啟動代碼 -kvo2851，程式結束。命令列：-AD=王大明"),
              std::string::npos)
        << logged;

    Program help(exe, {"--help"}, errPath("help"), db.folder() + "help.out");
    EXPECT_EQ(help.waitFor(20s), 0);
    const std::string usage = ReadAll(db.folder() + "help.out");
    EXPECT_NE(usage.find("-kvo2851 -AD=<登入帳號> -NAME=<員工姓名> -ID=<員工編號> -XLS="), std::string::npos) << usage;
    EXPECT_NE(usage.find("daily-report.log"), std::string::npos) << usage;
    // The PostgreSQL client and the workbook writer are loaded when a server
    // is used or a workbook written, not by every start-up (with their TLS,
    // Kerberos and zip libraries).
    const std::string needed = db.folder() + "needed.txt";
    ASSERT_EQ(std::system(("readelf -d '" + exe + "' > '" + needed + "'").c_str()), 0);
    EXPECT_NE(ReadAll(needed).find("libQt6Widgets"), std::string::npos);
    EXPECT_EQ(ReadAll(needed).find("libpq"), std::string::npos) << ReadAll(needed);
    EXPECT_EQ(ReadAll(needed).find("libxlsxwriter"), std::string::npos) << ReadAll(needed);

    setVariable("QT_QPA_PLATFORM", "xcb");
    setVariable("DISPLAY", std::nullopt);
    setVariable("WAYLAND_DISPLAY", std::nullopt);
    Program headless(exe, launcherArgs(), errPath("headless"));
    EXPECT_EQ(headless.waitFor(20s), 2);   // not an abort
    const std::string said = ReadAll(errPath("headless"));
    EXPECT_EQ(said.rfind("日報登錄作業無法開啟視窗：沒有可用的顯示畫面（DISPLAY=未設定，QT_QPA_PLATFORM=xcb", 0), 0u)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

// A narrow screen is refused; at 1024 wide the window opens, and a second
// instance then says the program is running (a crashed instance's lock is
// taken over: the instance lock's own test).
TEST_F(EndToEnd, NarrowScreenIsRefusedWidth1024PassesAndASecondInstanceSaysItIsRunning)
{
    screen(1000, 1000);
    Program narrow(exe, launcherArgs(), errPath("narrow"));
    EXPECT_EQ(narrow.waitFor(20s), 1);
    EXPECT_EQ(ReadAll(errPath("narrow")), "[錯誤] 請先將螢幕解析度調整為1024*768！\n");

    screen(1024, 600);
    Program first(exe, launcherArgs(), errPath("first"));
    // The first instance holds its lock once its settings are read.
    const QString lockFolder = QString::fromStdString(db.folder() + "tmp");
    for (int i = 0; i < 1200 && QDir(lockFolder).entryList({"*.lock"}, QDir::Files).isEmpty(); ++i)
        std::this_thread::sleep_for(25ms);
    ASSERT_FALSE(QDir(lockFolder).entryList({"*.lock"}, QDir::Files).isEmpty()) << ReadAll(errPath("first"));
    EXPECT_FALSE(first.waitFor(3s)) << ReadAll(errPath("first"));
    EXPECT_EQ(ReadAll(errPath("first")), "");

    Program second(exe, launcherArgs(), errPath("second"));
    EXPECT_EQ(second.waitFor(20s), 0);
    EXPECT_EQ(ReadAll(errPath("second")), "[訊息] 日報登錄作業已經在執行中，請切換到已開啟的視窗。\n");
}

// Another workstation writing: the window opens after a few seconds at most
// and says, once, what was not done.
TEST_F(EndToEnd, LockedDatabaseOpensTheWindowAndSaysWhatWasNotDone)
{
    const std::string busy = "[警告] 資料庫忙碌中（其他工作站正在使用「" + db.path() + "」），以下工作沒有完成：\n\n";
    const std::string unregistered = "・本工作站尚未登記使用本功能，稍後存取資料時會再登記。\n";
    {
        jet::testing::LockHolder writer(db.path(), "BEGIN IMMEDIATE");
        Program p(exe, launcherArgs(), errPath("write"));
        EXPECT_EQ(WaitForText(errPath("write"), unregistered, 10s), busy + unregistered);
        EXPECT_FALSE(p.waitFor(300ms)); // the window is open
    }
    // The exclusive lock keeps even reads out: the settings that could not
    // be read are told in the one message with the rest.
    jet::testing::LockHolder writer(db.path(), "BEGIN EXCLUSIVE");
    Program p(exe, launcherArgs(), errPath("exclusive"));
    const std::string err = WaitForText(errPath("exclusive"), "車別清單沒有讀取，重新選擇種類時會再讀取。\n", 10s);
    EXPECT_EQ(err.rfind(busy + "・以下設定沒有讀取：員工群組與分機、公司名稱、使用者權限、Excel 匯出資料夾；"
                               "使用者權限會在儲存前再讀取，其餘請稍後重新開啟本程式。\n",
                        0),
              0u)
        << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '['), 1) << err; // one message in all
    EXPECT_NE(err.find("\n" + unregistered), std::string::npos) << err;
    EXPECT_FALSE(p.waitFor(300ms));
}

} // namespace
