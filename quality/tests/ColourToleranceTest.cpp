// A measured colour against its target's tolerances, on published CIEDE2000
// test pairs (Sharma, Wu and Dalal 2005, pairs 1, 16 and 17) so that the
// differences are not ours to trust. The words shown are checked where they
// are shown (the printing data window, the listing).
#include "quality/core/ColourTolerance.h"

#include <gtest/gtest.h>

using namespace qtmv::quality;
using Words = std::vector<std::string>;

namespace {

const Lab kPair1Target{50, 2.6772, -79.7751}, kPair1Measured{50, 0, -82.7485};   // ΔE00 2.0425

TargetColour Target(std::optional<double> tolerance, std::optional<double> density = std::nullopt,
                    std::optional<double> densityTolerance = std::nullopt)
{
    return {kPair1Target, {tolerance, density, densityTolerance}};
}

Measured Measuring(std::optional<double> density = std::nullopt) { return {kPair1Measured, std::nullopt, density}; }

} // namespace

// The largest of ΔL, Δa, Δb (measured minus target) is named, the others
// when at least half of it; the signs say which way.
TEST(ColourTolerance, DirectionsNameTheComponentsThatMatter)
{
    EXPECT_EQ(Directions(kPair1Target, kPair1Measured), (Words{"偏藍", "偏綠"}));
    EXPECT_EQ(Directions({50, 2.5, 0}, {73, 25, -18}), (Words{"偏亮", "偏紅", "偏藍"}));
    EXPECT_EQ(Directions({61, -5, 29}, {50, 2.5, 0}), (Words{"偏藍"}));   // ΔL -11 is under half of Δb -29
    EXPECT_EQ(Directions(kPair1Target, kPair1Target), Words{});
}

// At the tolerance (as the △ cell shows it) is within, beyond is out by the
// difference. Without L, a, b the △ the line holds is judged, without
// directions. A target without a tolerance checks nothing.
TEST(ColourTolerance, ColourDifferenceBeyondTheTolerance)
{
    EXPECT_FALSE(CheckTolerance(Measuring(), Target(2.04)).out());
    const ToleranceCheck out = CheckTolerance(Measuring(), Target(2.0));
    EXPECT_TRUE(out.colourOut() && !out.densityOut());
    EXPECT_NEAR(out.differenceExcess, 0.04, 1e-9);
    EXPECT_EQ(out.directions, (Words{"偏藍", "偏綠"}));

    const ToleranceCheck typed = CheckTolerance(MeasuredOf("", "1", "2", " 4.1 ", ""), Target(3.5));
    EXPECT_NEAR(typed.differenceExcess, 0.6, 1e-9);
    EXPECT_TRUE(typed.directions.empty());

    EXPECT_FALSE(CheckTolerance(Measuring(1.9), Target(std::nullopt)).checked());
    EXPECT_FALSE(CheckTolerance(MeasuredOf("50", "x", "0", "", ""), Target(0.5)).checked());
}

// Beyond target ± tolerance the density is out, above or below; a density
// target without a tolerance flags nothing.
TEST(ColourTolerance, DensityOutsideItsBand)
{
    EXPECT_NEAR(CheckTolerance(Measuring(1.62), Target(3.0, 1.45, 0.10)).densityExcess, 0.07, 1e-9);
    EXPECT_FALSE(CheckTolerance(Measuring(1.55), Target(3.0, 1.45, 0.10)).out());   // at the edge of the band
    EXPECT_FALSE(CheckTolerance(Measuring(1.90), Target(3.0, 1.45)).density);
    const ToleranceCheck both = CheckTolerance(Measuring(1.30), Target(2.0, 1.45, 0.10));
    EXPECT_NEAR(both.densityExcess, -0.05, 1e-9);
    EXPECT_EQ(ExcessText(both), "色差+0.04 偏藍、偏綠；濃度偏低 0.05");
}
