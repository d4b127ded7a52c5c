#include "prescheduling/core/TimeMath.h"

#include "common/RocDate.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qtmv::presched {

LineTime LineTimeOf(std::string_view start, std::string_view end)
{
    const std::string s = qtmv::Trim(start);
    const std::string e = qtmv::Trim(end);
    LineTime t;
    if (s.empty() && e.empty())
        return t;
    const auto from = s.empty() ? std::nullopt : ParseRocDateTime(s);
    if (!s.empty() && !from) {
        t.state = LineTime::State::Invalid;
        t.problem = kBadStart;
        return t;
    }
    if (e.empty()) {
        t.state = LineTime::State::Open;
        return t;
    }
    const auto to = ParseRocDateTime(e);
    if (!to) {
        t.state = LineTime::State::Invalid;
        t.problem = kBadEnd;
        return t;
    }
    if (!from) {
        t.state = LineTime::State::Invalid;
        t.problem = kEndWithoutStart;
        return t;
    }
    const long long minutes = MinutesBetween(*from, *to);
    if (minutes < 0) {
        t.state = LineTime::State::Invalid;
        t.problem = kEndBeforeStart;
        return t;
    }
    t.state = LineTime::State::Done;
    t.minutes = minutes;
    return t;
}

std::string LineHours(const LineTime& t)
{
    return t.state == LineTime::State::Done ? HoursText(t.minutes) : std::string();
}

std::string LineHoursText(const LineTime& t)
{
    return t.state == LineTime::State::Done ? HoursMinutesText(t.minutes) : std::string();
}

double StandardQuantity(double perHour, long long minutes)
{
    if (perHour <= 0 || minutes <= 0)
        return 0;
    return std::round(perHour * static_cast<double>(minutes) / 60.0);
}

Quantities QuantitiesOf(double standard, double actual)
{
    Quantities q;
    q.standard = standard;
    q.actual = actual;
    q.difference = actual - standard;
    q.points = standard > 0 ? std::round(actual / standard * 10000.0) / 100.0 : 0;
    return q;
}

double ReamsOf(double sheets)
{
    return sheets > 0 ? std::round(sheets / kSheetsPerReam * 100.0) / 100.0 : 0;
}

double PrintingValue(double reams, double colours, double sides, double pricePerReamColour)
{
    if (reams <= 0 || colours <= 0 || sides <= 0 || pricePerReamColour <= 0)
        return 0;
    return std::round(std::max(reams, 1.0) * colours * sides * pricePerReamColour);
}

std::string TwoDecimals(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    return s == "-0.00" ? "0.00" : s;
}

std::string WholeNumber(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", v);
    std::string s = buf;
    return s == "-0" ? "0" : s;
}

} // namespace qtmv::presched
