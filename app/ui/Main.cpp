#include "app/ui/Main.h"

#include "app/core/CommandLine.h"
#include "app/core/Session.h"
#include "app/core/SessionSettings.h"
#include "app/ui/MessageBoxHandler.h"
#include "platform/os/Host.h"
#include "platform/os/MessageBox.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

#include <vector>

namespace qtmv {

namespace {

constexpr const char* kMingFont = "AR PL UMing TW";

void applyChineseSettings(QApplication& app, QTranslator& translator)
{
    // Qt's own buttons (是/否, 確定) in Traditional Chinese.
    if (translator.load(QLocale(QLocale::Chinese, QLocale::Taiwan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
    if (QFontDatabase::families().contains(QString::fromUtf8(kMingFont))) {
        QFont font = app.font();
        font.setFamily(QString::fromUtf8(kMingFont));
        app.setFont(font);
    }
}

int screenWidth()
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

    os::KeepFreedMemoryForReuse();
    QApplication app(argc, argv);
    QTranslator translator;
    applyChineseSettings(app, translator);
    InstallMessageBoxHandler();

    Session& s = session();
    StartupEnvironment env{commandLine, CurrentHost(), [](bool busy) {
                               if (busy)
                                   QApplication::setOverrideCursor(Qt::WaitCursor);
                               else
                                   QApplication::restoreOverrideCursor();
                           }};
    if (!InitSession(s, true, env))
        return 1;

    os::InstanceLock instance("qtmv-daily-report");
    if (instance.previousInstance())
        return 0;

    if (!HasLaunchToken(commandLine)) {
        MsgBox("引數錯誤", "錯誤", MsgIcon::Critical);
        return 0;
    }
    if (screenWidth() < kMinimumScreenWidth) {
        MsgBox("請先將螢幕解析度調整為1024*768！", "錯誤", MsgIcon::Critical);
        return 0;
    }

    std::unique_ptr<QWidget> mainWindow = createMainWindow();
    if (!mainWindow)
        return 1;
    mainWindow->show();
    // The program ends when its main window has closed.
    QApplication::setQuitOnLastWindowClosed(true);
    return app.exec();
}

} // namespace qtmv
