// The listing's colour difference chart, read from its page: per printing
// date of one colour number the largest and the average ΔE00 of its lines,
// worked out here from the rows, and its tolerance across the plot.
#include "quality/core/DifferenceChart.h"

#include "platform/ui/tests/TestApp.h"
#include "quality/core/ColourDifference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

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

double Two(double v) { return std::round(v * 100) / 100; }

} // namespace

TEST(DifferenceChart, LargestAndAverageOfEachDateAgainstTheTolerance)
{
    const Lab target{50, 60, 30};
    const std::vector<ColourTarget> targets = {{"PANTONE 185C", target, "", {3.5, std::nullopt, std::nullopt}},
                                               {"K", {20, 0, 0}, "", {1.0, std::nullopt, std::nullopt}}};
    const DataTable rows = Rows({
        {"1131204", "pantone 185c ", "52", "57", "31", ""},   // the colour number as typed, any case
        {"1131202", "PANTONE 185C", "49", "61", "30", ""},
        {"1131204", "PANTONE 185C", "47", "66", "26", ""},
        {"1131203", "PANTONE 185C", "", "", "", ""},          // nothing measured: the date left open
        {"1131205", "PANTONE 185C", "", "", "", "2.4"},       // an instrument's △
        {"1131202", "K", "30", "2", "1", ""},                 // another colour number
    });
    std::map<std::string, std::vector<double>> byDate;
    for (std::size_t i = 0; i < rows.rowCount(); ++i) {
        const RowView r(&rows, i);
        if (r.text("色號").trimmed().toUpper() != "PANTONE 185C")
            continue;
        auto& v = byDate[r.text("印刷日期").toStdString()];
        if (!r.text("測量1").isEmpty())
            v.push_back(Two(Ciede2000(target, {r.value("測量1").number(), r.value("測量2").number(), r.value("測量3").number()})));
        else if (!r.text("測量4").isEmpty())
            v.push_back(r.value("測量4").number());
    }

    const PageDocument doc = DifferenceChartReport(rows, "PANTONE 185C", targets, "色號：PANTONE 185C");
    ASSERT_EQ(doc.pages.size(), 1u);
    ASSERT_EQ(doc.pages[0].charts.size(), 1u);
    EXPECT_TRUE(doc.find(0, "條件：色號：PANTONE 185C"));
    EXPECT_TRUE(doc.find(0, "第 1 頁 / 共 1 頁"));
    const PlacedChart& c = doc.pages[0].charts[0];
    std::vector<QString> dates;
    for (const auto& [date, v] : byDate)
        dates.push_back(QString::fromStdString(ListedDate(date)));
    ASSERT_EQ(c.categoryLabels.size(), dates.size());
    for (std::size_t i = 0; i < dates.size(); ++i)
        EXPECT_EQ(c.categoryLabels[i].text, dates[i]);

    // Bars: the largest of a date with a difference; the line: the average.
    std::vector<double> largest, average;
    for (const auto& [date, v] : byDate)
        if (!v.empty()) {
            largest.push_back(*std::max_element(v.begin(), v.end()));
            double sum = 0;
            for (double x : v)
                sum += x;
            average.push_back(Two(sum / static_cast<double>(v.size())));
        }
    ASSERT_EQ(c.bars.size(), largest.size());
    for (std::size_t i = 0; i < largest.size(); ++i)
        EXPECT_DOUBLE_EQ(c.bars[i].value, largest[i]) << i;
    EXPECT_EQ(c.bars[1].category, 2);   // past the date without a measurement
    ASSERT_EQ(c.polylines.size(), 1u);
    ASSERT_EQ(c.polylines[0].runs.size(), 2u);
    std::vector<double> ys;
    for (const auto& run : c.polylines[0].runs)
        for (const QPointF& p : run)
            ys.push_back(p.y());
    ASSERT_EQ(ys.size(), average.size());
    const auto& ticks = c.leftTicks;
    for (std::size_t i = 0; i < ys.size(); ++i)
        EXPECT_NEAR(ys[i], ticks.front().y + (average[i] - ticks.front().value) / (ticks.back().value - ticks.front().value)
                                                 * (ticks.back().y - ticks.front().y), 1e-9);
    for (const PlacedTick& t : ticks)
        EXPECT_EQ(t.label.text.toStdString(), DifferenceText(t.value));
    ASSERT_EQ(c.references.size(), 1u);
    EXPECT_EQ(c.references[0].value, 3.5);
    EXPECT_EQ(c.references[0].label.text, "容許色差 3.50");

    // Without a target: the △ cells only, and no tolerance to draw.
    const Chart bare = DifferenceChart(rows, "PANTONE 185C", {});
    EXPECT_TRUE(bare.references.empty());
    ASSERT_EQ(bare.series[0].values.size(), dates.size());
    EXPECT_EQ(bare.series[0].values.back(), 2.4);
    EXPECT_FALSE(bare.series[0].values.front());
}
