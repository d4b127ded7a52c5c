#include "platform/jet/Value.h"

#include "platform/text/Text.h"

namespace jet {

std::string RealText(double v) { return qtmv::RealText(v); }

std::string IntegerText(long long v) { return qtmv::IntegerText(v); }

std::string Value::text() const
{
    switch (v_.index()) {
    case 1: return IntegerText(std::get<1>(v_));
    case 2: return RealText(std::get<2>(v_));
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
