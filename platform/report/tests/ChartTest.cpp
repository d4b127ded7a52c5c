// Charts as a page document holds them: bars and points where their values
// fall on the axes' ticks, ticks written by the axis's format, gaps left
// open, and a chart page of its own drawn by the renderers.
#include "platform/report/Render.h"
#include "platform/report/Report.h"
#include "platform/ui/tests/TestApp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace qtmv::report;

// A point in a failure message as its coordinates.
static void PrintTo(const QPointF& p, std::ostream* os) { *os << "(" << p.x() << ", " << p.y() << ")"; }

namespace {

const QRectF kArea(10, 40, 180, 100);

// Where a value falls on an axis, read back from its first and last ticks.
double YOf(const std::vector<PlacedTick>& t, double v)
{
    return t.front().y + (v - t.front().value) / (t.back().value - t.front().value) * (t.back().y - t.front().y);
}

// Amounts in bars on the left (a negative one and a gap among them), rates
// as a line on the right, a tolerance on the right axis.
Chart OutputAndRate()
{
    Chart c;
    c.title = "產值及不良率";
    c.categories = {"海德堡", "小森", "三菱", "秋山", "UV上光"};
    c.series = {{"產值", SeriesKind::Bars, false, {12500, 3100, std::nullopt, -800, 7000}},
                {"不良率", SeriesKind::Line, true, {1.5, 0.25, 2.75, std::nullopt, 0.5}}};
    c.left = {"產值", [](double v) { return "$" + QString::number(v, 'f', 0); }, true};
    c.right = {"不良率(%)", [](double v) { return QString::number(v, 'f', 2) + "%"; }, true};
    c.references = {{2, "容許 2.00%", true}};
    return c;
}

} // namespace

TEST(ChartScale, TicksAreTheSmallestOneTwoFiveStepCoveringTheRange)
{
    const std::pair<double, double> ranges[] = {{0, 2706}, {-800, 12500}, {0, 2.75}, {0.31, 0.37},
                                                {-5, -1},  {0, 0},        {4, 4},    {0, 1e-3}};
    for (const auto& [lo, hi] : ranges) {
        SCOPED_TRACE(std::to_string(lo) + " to " + std::to_string(hi));
        const std::vector<double> t = NiceTicks(lo, hi, 5);
        ASSERT_GE(t.size(), 2u);
        EXPECT_LE(t.size(), 6u);
        EXPECT_LE(t.front(), lo);
        EXPECT_GE(t.back(), hi);
        const double step = t[1] - t[0];
        const double decade = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        const double mantissa = std::round(step / decade * 1e6) / 1e6;
        EXPECT_TRUE(mantissa == 1 || mantissa == 2 || mantissa == 5) << "step " << step;
        // Evenly spaced, every tick a whole number of steps, so it prints short.
        for (std::size_t i = 0; i < t.size(); ++i) {
            EXPECT_NEAR(t[i] - t[0], static_cast<double>(i) * step, step * 1e-9) << i;
            EXPECT_NEAR(t[i] / step, std::round(t[i] / step), 1e-9) << t[i];
        }
        // The next smaller step would need more than five (a single level
        // is widened to a scale first).
        const double smaller = mantissa == 1 ? 0.5 * decade : (mantissa == 2 ? decade : 2 * decade);
        if (lo != hi) {
            EXPECT_GT(std::ceil(hi / smaller - 1e-9) - std::floor(lo / smaller + 1e-9), 5);
        }
    }
}

TEST(ChartLayout, BarsFromTheZeroLineAndTheLineOnItsOwnAxisGapsLeftOpen)
{
    const Chart c = OutputAndRate();
    const PlacedChart p = PlaceChart(c, kArea);
    EXPECT_TRUE(kArea.contains(p.plot));
    // Each axis covers its own values and zero (the rates not on the
    // amounts' scale); its ticks written by its format, beside the plot.
    EXPECT_LE(p.leftTicks.front().value, -800);
    EXPECT_GE(p.leftTicks.back().value, 12500);
    ASSERT_FALSE(p.rightTicks.empty());
    EXPECT_LE(p.rightTicks.front().value, 0);
    EXPECT_GE(p.rightTicks.back().value, 2.75);
    EXPECT_LT(p.rightTicks.back().value, 100);
    for (bool right : {false, true}) {
        SCOPED_TRACE(right ? "right axis" : "left axis");
        for (const PlacedTick& t : right ? p.rightTicks : p.leftTicks) {
            EXPECT_EQ(t.label.text, (right ? c.right : c.left).format(t.value));
            EXPECT_NEAR(t.label.rect.center().y(), t.y, 1e-9);
            EXPECT_TRUE(right ? t.label.rect.left() >= p.plot.right() : t.label.rect.right() <= p.plot.left());
        }
    }

    // Bars in proportion, up from the zero line (down for a loss), inside
    // their category's slot; the third machine has no value: no bar.
    ASSERT_TRUE(p.zeroY);
    EXPECT_NEAR(*p.zeroY, YOf(p.leftTicks, 0), 1e-9);
    ASSERT_EQ(p.bars.size(), 4u);
    ASSERT_EQ(p.categoryLabels.size(), c.categories.size());   // their text: the next test
    for (const PlacedBar& b : p.bars) {
        SCOPED_TRACE(b.value);
        EXPECT_NE(b.category, 2);
        EXPECT_EQ(b.value, *c.series[0].values[static_cast<std::size_t>(b.category)]);
        EXPECT_NEAR(b.value >= 0 ? b.rect.top() : b.rect.bottom(), YOf(p.leftTicks, b.value), 1e-9);
        EXPECT_NEAR(b.value >= 0 ? b.rect.bottom() : b.rect.top(), *p.zeroY, 1e-9);
        const QRectF slot = p.categoryLabels[static_cast<std::size_t>(b.category)].rect;
        EXPECT_TRUE(b.rect.left() >= slot.left() && b.rect.right() <= slot.right());
    }
    // The rates on the right axis at their categories' centres, broken where
    // the fourth machine has none: three points, then one.
    auto at = [&](std::size_t cat) {
        return QPointF(p.categoryLabels[cat].rect.center().x(), YOf(p.rightTicks, *c.series[1].values[cat]));
    };
    ASSERT_EQ(p.polylines.size(), 1u);
    EXPECT_EQ(p.polylines[0].runs, (std::vector<std::vector<QPointF>>{{at(0), at(1), at(2)}, {at(4)}}));
    ASSERT_EQ(p.references.size(), 1u);
    EXPECT_NEAR(p.references[0].line.from.y(), YOf(p.rightTicks, 2), 1e-9);
    EXPECT_EQ(p.references[0].label.text, "容許 2.00%");
    // The legend names both series; no text of the chart runs into another.
    ASSERT_EQ(p.legend.size(), 2u);
    EXPECT_EQ(p.legend[1].label.text, "不良率");
    Page texts;
    texts.texts = p.texts();
    EXPECT_TRUE(FindCrowdedTexts(texts).empty());

    // A chart with nothing on the right shows no right axis.
    Chart bars = c;
    bars.series.pop_back();
    bars.references.clear();
    EXPECT_TRUE(PlaceChart(bars, kArea).rightTicks.empty());
}
