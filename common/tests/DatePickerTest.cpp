// The suite's date picker: Chinese names and years in the ROC calendar.
#include "common/ui/DatePicker.h"
#include "platform/ui/tests/TestApp.h"

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace qtmv;

namespace {

class DatePicker : public ::testing::Test, protected qtmv::test::WithApp {};

} // namespace

TEST_F(DatePicker, ChineseNamesAndRocYears)
{
    QCalendarWidget c;
    c.setLocale(QLocale(QLocale::German, QLocale::Germany)); // weeks from Monday
    c.setSelectedDate(QDate(2026, 12, 7));
    SetUpDatePicker(&c);
    SetUpDatePicker(&c); // once is enough: a second call adds nothing
    c.show();
    EXPECT_EQ(c.locale(), QLocale(QLocale::Chinese, QLocale::Taiwan));
    EXPECT_EQ(c.findChild<QToolButton*>("qt_calendar_monthbutton")->text(), QStringLiteral("12月"));
    // The captions of the day columns, as the calendar's header shows them.
    const auto* view = c.findChild<QTableView*>();
    QStringList captions;
    for (int col = 0; col < view->model()->columnCount(); ++col)
        captions << view->model()->index(0, col).data().toString();
    EXPECT_TRUE(captions.contains(QStringLiteral("週一"))) << captions.join(' ').toStdString();
    EXPECT_EQ(c.selectedDate(), QDate(2026, 12, 7));
    // The view highlights that day, whatever day the week starts on.
    const QModelIndexList cells = view->selectionModel()->selectedIndexes();
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells.front().data().toInt(), 7);
    if (RocCalendar()) {
        EXPECT_EQ(c.calendar().name(), RocCalendar()->name());
        return;
    }
    // This Qt counts in Gregorian years: the year is shown in ROC years in
    // place of Qt's own, and no Gregorian year is left to read.
    const auto years = c.findChildren<QToolButton*>("qtmv_calendar_rocyear");
    ASSERT_EQ(years.size(), 1);
    QToolButton* year = years.front();
    EXPECT_EQ(year->text(), QStringLiteral("民國 115 年"));
    EXPECT_TRUE(year->isVisible());
    EXPECT_FALSE(c.findChild<QToolButton*>("qt_calendar_yearbutton")->isVisible());
    // In front of the month, as a Chinese date reads.
    EXPECT_LT(year->x(), c.findChild<QToolButton*>("qt_calendar_monthbutton")->x());

    // Turning the page into the next year follows it.
    QTest::mouseClick(c.findChild<QToolButton*>("qt_calendar_nextmonth"), Qt::LeftButton);
    EXPECT_EQ(c.yearShown(), 2027);
    EXPECT_EQ(year->text(), QStringLiteral("民國 116 年"));

    // A click on the year edits it in ROC years.
    QTest::mouseClick(year, Qt::LeftButton);
    auto* edit = c.findChild<QSpinBox*>("qtmv_calendar_rocyearedit");
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), QStringLiteral("民國 116 年"));
    edit->setValue(113);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(year->isVisible());
    EXPECT_EQ(c.yearShown(), 2024);
    EXPECT_EQ(c.monthShown(), 1);
    EXPECT_EQ(year->text(), QStringLiteral("民國 113 年"));
}
