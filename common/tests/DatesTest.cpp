#include "common/RocDate.h"

#include <gtest/gtest.h>

#include <utility>

using namespace qtmv;

TEST(TodayDates, MonthEndsAndShortYears)
{
    const FixedClock today({2024, 12, 4, 14, 5, 0});
    EXPECT_EQ(TodayRoc7(today) + " " + TodayRocSlashed(today) + " " + FirstOfMonthRoc7(today) + " " + FinishStamp(today),
              "1131204 113/12/04 1131201 1204-14");
    // 2100 is not a leap year.
    const std::pair<DateTime, const char*> months[] = {
        {{2024, 12, 4}, "1131231"}, {{2024, 2, 10}, "1130229"}, {{2023, 2, 28}, "1120228"}, {{2100, 2, 1}, "1890228"}, {{2024, 4, 30}, "1130430"}};
    for (const auto& [day, last] : months)
        EXPECT_EQ(LastOfMonthRoc7(FixedClock(day)), last) << day.year << "-" << day.month;
    // A two-digit ROC year is zero-padded in the seven-character form only.
    const FixedClock clock({2010, 1, 5, 9, 0, 0});
    EXPECT_EQ(TodayRoc7(clock), "0990105");
    EXPECT_EQ(TodayRocSlashed(clock), "99/01/05");
    EXPECT_EQ(FinishStamp(clock), "0105-09");
}

TEST(FinishDates, StampsAndDatesMeanMomentsAndPrintAlike)
{
    // A stamp takes the latest year that does not put it after today.
    const DateTime jan6{2027, 1, 6, 8, 0, 0};
    EXPECT_EQ(FinishMoment("0105-10", jan6), (DateTime{2027, 1, 5, 10}));
    EXPECT_EQ(FinishMoment("1231-17", jan6), (DateTime{2026, 12, 31, 17}));
    EXPECT_EQ(FinishMoment("0106-23", jan6), (DateTime{2027, 1, 6, 23}));   // today, later hour: still today
    EXPECT_EQ(FinishMoment(" 1151231 ", jan6), (DateTime{2026, 12, 31}));
    for (const char* neither : {"", "1305-10", "0105-24", "0105_10", "115123", "abc"})
        EXPECT_FALSE(FinishMoment(neither, jan6).has_value()) << neither;

    // Printed, both forms read as the date they mean.
    EXPECT_EQ(FinishDateRoc7("1231-17", jan6), "1151231");
    EXPECT_EQ(FinishDateRoc7("1151231", jan6), "1151231");
    EXPECT_EQ(FinishDateRoc7("見備註", jan6), "見備註");
}

TEST(CheckRocDate, ValidAndInvalidFormsAndExpectedLength)
{
    // "991204": a two-digit year; "0000101": no year 0 in the ROC calendar.
    for (const char* valid : {"1130229", "", "11302", "991204", "991231"})
        EXPECT_EQ(CheckRocDate(valid), 0) << valid;
    for (const char* invalid : {"1130230", "1120229", "11313", "991232", "1131300", "1131200", "0000101", "113 204",
                                "113-2-1", "1131", "11312041", "一一三一二"})
        EXPECT_EQ(CheckRocDate(invalid), 9) << invalid;
    const struct { const char* date; const char* length; int result; } withLength[] = {
        {"1131204", "7", 0}, {"991204", "7", 9}, {"", "7", 9}, {"11312", "5", 0}};
    for (const auto& c : withLength)
        EXPECT_EQ(CheckRocDate(c.date, c.length), c.result) << c.date << " of length " << c.length;
}

TEST(PadDateText, AddsOneZeroOnlyWhenOneShort)
{
    // Text, width (0: the default 7), padded.
    const struct { const char* text; int width; const char* padded; } cases[] = {
        {"991204", 7, "0991204"}, {"0991204", 7, "0991204"}, {"91204", 7, "91204"},
        {"", 1, "0"},             {"99120", 0, "99120"},     {"1131", 5, "01131"}};
    for (const auto& c : cases) {
        std::string s = c.text;
        PadDateText(s, c.width);
        EXPECT_EQ(s, c.padded) << c.text << " to " << c.width;
    }
}

TEST(WorkTime, MinutesAndDisplayOfOneLine)
{
    const auto start = ParseRocDateTime("1131204 0830");
    const auto end = ParseRocDateTime("1131204 1015");
    ASSERT_TRUE(start && end);
    const long long minutes = MinutesBetween(*start, *end);
    EXPECT_EQ(minutes, 105);
    EXPECT_EQ(HoursText(minutes), "1.75");
    EXPECT_EQ(HoursMinutesText(minutes), "1時45分");
    EXPECT_EQ(HoursMinutesText(0), "0時0分");
    EXPECT_EQ(HoursMinutesText(-105), "-1時45分");
    EXPECT_EQ(HoursText(1), "0.02");
    EXPECT_EQ(HoursText(-20), "-0.33");
    EXPECT_EQ(FormatMonthDayTime(*start), "12/04 08:30");
    // Sunday is 1: 1 December 2024 a Sunday, the 4th a Wednesday, the 7th a
    // Saturday; 29 February 2000 a Tuesday.
    const std::pair<DateTime, int> weekdays[] = {{{2024, 12, 1}, 1}, {{2024, 12, 4}, 4}, {{2024, 12, 7}, 7}, {{2000, 2, 29}, 3}};
    for (const auto& [day, weekday] : weekdays)
        EXPECT_EQ(Weekday(day), weekday) << day.year << "-" << day.month << "-" << day.day;
}

TEST(WorkTime, NightShiftsMonthEndsAndRefusedCells)
{
    const auto start = ParseRocDateTime("1131231 2200");
    const auto end = ParseRocDateTime(" 1140101  0130 ");
    ASSERT_TRUE(start && end);
    EXPECT_EQ(MinutesBetween(*start, *end), 210);
    EXPECT_EQ(MinutesBetween(*end, *start), -210);
    EXPECT_EQ(AddMinutes(*start, 210), *end);
    EXPECT_EQ(AddMinutes(*end, -210), *start);
    EXPECT_EQ(FormatRocDateTime(AddMinutes(*start, 120)), "1140101 0000");
    EXPECT_EQ(FormatRocDateTime(AddDays(*start, 60)), "1140301 2200");
    EXPECT_EQ(DaysBetween(*start, AddDays(*start, 60)), 60);

    const auto midnight = ParseRocDateTime("1131204 2400");
    ASSERT_TRUE(midnight);
    EXPECT_EQ(FormatRocDateTime(*midnight), "1131205 0000");
    for (const char* cell : {"", "1131204", "11312040830", "1131204 2401", "1131204 0860", "1130230 0800",
                             "1131204 8:30"})
        EXPECT_FALSE(ParseRocDateTime(cell)) << cell;
}

