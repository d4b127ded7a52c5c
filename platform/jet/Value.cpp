#include "platform/jet/Value.h"

#include "platform/text/Text.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace jet {

std::string realText(double v)
{
    if (v == 0)
        return "0";
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v < 0 ? "-Infinity" : "Infinity";
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    std::string out(buf, r.ptr);
    // Jet writes the exponent with a capital E: 1E+15, 1E-05.
    if (const auto e = out.find('e'); e != std::string::npos)
        out[e] = 'E';
    return out;
}

std::string integerText(long long v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Value::text() const
{
    switch (v_.index()) {
    case 1: return integerText(std::get<1>(v_));
    case 2: return realText(std::get<2>(v_));
    case 3: return std::get<3>(v_);
    default: return std::string();
    }
}

std::string Value::trimmed() const
{
    if (const std::string* t = textIf())
        return qtmv::Trim(*t);
    return text();
}

double Value::number() const
{
    switch (v_.index()) {
    case 1: return static_cast<double>(std::get<1>(v_));
    case 2: return std::get<2>(v_);
    case 3: return qtmv::Val(std::get<3>(v_));
    default: return 0;
    }
}

} // namespace jet
