#pragma once
// The clock in the status bar (pic系統時間 with lbl系統時間): the time every
// second from Timer1_0, and at each full hour a flash driven by Timer1_1.
#include "common/Clock.h"
#include "daily_report/ui/WindowLogic.h"

#include <QFrame>

#include <array>
#include <functional>

class QLabel;
class QTimer;

namespace qtmv::daily {

class StatusClock : public QFrame {
public:
    // clock() is read at every tick, so the window may swap its clock.
    StatusClock(QWidget* parent, std::function<const Clock&()> clock);

    void start();
    void stop();
    void tick();        // Timer1_0: every second
    void flashTick();   // Timer1_1: the flash at the full hour

    QLabel* lbl系統時間 = nullptr;
    std::array<QTimer*, 2> Timer1{};

private:

    std::function<const Clock&()> clock_;
    ClockFlash flash_;
};

} // namespace qtmv::daily
