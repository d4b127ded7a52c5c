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

// How the date picker looks is DatePickerTest's; here every calendar gets it.
TEST_F(SuiteLocale, ChineseTaiwanAndEveryCalendarInRocYears)
{
    UseSuiteLocale(*qApp);
    EXPECT_EQ(QLocale().name(), QStringLiteral("zh_TW"));

    // As a window makes its date picker: a plain calendar in a dialog.
    QDialog dlg;
    auto* cal = new QCalendarWidget(&dlg);
    (new QVBoxLayout(&dlg))->addWidget(cal);
    dlg.show();
    // Qt's own ROC calendar, or the picker's ROC year in place of Qt's.
    EXPECT_TRUE(RocCalendar() ? cal->calendar().name() == RocCalendar()->name()
                              : cal->findChildren<QToolButton*>("qtmv_calendar_rocyear").size() == 1);
}
