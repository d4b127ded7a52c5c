#include "platform/jet/Sql.h"

#include "platform/jet/Error.h"
#include "platform/jet/Value.h"

#include <charconv>
#include <cmath>

namespace jet {

std::string SqlText(std::string_view value)
{
    std::string out;
    out.reserve(value.size() + 2);
    for (const char c : value) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out;
}

std::string SqlNumber(double value)
{
    if (!std::isfinite(value))
        throw Error(Error::Kind::Usage, "數值超出範圍，無法寫入 SQL 陳述式：" + RealText(value));
    if (value == 0)
        return "0";
    if (std::trunc(value) == value && std::fabs(value) < 9007199254740992.0)
        return SqlNumber(static_cast<long long>(value));
    // The shortest digits that read back as the same number, never with an
    // exponent (a double has at most a few hundred digits in fixed form).
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

std::string SqlNumber(int value) { return SqlNumber(static_cast<long long>(value)); }
std::string SqlNumber(long value) { return SqlNumber(static_cast<long long>(value)); }

std::string SqlNumber(long long value)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

} // namespace jet
