// The program's locale as start-up sets it: Chinese (Taiwan), and every
// calendar a window shows counts years in ROC years without being asked.
#include "app/ui/SuiteLocale.h"
#include "common/ui/DatePicker.h"
#include "platform/ui/tests/TestApp.h"

#include <QCalendarWidget>
#include <QDialog>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace qtmv;

namespace {

class SuiteLocale : public ::testing::Test, protected qtmv::test::WithApp {};

} // namespace

TEST_F(SuiteLocale, ChineseTaiwanAndEveryCalendarInRocYears)
{
    UseSuiteLocale(*qApp);
    EXPECT_EQ(QLocale().name(), QStringLiteral("zh_TW"));
    EXPECT_EQ(QLocale().monthName(12), QStringLiteral("12月"));
    EXPECT_EQ(QLocale().dayName(1), QStringLiteral("星期一"));

    // As a window makes its date picker: a plain calendar in a dialog.
    QDialog dlg;
    auto* cal = new QCalendarWidget(&dlg);
    (new QVBoxLayout(&dlg))->addWidget(cal);
    cal->setSelectedDate(QDate(2026, 12, 7));
    dlg.show();
    EXPECT_EQ(cal->findChild<QToolButton*>("qt_calendar_monthbutton")->text(), QStringLiteral("12月"));
    if (RocCalendar()) {
        EXPECT_EQ(cal->calendar().name(), RocCalendar()->name());
        return;
    }
    const auto* year = cal->findChild<QToolButton*>("qtmv_calendar_rocyear");
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(year->text(), QStringLiteral("民國 115 年"));
    EXPECT_FALSE(cal->findChild<QToolButton*>("qt_calendar_yearbutton")->isVisible());
}
