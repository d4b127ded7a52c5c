#include "platform/ui/BusyScope.h"

#include <QApplication>
#include <QWidget>

namespace qtmv {

BusyScope::BusyScope(QWidget* window, bool& flag) : window_(window), flag_(flag)
{
    if (flag_)
        return;
    entered_ = true;
    flag_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (window_) {
        wasEnabled_ = window_->isEnabled();
        window_->setEnabled(false);
    }
}

BusyScope::~BusyScope()
{
    if (!entered_)
        return;
    if (window_)
        window_->setEnabled(wasEnabled_);
    QApplication::restoreOverrideCursor();
    flag_ = false;
}

} // namespace qtmv
