#pragma once
// Dates of the Republic of China calendar (year = Gregorian year - 1911) as
// the entry fields and lists show them, the finish stamp of the process
// grids, and the date-time arithmetic of the time-consumption lines.
//
//   seven-character date  yyymmdd   "1131204" (year 99 is "099")
//   slashed date          y/mm/dd   "113/12/04" (year without leading zeros)
//   year-month            yyymm     "11312"
//   start/end cell        yyymmdd HHMM   "1131204 0830"
#include "common/Clock.h"

#include <optional>
#include <string>
#include <string_view>

namespace qtmv {

// --- Today ---------------------------------------------------------------

// Today as a seven-character date: 1131204 on 2024-12-04.
std::string TodayRoc7(const Clock& clock);
// Today as a slashed date: 113/12/04.
std::string TodayRocSlashed(const Clock& clock);
// The first day of the current month: 1131201.
std::string FirstOfMonthRoc7(const Clock& clock);
// The last day of the current month: 1131231; 1130229 in February 2024.
std::string LastOfMonthRoc7(const Clock& clock);

// The same forms of any date (its time is ignored).
std::string Roc7(const DateTime& date);
std::string RocSlashed(const DateTime& date);

// The finish stamp written into a "完工日" cell: two-digit month and day,
// "-", two-digit hour. "1204-14" on 4 December at 14:05.
std::string FinishStamp(const DateTime& now);
std::string FinishStamp(const Clock& clock);

// A "完工日" text as the moment it means. The column holds two forms: the
// finish stamp of a grid click ("1207-05", no year) and the completion date
// the time window stores ("1151207", no hour). The stamp's year is the
// latest that does not put it after `today` (a stamp is never made in the
// future); a date without hour counts as the start of its day. nullopt for
// an empty text or one of neither form.
std::optional<DateTime> FinishMoment(std::string_view text, const DateTime& today);

// A "完工日" text as the seven-character date it means ("1207-05" printed
// on 2026-12-08 is "1151207"), so a printed date column reads alike
// whichever way the piece was finished; any other text as it is.
std::string FinishDateRoc7(std::string_view text, const DateTime& today);

// --- Typed dates ---------------------------------------------------------

// 0 when the text is a valid date or empty, 9 otherwise. Accepted forms by
// length: 5 yyymm, 6 yymmdd (two-digit year), 7 yyymmdd; only ASCII digits,
// and the ROC year must be at least 1. When expectedLength is not empty
// (its leading number is the length) a text of another length is 9.
int CheckRocDate(std::string_view text, std::string_view expectedLength = {});

// A text exactly one character shorter than width is left-padded with one
// "0" ("991204" becomes "0991204"); anything else stays. A width below 1
// means 7.
void PadDateText(std::string& text, int width = 7);

// The date of a seven-character (or six-character, two-digit year) text;
// nullopt when CheckRocDate refuses it or it is empty.
std::optional<DateTime> ParseRoc7(std::string_view text);

// --- Date-time arithmetic --------------------------------------------------

// The date-time of a start or end cell "yyymmdd HHMM" (blanks around and
// between the two parts are allowed). "2400" is accepted as the end of the
// day, i.e. 00:00 of the next day. nullopt for anything else.
std::optional<DateTime> ParseRocDateTime(std::string_view cell);
// Back to the cell form "yyymmdd HHMM".
std::string FormatRocDateTime(const DateTime& t);

// Whole minutes from `from` to `to` (negative when `to` is earlier);
// seconds are ignored, as the cells carry none.
long long MinutesBetween(const DateTime& from, const DateTime& to);
// Whole days between the two dates (times ignored).
long long DaysBetween(const DateTime& from, const DateTime& to);
DateTime AddMinutes(const DateTime& t, long long minutes);
DateTime AddDays(const DateTime& t, long long days);
// Day of the week, Sunday = 1 .. Saturday = 7 (the numbering of the suite's
// reports).
int Weekday(const DateTime& t);
// "MM/DD HH:NN": "12/04 08:30".
std::string FormatMonthDayTime(const DateTime& t);

// The display text of a time consumed: whole hours, "時", remaining minutes,
// "分". 105 minutes is "1時45分", 0 is "0時0分"; a negative span keeps one
// leading "-" ("-1時45分").
std::string HoursMinutesText(long long minutes);
// Hours with two decimals: 105 minutes is "1.75".
std::string HoursText(long long minutes);

} // namespace qtmv
