#include "prescheduling/core/TimeMath.h"

#include <gtest/gtest.h>

#include <tuple>

namespace qtmv::presched {
namespace {

using State = LineTime::State;

TEST(LineTimeTest, MinutesHoursAndDisplayTextAndNoNegativeOrGuessedTime)
{
    const LineTime t = LineTimeOf("1131204 0830", "1131204 1015");
    ASSERT_EQ(t.state, State::Done);
    EXPECT_EQ(t.minutes, 105);
    EXPECT_EQ(LineHours(t), "1.75");
    EXPECT_EQ(LineHoursText(t), "1時45分");

    // Over a month end in a leap year, over a year end, none. (Over midnight:
    // the second line of TimeRecordTest's save.)
    for (const auto& [start, end, minutes] : {std::tuple{"1130229 2200", "1130301 0200", 240},
                                              {"1131231 2300", "1140101 0130", 150},
                                              {"1131204 0800", "1131204 0800", 0}})
        EXPECT_EQ(LineTimeOf(start, end).minutes, minutes) << start << " - " << end;

    // What would be negative or guessed time is refused.
    const LineTime back = LineTimeOf("1131204 1015", "1131204 0830");
    EXPECT_EQ(back.state, State::Invalid);
    EXPECT_EQ(back.problem, kEndBeforeStart);
    EXPECT_EQ(LineHours(back), "");

    for (const auto& [start, end, problem] : {std::tuple{"", "1131204 1015", kEndWithoutStart},
                                              {"1131204 2561", "", kBadStart},
                                              {"1131204 0830", "1131304 1015", kBadEnd}})
        EXPECT_EQ(LineTimeOf(start, end).problem, problem) << start << " - " << end;
    EXPECT_EQ(LineTimeOf("1131204 0830", "").state, State::Open);
    EXPECT_EQ(LineTimeOf(" ", "").state, State::Empty);
}

// A whole line's standard quantity and points: TimeRecordTest's save and
// TimeWindowTest's labels.
TEST(QuantitiesTest, StandardFromHourlyCapacityPointsAndThePrintingValue)
{
    EXPECT_EQ(StandardQuantity(1000, 20), 333); // whole sheets
    EXPECT_EQ(StandardQuantity(0, 105), 0);
    EXPECT_EQ(WholeNumber(QuantitiesOf(10500, 9450).difference), "-1050");
    EXPECT_EQ(QuantitiesOf(0, 500).points, 0); // no capacity record: no points rather than a division by zero

    // A printing line's value: reams, colours, sides and price, with a one-ream minimum.
    EXPECT_EQ(PrintingValue(18.9, 4, 2, 120), 18144);   // 18.9 reams, 4 colours, both sides
    EXPECT_EQ(PrintingValue(0.4, 1, 1, 300), 300);      // a short run is charged as one ream
    EXPECT_EQ(PrintingValue(18.9, 0, 1, 120), 0);       // nothing to charge without colours
}

} // namespace
} // namespace qtmv::presched
