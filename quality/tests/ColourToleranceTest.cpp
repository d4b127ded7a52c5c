// A measured colour against its target's tolerances, on published CIEDE2000
// test pairs (Sharma, Wu and Dalal 2005, pairs 1 and 17) so that the
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
TEST(ColourTolerance, DirectionsNameTheComponentsThatMatterEdgesAreWithinAndMissingValuesCheckNothing)
{
    EXPECT_EQ(Directions(kPair1Target, kPair1Measured), (Words{"偏藍", "偏綠"}));
    EXPECT_EQ(Directions({61, -5, 29}, {50, 2.5, 0}), (Words{"偏藍"}));   // ΔL -11 is under half of Δb -29
    EXPECT_EQ(Directions(kPair1Target, kPair1Target), Words{});

    // At a tolerance, or the edge of the density band, is within (as the cells
    // show the values); below the band the density is out the other way. A
    // density target without its tolerance, or L, a, b that are not numbers,
    // check nothing. (Beyond them: the printing data window's test.)
    EXPECT_FALSE(CheckTolerance(Measuring(1.55), Target(2.04, 1.45, 0.10)).out());
    EXPECT_EQ(ExcessText(CheckTolerance(Measuring(1.30), Target(2.0, 1.45, 0.10))), "色差+0.04 偏藍、偏綠；濃度偏低 0.05");
    EXPECT_FALSE(CheckTolerance(Measuring(1.90), Target(std::nullopt, 1.45)).checked());
    EXPECT_FALSE(CheckTolerance(MeasuredOf("50", "x", "0", "", ""), Target(0.5)).checked());
}
