#pragma once
// A window is busy while one of its operations runs: a flag keeps a second
// start (F8 pressed twice, a button clicked during a load) out, the wait
// cursor shows, and the window takes no input. All three are undone when
// the scope ends, however it ends: an early return or an exception cannot
// leave the window disabled.
class QWidget;

namespace qtmv {

class BusyScope {
public:
    // Marks window busy unless flag says another operation runs already;
    // then the scope does nothing and entered() is false.
    BusyScope(QWidget* window, bool& flag);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    bool entered() const { return entered_; }

private:
    QWidget* window_;
    bool& flag_;
    bool entered_ = false;
    bool wasEnabled_ = true;
};

} // namespace qtmv
