#include "common/RocDate.h"

#include "platform/text/Text.h"

#include <charconv>
#include <chrono>
#include <cstdio>

namespace qtmv {

namespace {

constexpr int kRocOffset = 1911;

std::string TwoDigits(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

// Leading number of a text of ASCII digits; -1 when any character is not a
// digit or the text is empty.
int DigitsValue(std::string_view s)
{
    if (s.empty())
        return -1;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}


// Code points in a UTF-8 text (continuation bytes are not counted).
std::size_t CharCount(std::string_view s)
{
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

std::chrono::sys_days ToDays(const DateTime& t)
{
    return std::chrono::sys_days{std::chrono::year{t.year} / std::chrono::month{unsigned(t.month)}
                                 / std::chrono::day{unsigned(t.day)}};
}

DateTime FromDays(std::chrono::sys_days d, int hour, int minute, int second)
{
    const std::chrono::year_month_day ymd{d};
    return DateTime{int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())),
                    hour, minute, second};
}

long long MinuteNumber(const DateTime& t)
{
    return static_cast<long long>(ToDays(t).time_since_epoch().count()) * 1440 + t.hour * 60
        + t.minute;
}

} // namespace

std::string Roc7(const DateTime& d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%07d", (d.year - kRocOffset) * 10000 + d.month * 100 + d.day);
    return buf;
}

std::string RocSlashed(const DateTime& d)
{
    return std::to_string(d.year - kRocOffset) + "/" + TwoDigits(d.month) + "/" + TwoDigits(d.day);
}

std::string TodayRoc7(const Clock& clock) { return Roc7(clock.now()); }

std::string TodayRocSlashed(const Clock& clock) { return RocSlashed(clock.now()); }

std::string FirstOfMonthRoc7(const Clock& clock)
{
    DateTime d = clock.now();
    d.day = 1;
    return Roc7(d);
}

std::string LastOfMonthRoc7(const Clock& clock)
{
    DateTime d = clock.now();
    d.day = DaysInMonth(d.year, d.month);
    return Roc7(d);
}

std::string FinishStamp(const DateTime& now)
{
    return TwoDigits(now.month) + TwoDigits(now.day) + "-" + TwoDigits(now.hour);
}

std::string FinishStamp(const Clock& clock) { return FinishStamp(clock.now()); }

int CheckRocDate(std::string_view text, std::string_view expectedLength)
{
    if (!expectedLength.empty()) {
        // The expected length comes as text; its leading number counts.
        std::string_view e = TrimView(expectedLength);
        int want = 0;
        const auto [p, ec] = std::from_chars(e.data(), e.data() + e.size(), want);
        (void)p;
        if (ec == std::errc() && static_cast<std::size_t>(want) != CharCount(text))
            return 9;
    }
    if (text.empty())
        return 0;
    int year = -1, month = -1, day = 1;
    switch (text.size()) {
    case 5:
        year = DigitsValue(text.substr(0, 3));
        month = DigitsValue(text.substr(3, 2));
        break;
    case 6:
    case 7: {
        const std::size_t y = text.size() - 4;
        year = DigitsValue(text.substr(0, y));
        month = DigitsValue(text.substr(y, 2));
        day = DigitsValue(text.substr(y + 2, 2));
        break;
    }
    default: return 9;
    }
    if (year < 1 || month < 0 || day < 0)
        return 9;
    const DateTime d{year + kRocOffset, month, day};
    return IsValidDateTime(d) ? 0 : 9;
}

void PadDateText(std::string& text, int width)
{
    if (width < 1)
        width = 7;
    if (CharCount(text) + 1 == static_cast<std::size_t>(width))
        text.insert(text.begin(), '0');
}

std::optional<DateTime> ParseRoc7(std::string_view text)
{
    if ((text.size() != 6 && text.size() != 7) || CheckRocDate(text) != 0)
        return std::nullopt;
    const std::size_t y = text.size() - 4;
    return DateTime{DigitsValue(text.substr(0, y)) + kRocOffset, DigitsValue(text.substr(y, 2)),
                    DigitsValue(text.substr(y + 2, 2))};
}

namespace {

// "MMDD-HH" with a real month, day and hour; {month, day, hour}.
std::optional<DateTime> ParseStamp(std::string_view t)
{
    if (t.size() != 7 || t[4] != '-')
        return std::nullopt;
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u})
        if (t[i] < '0' || t[i] > '9')
            return std::nullopt;
    const int month = DigitsValue(t.substr(0, 2)), day = DigitsValue(t.substr(2, 2)), hour = DigitsValue(t.substr(5, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23)
        return std::nullopt;
    return DateTime{0, month, day, hour};
}

} // namespace

std::optional<DateTime> FinishMoment(std::string_view text, const DateTime& today)
{
    text = TrimView(text);
    if (auto d = ParseRoc7(text); d && text.size() == 7)
        return d;
    auto stamp = ParseStamp(text);
    if (!stamp)
        return std::nullopt;
    stamp->year = today.year;
    if (DateTime{stamp->year, stamp->month, stamp->day} > DateTime{today.year, today.month, today.day})
        --stamp->year;
    return stamp;
}

std::string FinishDateRoc7(std::string_view text, const DateTime& today)
{
    if (const auto moment = FinishMoment(text, today))
        return Roc7(*moment);
    return std::string(text);
}

std::optional<DateTime> ParseRocDateTime(std::string_view cell)
{
    cell = TrimView(cell);
    const std::size_t blank = cell.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    const std::string_view datePart = cell.substr(0, blank);
    const std::string_view timePart = TrimView(cell.substr(blank));
    if (datePart.size() != 7 || timePart.size() != 4)
        return std::nullopt;
    std::optional<DateTime> d = ParseRoc7(datePart);
    const int hour = DigitsValue(timePart.substr(0, 2));
    const int minute = DigitsValue(timePart.substr(2, 2));
    if (!d || hour < 0 || minute < 0)
        return std::nullopt;
    if (hour == 24 && minute == 0)
        return AddDays(*d, 1); // "2400": the end of the day
    d->hour = hour;
    d->minute = minute;
    if (!IsValidDateTime(*d))
        return std::nullopt;
    return d;
}

std::string FormatRocDateTime(const DateTime& t)
{
    return Roc7(t) + " " + TwoDigits(t.hour) + TwoDigits(t.minute);
}

long long MinutesBetween(const DateTime& from, const DateTime& to)
{
    return MinuteNumber(to) - MinuteNumber(from);
}

long long DaysBetween(const DateTime& from, const DateTime& to)
{
    return static_cast<long long>((ToDays(to) - ToDays(from)).count());
}

DateTime AddMinutes(const DateTime& t, long long minutes)
{
    const long long total = MinuteNumber(t) + minutes;
    long long days = total / 1440;
    long long rest = total % 1440;
    if (rest < 0) {
        rest += 1440;
        --days;
    }
    return FromDays(std::chrono::sys_days{std::chrono::days{days}}, int(rest / 60), int(rest % 60),
                    t.second);
}

DateTime AddDays(const DateTime& t, long long days)
{
    return FromDays(ToDays(t) + std::chrono::days{days}, t.hour, t.minute, t.second);
}

int Weekday(const DateTime& t)
{
    return static_cast<int>(std::chrono::weekday{ToDays(t)}.c_encoding()) + 1;
}

std::string FormatMonthDayTime(const DateTime& t)
{
    return TwoDigits(t.month) + "/" + TwoDigits(t.day) + " " + TwoDigits(t.hour) + ":"
        + TwoDigits(t.minute);
}

std::string HoursMinutesText(long long minutes)
{
    // Whole hours by integer division: 105 minutes are 1 hour and 45
    // minutes, not a rounded 2 hours.
    const bool negative = minutes < 0;
    const long long m = negative ? -minutes : minutes;
    return (negative ? "-" : "") + std::to_string(m / 60) + "時" + std::to_string(m % 60) + "分";
}

std::string HoursText(long long minutes)
{
    // Exact in hundredths of an hour, rounded half away from zero.
    const bool negative = minutes < 0;
    const long long m = negative ? -minutes : minutes;
    const long long hundredths = (m * 100 + 30) / 60;
    if (hundredths == 0)
        return "0.00";
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld", negative ? "-" : "", hundredths / 100,
                  hundredths % 100);
    return buf;
}

} // namespace qtmv
