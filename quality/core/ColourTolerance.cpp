#include "quality/core/ColourTolerance.h"

#include "common/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace qtmv::quality {

namespace {

// As the cells show it.
double Shown(double v) { return RoundNumber(v, 2); }
std::string Two(double v) { return FormatFixed(v, 2); }

} // namespace

Measured MeasuredOf(std::string_view l, std::string_view a, std::string_view b, std::string_view difference,
                    std::string_view density)
{
    return {LabFromTexts(l, a, b), MeasuredNumber(difference), MeasuredNumber(density)};
}

std::vector<std::string> Directions(const Lab& target, const Lab& measured)
{
    struct Lean {
        double delta;
        const char* more;
        const char* less;
    };
    std::array<Lean, 3> leans{{{measured.L - target.L, "偏亮", "偏暗"},
                               {measured.a - target.a, "偏紅", "偏綠"},
                               {measured.b - target.b, "偏黃", "偏藍"}}};
    std::stable_sort(leans.begin(), leans.end(),
                     [](const Lean& x, const Lean& y) { return std::abs(x.delta) > std::abs(y.delta); });
    const double largest = std::abs(leans[0].delta);
    std::vector<std::string> out;
    for (const Lean& l : leans)
        if (largest > 0 && std::abs(l.delta) >= largest / 2)
            out.push_back(l.delta > 0 ? l.more : l.less);
    return out;
}

std::optional<double> ShownDifference(const Measured& m, const Lab* target)
{
    if (target && m.lab)
        return Shown(Ciede2000(*target, *m.lab));
    return m.difference ? std::optional<double>(Shown(*m.difference)) : std::nullopt;
}

ToleranceCheck CheckTolerance(const Measured& m, const TargetColour& target)
{
    ToleranceCheck c;
    const Tolerances& t = target.tolerances;
    if (t.difference)
        c.difference = ShownDifference(m, &target.lab);
    if (c.difference) {
        c.differenceLimit = Shown(*t.difference);
        const double excess = Shown(*c.difference - c.differenceLimit);
        if (excess > 0) {
            c.differenceExcess = excess;
            if (m.lab)
                c.directions = Directions(target.lab, *m.lab);
        }
    }
    if (t.density && t.densityTolerance && m.density) {
        c.density = Shown(*m.density);
        c.densityTarget = Shown(*t.density);
        c.densityLimit = Shown(std::abs(*t.densityTolerance));
        const double off = Shown(*c.density - c.densityTarget);
        const double beyond = Shown(std::abs(off) - c.densityLimit);
        if (beyond > 0)
            c.densityExcess = off > 0 ? beyond : -beyond;
    }
    return c;
}

namespace {

std::string Joined(const std::vector<std::string>& words)
{
    std::string out;
    for (const std::string& w : words)
        out += (out.empty() ? "" : "、") + w;
    return out;
}

const char* DensityLean(double excess) { return excess > 0 ? "偏高" : "偏低"; }

} // namespace

std::string ToleranceText(const ToleranceCheck& c)
{
    std::vector<std::string> parts;
    if (c.difference) {
        if (c.colourOut()) {
            std::string s = "色差 " + Two(*c.difference) + " 超出容許 " + Two(c.differenceLimit) + " 達 " +
                            Two(c.differenceExcess);
            if (!c.directions.empty())
                s += "，" + Joined(c.directions);
            parts.push_back(s);
        } else {
            parts.push_back("色差 " + Two(*c.difference) + " 在容許 " + Two(c.differenceLimit) + " 內");
        }
    }
    if (c.density) {
        const std::string band = Two(c.densityTarget) + "±" + Two(c.densityLimit);
        if (c.densityOut())
            parts.push_back("濃度 " + Two(*c.density) + " " + DensityLean(c.densityExcess) + "，超出 " + band + " 達 " +
                            Two(std::abs(c.densityExcess)));
        else
            parts.push_back("濃度 " + Two(*c.density) + " 在 " + band + " 內");
    }
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "；") + p;
    return out;
}

std::string ExcessText(const ToleranceCheck& c)
{
    std::string out;
    if (c.colourOut()) {
        out = "色差+" + Two(c.differenceExcess);
        if (!c.directions.empty())
            out += " " + Joined(c.directions);
    }
    if (c.densityOut())
        out += (out.empty() ? "" : "；") + std::string("濃度") + DensityLean(c.densityExcess) + " " +
               Two(std::abs(c.densityExcess));
    return out;
}

std::string OutOfToleranceMessage(int lines)
{
    return "此筆印刷數據有 " + std::to_string(lines) + " 列超出容許值（色差或濃度），請確認!";
}

} // namespace qtmv::quality
