#pragma once
// The arithmetic of time lines: the time a line consumed, totals, and the
// quantity figures shown beside the grid.
#include <string>
#include <string_view>
#include <vector>

namespace qtmv::presched {

// What a line's start and end cells ("yyymmdd HHMM") amount to.
struct LineTime {
    enum class State {
        Empty,   // neither start nor end: no time
        Open,    // a start without an end: the work goes on
        Done,    // both: minutes is the time consumed (never negative)
        Invalid, // problem says why, in the user's words
    };
    State state = State::Empty;
    long long minutes = 0;
    std::string problem;
};

// Start and end of one line. An end before its start, an end without a
// start and a cell that is not a date-time are Invalid: stored as negative
// or guessed time they would corrupt every total built on them.
LineTime LineTimeOf(std::string_view start, std::string_view end);

// The line's 耗時 cell: hours with two decimals ("1.75"); "" unless Done.
std::string LineHours(const LineTime& t);
// The display text beside it: "1時45分"; "" unless Done.
std::string LineHoursText(const LineTime& t);

// The quantity figures of one line or of the whole record.
struct Quantities {
    double standard = 0;   // what the machine's hourly capacity gives in the time consumed
    double actual = 0;     // completed quantity
    double difference = 0; // actual - standard
    double points = 0;     // actual as a percentage of standard, two decimals; 0 without a standard
};

// Standard quantity = hourly capacity x hours consumed, to whole sheets.
double StandardQuantity(double perHour, long long minutes);
Quantities QuantitiesOf(double standard, double actual);

// The output value of a printing line, as a print shop prices press work:
// by the ream-colour (one colour printed on one side of a ream, 500 full
// sheets). value = reams x colours x sides x price per ream-colour, to
// whole dollars; a run shorter than a ream is charged as one ream, since
// make-ready costs the same however few sheets follow.
inline constexpr double kSheetsPerReam = 500;
double ReamsOf(double sheets);   // two decimals
double PrintingValue(double reams, double colours, double sides, double pricePerReamColour);

// Messages of the time checks.
inline constexpr const char* kEndBeforeStart = "「結束」早於「開始」，請重新輸入!";
inline constexpr const char* kEndWithoutStart = "請先輸入「開始」!";
inline constexpr const char* kBadStart = "「開始」須為 年月日 時分，例如 1131204 0830!";
inline constexpr const char* kBadEnd = "「結束」須為 年月日 時分，例如 1131204 1015!";

// "0.00"-style text of a number (the defect rate, the labels' figures).
std::string TwoDecimals(double v);
// A whole number without decimals, as the quantity labels show it.
std::string WholeNumber(double v);

} // namespace qtmv::presched
