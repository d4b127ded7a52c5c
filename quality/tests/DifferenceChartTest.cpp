// The listing's colour difference chart: per printing date of one colour
// number the largest and the average ΔE00 of its lines, its tolerance
// across the plot, and the page that holds it. Where a value lands on the
// page is the chart layout's own test.
#include "quality/core/DifferenceChart.h"

#include "platform/ui/tests/TestApp.h"

#include <gtest/gtest.h>

#include <utility>

using namespace qtmv::quality;
using namespace qtmv::report;

namespace {

// Rows with the listing's measurement columns: date, colour, L, a, b, △.
DataTable Rows(const std::vector<std::array<const char*, 6>>& lines)
{
    DataTable t({"工單單號", "印刷日期", "色號", "測量1", "測量2", "測量3", "測量4", "測量5"});
    for (const auto& l : lines)
        t.addRow({"W1130001", l[0], l[1], l[2], l[3], l[4], l[5], ""});
    return t;
}

} // namespace

TEST(DifferenceChart, LargestAndAverageOfEachDateAgainstTheTolerance)
{
    const Lab target{50, 60, 30};
    const std::vector<ColourTarget> targets = {{"PANTONE 185C", target, "", {3.5, std::nullopt, std::nullopt}},
                                               {"K", {20, 0, 0}, "", {1.0, std::nullopt, std::nullopt}}};
    const DataTable rows = Rows({
        {"1131204", "pantone 185c ", "47", "66", "26", ""},   // the colour number as typed, any case
        {"1131202", "PANTONE 185C", "49", "61", "30", ""},
        {"1131204", "PANTONE 185C", "52", "57", "31", ""},    // after the larger: the last is not the largest
        {"1131203", "PANTONE 185C", "", "", "", ""},          // nothing measured: the date left open
        {"1131205", "PANTONE 185C", "", "", "", "2.4"},       // an instrument's △
        {"1131202", "K", "30", "2", "1", ""},                 // another colour number
    });
    // Each date's ΔE00 against the target, two decimals: 12/02 1.05; 12/03
    // nothing; 12/04 4.45 and 2.41; 12/05 the △ typed.
    const std::vector<QString> dates = {"113/12/02", "113/12/03", "113/12/04", "113/12/05"};
    const std::vector<std::optional<double>> largest = {1.05, std::nullopt, 4.45, 2.4};
    const std::vector<std::optional<double>> average = {1.05, std::nullopt, 3.43, 2.4};

    // Bars of each date's largest difference, a line of the averages on the
    // same axis, none where nothing was measured (how a gap is drawn is the
    // layout's test).
    const Chart c = DifferenceChart(rows, "PANTONE 185C", targets);
    EXPECT_EQ(c.categories, dates);
    ASSERT_EQ(c.series.size(), 2u);
    EXPECT_EQ(c.series[0].values, largest);
    EXPECT_EQ(c.series[1].values, average);
    EXPECT_TRUE(c.series[0].kind == SeriesKind::Bars && c.series[1].kind == SeriesKind::Line && !c.series[1].rightAxis);
    for (const auto& [v, text] : {std::pair{0.0, "0.00"}, {1.5, "1.50"}, {3.456, "3.46"}})
        EXPECT_EQ(c.left.format(v).toStdString(), text) << v;
    ASSERT_EQ(c.references.size(), 1u);
    EXPECT_EQ(c.references[0].value, 3.5);
    EXPECT_EQ(c.references[0].label, "容許色差 3.50");

    // On a page of its own under the filter line, its bars those values.
    const PageDocument doc = DifferenceChartReport(rows, "PANTONE 185C", targets, "色號：PANTONE 185C");
    ASSERT_EQ(doc.pages.size(), 1u);
    ASSERT_EQ(doc.pages[0].charts.size(), 1u);
    EXPECT_TRUE(doc.find(0, "條件：色號：PANTONE 185C"));
    EXPECT_TRUE(doc.find(0, "第 1 頁 / 共 1 頁"));
    std::vector<std::optional<double>> bars(dates.size());
    for (const PlacedBar& b : doc.pages[0].charts[0].bars)
        bars.at(static_cast<std::size_t>(b.category)) = b.value;
    EXPECT_EQ(bars, largest);

    // Without a target: the △ cells only, and no tolerance to draw.
    const Chart bare = DifferenceChart(rows, "PANTONE 185C", {});
    EXPECT_TRUE(bare.references.empty());
    ASSERT_EQ(bare.series[0].values.size(), dates.size());
    EXPECT_EQ(bare.series[0].values.back(), 2.4);
    EXPECT_FALSE(bare.series[0].values.front());
}
