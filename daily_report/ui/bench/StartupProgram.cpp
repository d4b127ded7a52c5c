// The program side of startup_bench: the program's own start-up (qtmv::Main,
// the session read from the database, the checks, the main window), linked
// with exactly the program's libraries, that tells the benchmark when its
// main window has painted.
#include "app/ui/Main.h"
#include "daily_report/ui/MainWindowFactory.h"
#include "daily_report/ui/bench/StartupChild.h"

#include <QMainWindow>

int main(int argc, char** argv)
{
    startup::Trace("child running main()");
    const int fd = startup::ChildDescriptor(argc, argv);
    // The child's own arguments are the program's: drop the mode.
    for (int i = 1; i + 1 < argc; ++i)
        argv[i] = argv[i + 1];
    --argc;
    startup::PaintedSignal painted(fd);
    return qtmv::Main(argc, argv, [&painted] {
        startup::Trace("session ready, constructing the main window");
        std::unique_ptr<QMainWindow> w = CreateMainWindow();
        startup::Trace("main window constructed");
        qApp->installEventFilter(&painted);
        return std::unique_ptr<QWidget>(std::move(w));
    });
}
