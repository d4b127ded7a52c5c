#pragma once
// The colour difference of the printing industry: CIEDE2000 (ISO/CIE
// 11664-6) between a measured colour and its target, both CIELAB.
#include <optional>
#include <string>
#include <string_view>

namespace qtmv::quality {

struct Lab {
    double L = 0;
    double a = 0;
    double b = 0;
};

// ΔE00 with the parametric factors kL = kC = kH = 1. Symmetric; 0 for equal
// colours.
double Ciede2000(const Lab& x, const Lab& y);

// A measurement cell's number: a plain decimal with blanks around it;
// nullopt for anything else (empty too).
std::optional<double> MeasuredNumber(std::string_view text);

// The colour typed into the L, a and b cells: nullopt unless all three are
// numbers.
std::optional<Lab> LabFromTexts(std::string_view l, std::string_view a, std::string_view b);

// The difference as the △ cell shows it: two decimals ("1.27").
std::string DifferenceText(double deltaE);

} // namespace qtmv::quality
