#include "quality/core/ColourDifference.h"

#include "common/NumberFormat.h"
#include "platform/text/Text.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace qtmv::quality {

namespace {

constexpr double kPow25To7 = 6103515625.0; // 25^7

double Deg(double rad) { return rad * 180.0 / std::numbers::pi; }
double Rad(double deg) { return deg * std::numbers::pi / 180.0; }

// Hue angle in degrees, 0 .. 360; 0 for a neutral colour.
double Hue(double b, double aPrime)
{
    if (b == 0 && aPrime == 0)
        return 0;
    const double h = Deg(std::atan2(b, aPrime));
    return h < 0 ? h + 360.0 : h;
}

} // namespace

std::optional<double> MeasuredNumber(std::string_view text)
{
    const std::string t = Trim(text);
    if (t.empty())
        return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

double Ciede2000(const Lab& x, const Lab& y)
{
    // Sharma, Wu and Dalal's formulation, step by step.
    const double c1 = std::hypot(x.a, x.b);
    const double c2 = std::hypot(y.a, y.b);
    const double cMean7 = std::pow((c1 + c2) / 2.0, 7.0);
    const double g = 0.5 * (1.0 - std::sqrt(cMean7 / (cMean7 + kPow25To7)));
    const double a1 = (1.0 + g) * x.a;
    const double a2 = (1.0 + g) * y.a;
    const double cp1 = std::hypot(a1, x.b);
    const double cp2 = std::hypot(a2, y.b);
    const double h1 = Hue(x.b, a1);
    const double h2 = Hue(y.b, a2);

    const double dL = y.L - x.L;
    const double dC = cp2 - cp1;
    double dh = 0;
    if (cp1 * cp2 != 0) {
        dh = h2 - h1;
        if (dh > 180.0)
            dh -= 360.0;
        else if (dh < -180.0)
            dh += 360.0;
    }
    const double dH = 2.0 * std::sqrt(cp1 * cp2) * std::sin(Rad(dh / 2.0));

    const double lMean = (x.L + y.L) / 2.0;
    const double cpMean = (cp1 + cp2) / 2.0;
    double hMean = h1 + h2;
    if (cp1 * cp2 != 0) {
        if (std::abs(h1 - h2) <= 180.0)
            hMean /= 2.0;
        else if (h1 + h2 < 360.0)
            hMean = (h1 + h2 + 360.0) / 2.0;
        else
            hMean = (h1 + h2 - 360.0) / 2.0;
    }
    const double t = 1.0 - 0.17 * std::cos(Rad(hMean - 30.0)) + 0.24 * std::cos(Rad(2.0 * hMean)) +
                     0.32 * std::cos(Rad(3.0 * hMean + 6.0)) - 0.20 * std::cos(Rad(4.0 * hMean - 63.0));
    const double dTheta = 30.0 * std::exp(-std::pow((hMean - 275.0) / 25.0, 2.0));
    const double cpMean7 = std::pow(cpMean, 7.0);
    const double rc = 2.0 * std::sqrt(cpMean7 / (cpMean7 + kPow25To7));
    const double l50 = (lMean - 50.0) * (lMean - 50.0);
    const double sl = 1.0 + 0.015 * l50 / std::sqrt(20.0 + l50);
    const double sc = 1.0 + 0.045 * cpMean;
    const double sh = 1.0 + 0.015 * cpMean * t;
    const double rt = -std::sin(Rad(2.0 * dTheta)) * rc;

    const double l = dL / sl, c = dC / sc, h = dH / sh;
    return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

std::optional<Lab> LabFromTexts(std::string_view l, std::string_view a, std::string_view b)
{
    const auto L = MeasuredNumber(l), A = MeasuredNumber(a), B = MeasuredNumber(b);
    if (!L || !A || !B)
        return std::nullopt;
    return Lab{*L, *A, *B};
}

std::string DifferenceText(double deltaE) { return FormatFixed(deltaE, 2); }

} // namespace qtmv::quality
