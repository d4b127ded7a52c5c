#include "common/ui/DatePicker.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLocale>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace qtmv {

namespace {

constexpr int kRocYearOffset = 1911;   // ROC year 1 is 1912
constexpr const char* kSetUp = "qtmvDatePicker";

QString RocYearText(int gregorianYear)
{
    return QStringLiteral("民國 %1 年").arg(gregorianYear - kRocYearOffset);
}

// The ROC year over Qt's Gregorian navigation bar: a button showing it, in
// front of the month as a Chinese date reads, and a spin box that edits it
// in the button's place, as Qt's own year button and spin box do. Qt's year
// button stays hidden: only its own spin box, which is never shown now,
// would show it again.
void ShowRocYear(QCalendarWidget* calendar)
{
    auto* qtYear = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    QWidget* bar = qtYear ? qtYear->parentWidget() : nullptr;
    auto* row = bar ? qobject_cast<QHBoxLayout*>(bar->layout()) : nullptr;
    if (!row || !month || row->indexOf(month) < 0)
        return; // a Qt whose navigation bar is built otherwise keeps its own

    auto* year = new QToolButton(bar);
    year->setObjectName(QStringLiteral("qtmv_calendar_rocyear"));
    year->setAutoRaise(qtYear->autoRaise());
    year->setFont(qtYear->font());
    year->setFocusPolicy(Qt::NoFocus);
    auto* edit = new QSpinBox(bar);
    edit->setObjectName(QStringLiteral("qtmv_calendar_rocyearedit"));
    edit->setPrefix(QStringLiteral("民國 "));
    edit->setSuffix(QStringLiteral(" 年"));
    edit->setRange(std::max(1, calendar->minimumDate().year() - kRocYearOffset),
                   calendar->maximumDate().year() - kRocYearOffset);
    edit->setFont(qtYear->font());
    edit->hide();
    row->insertWidget(row->indexOf(month), year);
    qtYear->hide();

    auto show = [year](int gregorianYear) { year->setText(RocYearText(gregorianYear)); };
    show(calendar->yearShown());
    QObject::connect(calendar, &QCalendarWidget::currentPageChanged, year, [show](int y, int) { show(y); });
    QObject::connect(year, &QToolButton::clicked, edit, [year, edit, calendar] {
        edit->setValue(calendar->yearShown() - kRocYearOffset);
        edit->setGeometry(year->x(), year->y(), std::max(year->width(), edit->sizeHint().width()), year->height());
        year->hide();
        edit->show();
        edit->raise();
        edit->selectAll();
        edit->setFocus(Qt::MouseFocusReason);
    });
    QObject::connect(edit, &QSpinBox::editingFinished, calendar, [year, edit, calendar] {
        if (!edit->isVisible())
            return;
        edit->hide();
        year->show();
        calendar->setCurrentPage(edit->value() + kRocYearOffset, calendar->monthShown());
        year->setText(RocYearText(calendar->yearShown()));
    });
}

} // namespace

QLocale SuiteLocale()
{
    return QLocale(QLocale::Chinese, QLocale::Taiwan);
}

std::optional<QCalendar> RocCalendar()
{
    // By the names CLDR and the calendar systems use for it.
    for (const char* name : {"Roc", "roc", "ROC", "Minguo"}) {
        const QCalendar roc(QLatin1StringView{name});
        if (roc.isValid())
            return roc;
    }
    return std::nullopt;
}

void SetUpDatePicker(QCalendarWidget* calendar)
{
    if (!calendar || calendar->property(kSetUp).toBool())
        return;
    calendar->setProperty(kSetUp, true);
    // Another locale may start the week on another day: the view keeps its
    // highlighted cell, which would then show another date than the one
    // selected, so the date is selected again.
    const QDate selected = calendar->selectedDate();
    calendar->setLocale(SuiteLocale());
    if (const auto roc = RocCalendar())
        calendar->setCalendar(*roc);
    else
        ShowRocYear(calendar);
    calendar->setSelectedDate(selected);
}

} // namespace qtmv
