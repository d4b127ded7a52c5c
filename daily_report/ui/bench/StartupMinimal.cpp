// The floor of startup_bench: a program of its own that links Qt Widgets
// and nothing else of ours, showing a window with a line of Chinese text in
// the Ming font, drawn as the program draws it. It pays what any Qt program
// pays: loading the libraries, the platform plugin and the font.
#include "daily_report/ui/bench/StartupChild.h"
#include "platform/ui/TextFit.h"

#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv)
{
    startup::Trace("child running main()");
    const int fd = startup::ChildDescriptor(argc, argv);
    QApplication app(argc, argv);
    startup::Trace("application made");
    QFont font = app.font();
    font.setFamily(QStringLiteral("AR PL UMing TW"));
    app.setFont(qtmv::ScreenFont(font));
    // Text in that font on screen, as in any Chinese window: the font's
    // files are found, opened and drawn from, which an empty window skips.
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("日報登錄作業"));
    w.setCentralWidget(new QLabel(QStringLiteral("日報登錄作業：工單、製程、完成數量、不良數"), &w));
    w.resize(1024, 720);
    startup::PaintedSignal painted(fd);
    app.installEventFilter(&painted);
    w.show();
    return app.exec();
}
