#pragma once
// What both start-up children share: the stage trace and the signal to the
// parent that the first window has painted.
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <utility>

namespace startup {

// With QTMV_STARTUP_TRACE set, a child says on stderr when it reached each
// stage, in milliseconds since the parent started it.
inline void Trace(const char* stage)
{
    static const char* t0 = std::getenv("QTMV_STARTUP_T0");
    if (!t0 || !std::getenv("QTMV_STARTUP_TRACE"))
        return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const double ms = static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()
                                          - std::atoll(t0)) / 1e6;
    std::fprintf(stderr, "%7.1f ms  %s\n", ms, stage);
}

// Writes one byte to the parent once the first window has been exposed and
// painted, then lets the program end as it normally would, or at once with
// QTMV_STARTUP_EXIT_AT_PAINT set (for a profiler that should see start-up
// only). Installed on the application before the window is shown.
class PaintedSignal : public QObject {
public:
    explicit PaintedSignal(int fd) : fd_(fd) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        auto* window = qobject_cast<QWindow*>(watched);
        if (fd_ < 0 || e->type() != QEvent::Expose || !window)
            return false;
        // The window paints all its widgets and flushes them while it
        // handles its expose event; the stopwatch stops right after.
        const bool handled = watched->event(e);
        if (!window->isExposed())
            return handled;
        Trace(activated() ? "painted (after the first activation)" : "painted");
        const char done = '1';
        if (::write(fd_, &done, 1) != 1)
            std::_Exit(3);
        ::close(std::exchange(fd_, -1));
        if (std::getenv("QTMV_STARTUP_EXIT_AT_PAINT"))
            std::_Exit(0);
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        return handled;
    }

private:
    // The main window's first activation fills the kind list.
    static bool activated()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (const auto* kinds = w->findChild<QComboBox*>(QStringLiteral("cbo種類")); kinds && kinds->count() > 0)
                return true;
        return false;
    }

    int fd_;
};

// The descriptor to signal on, from the child's first argument
// "--child=<mode>:<fd>"; -1 without one.
inline int ChildDescriptor(int argc, char** argv)
{
    if (argc < 2 || std::string_view(argv[1]).rfind("--child=", 0) != 0)
        return -1;
    const std::string_view arg(argv[1]);
    return std::atoi(std::string(arg.substr(arg.rfind(':') + 1)).c_str());
}

} // namespace startup
