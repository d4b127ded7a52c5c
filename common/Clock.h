#pragma once
// Local date and time as the plant reads it off the workstation clock, and
// the clock the date helpers ask for "now". Windows hold a Clock reference
// (normally TheSystemClock()) so that tests can put them on a fixed day.
#include <compare>

namespace qtmv {

// A Gregorian calendar date with a time of day, local time, whole seconds.
struct DateTime {
    int year = 1900;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto operator<=>(const DateTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

// The workstation's local time.
class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

// A clock that stands still until it is set or moved; for tests.
class FixedClock final : public Clock {
public:
    explicit FixedClock(DateTime t) : t_(t) {}
    DateTime now() const override { return t_; }
    void set(DateTime t) { t_ = t; }
    void advanceMinutes(long long minutes);

private:
    DateTime t_;
};

// The one SystemClock; it holds no state.
const Clock& TheSystemClock();

// True when year/month/day is a real Gregorian date (years 1..9999) and the
// time fields are in range (hour 0-23, minute and second 0-59).
bool IsValidDateTime(const DateTime& t);

// Days in a Gregorian month (28..31); 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

} // namespace qtmv
