#include "Calendar.h"

#include <cstdio>

namespace qtmv::demo {

// The civil-calendar conversions of H. Hinnant's date algorithms.
int DayNumber(Date d)
{
    const int y = d.year - (d.month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = d.month + (d.month > 2 ? -3 : 9);
    const int doy = (153 * mp + 2) / 5 + d.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date DateOf(int z)
{
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int day = doy - (153 * mp + 2) / 5 + 1;
    const int month = mp + (mp < 10 ? 3 : -9);
    return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

bool IsValid(Date d)
{
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31)
        return false;
    const Date back = DateOf(DayNumber(d));
    return back.year == d.year && back.month == d.month && back.day == d.day;
}

std::string Roc7(int day)
{
    const Date d = DateOf(day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d%02d%02d", d.year - 1911, d.month, d.day);
    return buf;
}

std::string RocMonth(int day)
{
    const Date d = DateOf(day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d%02d", d.year - 1911, d.month);
    return buf;
}

std::string FinishStamp(int day, int hour)
{
    const Date d = DateOf(day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d-%02d", d.month, d.day, hour);
    return buf;
}

std::string RocDateTime(int day, int minuteOfDay)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%s %02d%02d", Roc7(day).c_str(), minuteOfDay / 60, minuteOfDay % 60);
    return buf;
}

} // namespace qtmv::demo
