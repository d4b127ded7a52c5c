#include "app/ui/SuiteLocale.h"

#include "common/ui/DatePicker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QEvent>
#include <QLocale>

namespace qtmv {

namespace {

// Sets up each calendar as it is polished, before it is first shown: the
// windows need not remember to, and a date picker Qt makes itself (a date
// edit's popup) is set up too.
class CalendarSetUp : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Polish)
            if (auto* calendar = qobject_cast<QCalendarWidget*>(watched))
                SetUpDatePicker(calendar);
        return false;
    }
};

} // namespace

void UseSuiteLocale(QApplication& app)
{
    QLocale::setDefault(SuiteLocale());
    app.installEventFilter(new CalendarSetUp(&app));
}

} // namespace qtmv
