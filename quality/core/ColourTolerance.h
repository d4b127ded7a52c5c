#pragma once
// Whether a measured colour is within its colour number's tolerances, by how
// much it is not, and which way it leans: the words the printing data window
// shows while values are typed and the listing shows per line.
//
// - The colour: the ΔE00 between the measured L, a, b and the target, or,
//   without all three, the △ the line holds (an instrument's own reading);
//   beyond 容許色差 it is out. The directions come from the signs of
//   ΔL, Δa, Δb (measured minus target): 偏亮/偏暗, 偏紅/偏綠, 偏黃/偏藍. The
//   largest component is always named, the others when at least half of it:
//   a smaller one hardly changes what the press operator corrects.
// - The density: beyond 濃度目標 ± 濃度容許 it is out, 偏高 or 偏低.
// - Values are compared as the cells show them, to two decimals, so a line
//   reading "3.50" against a tolerance of 3.50 is within. A missing
//   tolerance (null) flags nothing.
#include "quality/core/ColourDifference.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qtmv::quality {

struct Tolerances {
    std::optional<double> difference;        // 容許色差: the largest acceptable ΔE00
    std::optional<double> density;           // 濃度目標
    std::optional<double> densityTolerance;  // 濃度容許
};

struct TargetColour {
    Lab lab;
    Tolerances tolerances;
};

// What a line measured, from its L, a, b, △ and 濃度 cells.
struct Measured {
    std::optional<Lab> lab;
    std::optional<double> difference;   // the △ cell
    std::optional<double> density;
};
Measured MeasuredOf(std::string_view l, std::string_view a, std::string_view b, std::string_view difference,
                    std::string_view density);

struct ToleranceCheck {
    // Set when a tolerance applied to a measured value.
    std::optional<double> difference;   // ΔE00, two decimals
    double differenceLimit = 0;
    double differenceExcess = 0;        // beyond the limit; 0 within
    std::vector<std::string> directions;
    std::optional<double> density;
    double densityTarget = 0;
    double densityLimit = 0;
    double densityExcess = 0;           // beyond the band: above +, below -; 0 within

    bool colourOut() const { return differenceExcess > 0; }
    bool densityOut() const { return densityExcess != 0; }
    bool out() const { return colourOut() || densityOut(); }
    bool checked() const { return difference || density; }
};

ToleranceCheck CheckTolerance(const Measured& measured, const TargetColour& target);

// The colour difference a line shows, to two decimals as the cells show it:
// the ΔE00 of its L, a, b against target when both are there, else its △.
std::optional<double> ShownDifference(const Measured& measured, const Lab* target);

// The directions that matter of `measured` against `target`, the largest
// first; none for equal colours.
std::vector<std::string> Directions(const Lab& target, const Lab& measured);

// The checked values in words: "色差 4.75 超出容許 3.50 達 1.25，偏暗、偏紅；
// 濃度 1.62 偏高，超出 1.45±0.10 達 0.07", or within ("色差 1.20 在容許 3.50
// 內"); "" when nothing was checked.
std::string ToleranceText(const ToleranceCheck& c);
// Only what is out, shortly, as the listing's column: "色差+1.25 偏暗、偏紅；
// 濃度偏高 0.07"; "" when within.
std::string ExcessText(const ToleranceCheck& c);

// Told as the printing data window closes with lines out of tolerance.
std::string OutOfToleranceMessage(int lines);

} // namespace qtmv::quality
