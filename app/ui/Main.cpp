#include "app/ui/Main.h"

#include "app/core/CommandLine.h"
#include "app/core/Session.h"
#include "app/core/SessionSettings.h"
#include "app/core/StartupWaits.h"
#include "app/ui/MessageBoxHandler.h"
#include "app/ui/PrintFiles.h"
#include "app/ui/SuiteLocale.h"
#include "common/Clock.h"
#include "common/Failure.h"
#include "common/ui/DatePicker.h"
#include "db/ServerSchema.h"
#include "platform/jet/Connection.h"
#include "platform/library/Library.h"
#include "platform/os/Host.h"
#include "platform/os/Log.h"
#include "platform/os/MessageBox.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/ui/TextFit.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace qtmv {

namespace {

constexpr const char* kMingFont = "AR PL UMing TW";

void ApplyChineseSettings(QApplication& app, QTranslator& translator)
{
    // Month and day names, numbers and every date picker the suite's way.
    UseSuiteLocale(app);
    // Qt's own buttons (是/否, 確定) in Traditional Chinese.
    if (translator.load(SuiteLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
    if (QFontDatabase::families().contains(QString::fromUtf8(kMingFont))) {
        QFont font = app.font();
        font.setFamily(QString::fromUtf8(kMingFont));
        app.setFont(ScreenFont(font));
    }
}

// The small window that says start-up is waiting for the database, with the
// wait cursor. Shown when a wait for another workstation's lock begins,
// taken away before a message and when start-up ends.
class WaitingNotice {
public:
    ~WaitingNotice() { hide(); }

    void show()
    {
        if (!label_) {
            label_ = std::make_unique<QLabel>(QString::fromUtf8("等候資料庫…\n")
                                              + QString::fromStdString(jet::DatabaseShownName(CurrentSession().ConnectionString)));
            label_->setObjectName(QStringLiteral("lblWaitingForDatabase"));
            label_->setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
            label_->setFrameStyle(QFrame::Panel | QFrame::Raised);
            label_->setLineWidth(2);
            label_->setMargin(16);
            label_->setAlignment(Qt::AlignCenter);
            label_->adjustSize();
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                label_->move(screen->geometry().center() - label_->rect().center());
        }
        if (!cursor_) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            cursor_ = true;
        }
        if (!label_->isVisible()) {
            label_->show();
            // Painted now: the wait that follows keeps the event loop from it.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }

    void hide()
    {
        label_.reset();
        if (cursor_) {
            QApplication::restoreOverrideCursor();
            cursor_ = false;
        }
    }

private:
    std::unique_ptr<QLabel> label_;
    bool cursor_ = false;
};

// While the application object is made: Qt ends the process with abort()
// when no platform plugin can start (no display). That becomes one readable
// line and an exit code; the messages Qt gave on the way go into the line.
class NoDisplayGuard {
public:
    NoDisplayGuard() { previous_ = qInstallMessageHandler(&NoDisplayGuard::handle); }
    ~NoDisplayGuard() { release(); }
    // The application exists: Qt's messages go their usual way again.
    void release()
    {
        if (!installed_)
            return;
        installed_ = false;
        qInstallMessageHandler(previous_);
        for (const auto& [type, text] : held())
            qt_message_output(type, QMessageLogContext(), text);
        held().clear();
    }

private:
    using Held = std::vector<std::pair<QtMsgType, QString>>;
    static Held& held()
    {
        static Held messages;
        return messages;
    }
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (type != QtFatalMsg) {
            held().emplace_back(type, text);
            return;
        }
        QString why = held().empty() ? text.section(QLatin1Char('\n'), 0, 0) : held().front().second;
        const QByteArray display = qgetenv("DISPLAY");
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        const std::string line = "日報登錄作業無法開啟視窗：沒有可用的顯示畫面（DISPLAY="
            + (display.isEmpty() ? std::string("未設定") : display.toStdString()) + "，QT_QPA_PLATFORM="
            + (platform.isEmpty() ? std::string("未設定") : platform.toStdString()) + "；" + why.toStdString()
            + "）。請在桌面工作階段中啟動本程式。\n";
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(kExitNoDisplay);
    }
    QtMessageHandler previous_ = nullptr;
    bool installed_ = true;
};

// Fontconfig reads its configuration and font caches the first time Qt asks
// for a font: about a quarter of any Qt window's start. Begun on a thread of
// its own as the program starts, it runs while the window system starts.
// Fontconfig keeps one configuration for the process, made once, and Qt's
// own call finds it made. A fontconfig that cannot be found is Qt's to deal
// with as always.
std::jthread ReadFontConfiguration()
{
    return std::jthread([] {
        try {
            constexpr const char* kFontconfig = "libfontconfig.so.1";
            using Init = int (*)();
            reinterpret_cast<Init>(LibraryFunction(OpenLibrary(kFontconfig), kFontconfig, "FcInit"))();
        } catch (const std::exception&) {
        }
    });
}

int ScreenWidth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

} // namespace

int Main(int argc, char* argv[], const MainWindowFactory& createMainWindow)
{
    // The command line as the launcher handed it over, before Qt takes its
    // own options out of argv.
    std::vector<const char*> originalArgs(argv, argv + argc);
    const std::string commandLine = JoinCommandLine(argc, originalArgs.data());
    if (AsksForHelp(argc, originalArgs.data())) {
        std::fputs(LaunchUsage().c_str(), stdout);
        return 0;
    }

    os::KeepFreedMemoryForReuse();
    jet::SetServerWriteLockKey(db::kServerWriteLockKey);
    // The database file is opened, and its schema read, on a thread of its
    // own while the window system starts; the session's first open takes
    // that connection.
    Session& s = CurrentSession();
    const HostInfo host = CurrentHost();
    const LocatedDatabase where = LocateDatabase(s, host);
    std::optional<jet::OpenAhead> openingAhead(std::in_place, ExpectedConnectionString(s, where));
    std::jthread fontConfiguration = ReadFontConfiguration();
    NoDisplayGuard noDisplay;
    QApplication app(argc, argv);
    noDisplay.release();
    // Where each user's view settings live (~/.config/QTMV/daily-report.conf).
    QCoreApplication::setOrganizationName(QStringLiteral("QTMV"));
    QCoreApplication::setApplicationName(QStringLiteral("daily-report"));
    QTranslator translator;
    fontConfiguration.join();
    ApplyChineseSettings(app, translator);
    InstallMessageBoxHandler();
    // A print from a preview that fails is reported as every failure is.
    report::PreviewDialog::setFailureReport(ReportFailure);
    // A print to a file goes where the exports go, under a name of its own.
    InstallPrintFileNamer(TheSystemClock());

    // Start-up's database work, up to the main window's first activation,
    // waits for other workstations a few seconds in all.
    WaitingNotice notice;
    BeginStartupWaits([&notice](bool waiting) {
        if (waiting)
            notice.show();
        else
            notice.hide();
    });
    struct StartupEnd {
        ~StartupEnd() { EndStartupWaits(CurrentSession()); }
    } startupEnd;
    StartupEnvironment env{commandLine, host, [&notice](bool busy) {
                               if (busy) {
                                   QApplication::setOverrideCursor(Qt::WaitCursor);
                               } else {
                                   QApplication::restoreOverrideCursor();
                                   notice.hide(); // a message may follow
                               }
                           }};
    if (!InitSession(s, where, true, env))
        return kExitStartupRefused;
    openingAhead.reset();

    os::InstanceLock instance("qtmv-daily-report");
    if (instance.previousInstance()) {
        // Not an error: the user's work is in the window already open.
        MsgBox(std::string(kApplicationTitle) + "已經在執行中，請切換到已開啟的視窗。", "訊息", MsgIcon::Information);
        return 0;
    }

    // A start-up that ends after its message tells the launcher so.
    // Both go to the log as well: the plant's IT reads there why a start
    // ended, the message box is gone once answered.
    if (!HasLaunchToken(commandLine)) {
        log::Warning(log::Startup(), "start-up",
                     std::string("引數錯誤：命令列沒有啟動代碼 ") + kLaunchToken + "，程式結束。命令列：" + commandLine);
        MsgBox("引數錯誤", "錯誤", MsgIcon::Critical);
        return kExitStartupRefused;
    }
    if (const int width = ScreenWidth(); width < kMinimumScreenWidth) {
        log::Warning(log::Startup(), "start-up",
                     "螢幕寬度 " + std::to_string(width) + " 像素，不足 " + std::to_string(kMinimumScreenWidth)
                         + " 像素，程式結束。");
        MsgBox("請先將螢幕解析度調整為1024*768！", "錯誤", MsgIcon::Critical);
        return kExitStartupRefused;
    }

    std::unique_ptr<QWidget> mainWindow = createMainWindow();
    if (!mainWindow)
        return kExitStartupRefused;
    mainWindow->show();
    // The program ends when its main window has closed.
    QApplication::setQuitOnLastWindowClosed(true);
    return app.exec();
}

} // namespace qtmv
