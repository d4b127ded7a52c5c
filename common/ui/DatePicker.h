#pragma once
// Date pickers the suite's way: Traditional Chinese (Taiwan) month and day
// names, and years counted in the Republic of China calendar (民國 115 is
// 2026), as every date the suite shows and takes.
#include <QCalendar>
#include <QLocale>

#include <optional>

class QCalendarWidget;

namespace qtmv {

// The locale of the suite's windows: Chinese, Taiwan.
QLocale SuiteLocale();

// Qt's own Republic of China calendar, where this Qt build has one (none up
// to Qt 6.4, whose calendars are Gregorian, Julian, Milankovic, Jalali and
// Islamic civil).
std::optional<QCalendar> RocCalendar();

// Sets the calendar up: the suite's locale (month menu "12月", day header
// "週一"), and the year in ROC years. With Qt's ROC calendar the widget
// counts in it; without, its navigation bar shows "民國 115 年" in front of
// the month in place of Qt's Gregorian year button, and a click on it edits
// the ROC year. The selected dates stay Gregorian QDates either way. Calling
// it again on the same widget does nothing.
void SetUpDatePicker(QCalendarWidget* calendar);

} // namespace qtmv
