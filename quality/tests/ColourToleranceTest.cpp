// A measured colour against its target's tolerances, on published CIEDE2000
// test pairs (Sharma, Wu and Dalal 2005, pairs 1, 16 and 17) so that the
// differences are not ours to trust: the excess, the directions that matter
// and the words the window and the listing show.
#include "quality/core/ColourTolerance.h"

#include <gtest/gtest.h>

using namespace qtmv::quality;
using Words = std::vector<std::string>;

namespace {

const Lab kPair1Target{50, 2.6772, -79.7751}, kPair1Measured{50, 0, -82.7485};   // ΔE00 2.0425

TargetColour Target(Lab lab, std::optional<double> tolerance, std::optional<double> density = std::nullopt,
                    std::optional<double> densityTolerance = std::nullopt)
{
    return {lab, {tolerance, density, densityTolerance}};
}

Measured Measuring(const Lab& lab, std::optional<double> density = std::nullopt) { return {lab, std::nullopt, density}; }

} // namespace

// The largest of ΔL, Δa, Δb (measured minus target) is named, the others
// when at least half of it; the signs say which way.
TEST(ColourTolerance, DirectionsNameTheComponentsThatMatter)
{
    EXPECT_EQ(Directions(kPair1Target, kPair1Measured), (Words{"偏藍", "偏綠"}));
    EXPECT_EQ(Directions({50, 2.5, 0}, {73, 25, -18}), (Words{"偏亮", "偏紅", "偏藍"}));
    EXPECT_EQ(Directions({50, 2.5, 0}, {61, -5, 29}), (Words{"偏黃"}));   // ΔL 11 is under half of Δb 29
    EXPECT_EQ(Directions({61, -5, 29}, {50, 2.5, 0}), (Words{"偏藍"}));
    EXPECT_EQ(Directions({40, 10, 10}, {37, 10, 10}), (Words{"偏暗"}));
    EXPECT_EQ(Directions(kPair1Target, kPair1Target), Words{});
}

// At the tolerance (as the △ cell shows it) is within; beyond is out by the
// difference. Without L, a, b the △ the line holds is judged, without
// directions. A target without a tolerance flags nothing at all.
TEST(ColourTolerance, ColourDifferenceBeyondTheTolerance)
{
    const ToleranceCheck at = CheckTolerance(Measuring(kPair1Measured), Target(kPair1Target, 2.04));
    ASSERT_TRUE(at.difference);
    EXPECT_DOUBLE_EQ(*at.difference, 2.04);
    EXPECT_FALSE(at.out());
    EXPECT_EQ(ToleranceText(at), "色差 2.04 在容許 2.04 內");
    EXPECT_EQ(ExcessText(at), "");

    const ToleranceCheck out = CheckTolerance(Measuring(kPair1Measured), Target(kPair1Target, 2.0));
    EXPECT_TRUE(out.colourOut());
    EXPECT_FALSE(out.densityOut());
    EXPECT_NEAR(out.differenceExcess, 0.04, 1e-9);
    EXPECT_EQ(out.directions, (Words{"偏藍", "偏綠"}));
    EXPECT_EQ(ToleranceText(out), "色差 2.04 超出容許 2.00 達 0.04，偏藍、偏綠");
    EXPECT_EQ(ExcessText(out), "色差+0.04 偏藍、偏綠");

    const ToleranceCheck typed = CheckTolerance(MeasuredOf("", "1", "2", " 4.1 ", ""), Target(kPair1Target, 3.5));
    EXPECT_TRUE(typed.colourOut());
    EXPECT_NEAR(typed.differenceExcess, 0.6, 1e-9);
    EXPECT_TRUE(typed.directions.empty());
    EXPECT_EQ(ExcessText(typed), "色差+0.60");

    const ToleranceCheck none = CheckTolerance(Measuring({73, 25, -18}, 1.9), Target({50, 2.5, 0}, std::nullopt));
    EXPECT_FALSE(none.checked());
    EXPECT_FALSE(none.out());
    EXPECT_EQ(ToleranceText(none), "");
    EXPECT_FALSE(CheckTolerance(MeasuredOf("50", "x", "0", "", ""), Target(kPair1Target, 0.5)).checked());
}

// Beyond target ± tolerance the density is out, above or below; a density
// target without a tolerance, or no density measured, flags nothing.
TEST(ColourTolerance, DensityOutsideItsBand)
{
    const TargetColour spot = Target(kPair1Target, 3.0, 1.45, 0.10);
    const ToleranceCheck high = CheckTolerance(Measuring(kPair1Measured, 1.62), spot);
    EXPECT_TRUE(high.out());
    EXPECT_FALSE(high.colourOut());
    EXPECT_NEAR(high.densityExcess, 0.07, 1e-9);
    EXPECT_EQ(ToleranceText(high), "色差 2.04 在容許 3.00 內；濃度 1.62 偏高，超出 1.45±0.10 達 0.07");
    EXPECT_EQ(ExcessText(high), "濃度偏高 0.07");

    const ToleranceCheck low = CheckTolerance(MeasuredOf("50", "0", "-82.7485", "", "1.30"), Target(kPair1Target, 2.0, 1.45, 0.10));
    EXPECT_NEAR(low.densityExcess, -0.05, 1e-9);
    EXPECT_EQ(ExcessText(low), "色差+0.04 偏藍、偏綠；濃度偏低 0.05");

    EXPECT_FALSE(CheckTolerance(Measuring(kPair1Measured, 1.55), spot).out());   // at the edge of the band
    EXPECT_FALSE(CheckTolerance(Measuring(kPair1Measured, 1.90), Target(kPair1Target, 3.0, 1.45)).density);
    EXPECT_FALSE(CheckTolerance(Measuring(kPair1Measured), spot).density);
}
