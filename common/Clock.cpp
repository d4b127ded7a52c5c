#include "common/Clock.h"

#include "common/RocDate.h"

#include <ctime>

namespace qtmv {

DateTime SystemClock::now() const
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void FixedClock::advanceMinutes(long long minutes) { t_ = AddMinutes(t_, minutes); }

const Clock& TheSystemClock()
{
    static const SystemClock clock;
    return clock;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool IsValidDateTime(const DateTime& t)
{
    return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1
        && t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0
        && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

} // namespace qtmv
