// The chart pages that close the capacity and defect analyses: per machine
// (or per day of a machine) the value bars and the defect rate line, against
// sums worked out by hand from the records, and the pages that hold them. Where
// a value lands on the page is the chart layout's own test.
#include "reports/AnalysisCharts.h"
#include "reports/CapacityDefect.h"

#include "platform/ui/tests/TestApp.h"

#include <gtest/gtest.h>

using namespace qtmv::reports;
using namespace qtmv::report;

namespace {

ProductionRecord Record(const char* kind, const char* machine, const char* date, double completed, double defects,
                        double value)
{
    ProductionRecord r;
    r.kind = kind;
    r.machine = machine;
    r.handlerId = "A001";
    r.handler = "王大明";
    r.pkey = std::string(kind) + machine + "A001";
    r.pkey1 = std::string(kind) + machine + date;
    r.endDate = date;
    r.completed = completed;
    r.defects = defects;
    r.value = value;
    return r;
}

// 海德堡 on the 2nd and 4th, none on the 3rd; 小森 under two kinds, one of
// them with nothing completed (no rate); the records in the layouts' order.
std::vector<ProductionRecord> Records()
{
    return {Record("C-紙品", "小森", "1131203", 500, 5, 1200),    Record("D-印刷", "小森", "1131202", 0, 0, 0),
            Record("D-印刷", "海德堡", "1131202", 3050, 30, 1500), Record("D-印刷", "海德堡", "1131202", 1000, 3, 2500),
            Record("D-印刷", "海德堡", "1131204", 400, 4, 1000),  Record("E-上光", "UV上光", "1131203", 100, 2, 124)};
}

// The chart's categories, the value bars on the left axis and the rate line
// on the right one, written as the table writes them; a category without
// records has neither.
void ExpectChart(const Chart& c, const std::vector<QString>& categories, const std::vector<std::optional<double>>& values,
                 const std::vector<std::optional<double>>& rates)
{
    ASSERT_EQ(c.categories, categories);
    ASSERT_EQ(c.series.size(), 2u);
    EXPECT_TRUE(c.series[0].kind == SeriesKind::Bars && !c.series[0].rightAxis && c.series[1].kind == SeriesKind::Line
                && c.series[1].rightAxis);
    EXPECT_EQ(c.series[0].values, values);
    EXPECT_EQ(c.series[1].values, rates);
    EXPECT_EQ(c.left.format(0) + " " + c.left.format(2.75) + " " + c.left.format(12500), "0 2.75 12,500");
    EXPECT_EQ(c.right.format(0) + " " + c.right.format(2.75) + " " + c.right.format(12500), "0.00 2.75 12500.00");
}

// The page holds the chart: its categories and its bars.
void ExpectPlaced(const PlacedChart& p, const Chart& c)
{
    ASSERT_EQ(p.categoryLabels.size(), c.categories.size());
    for (std::size_t i = 0; i < c.categories.size(); ++i)
        EXPECT_EQ(p.categoryLabels[i].text, c.categories[i]);
    for (const PlacedBar& b : p.bars)
        EXPECT_EQ(b.value, c.series[0].values.at(static_cast<std::size_t>(b.category))) << b.category;
    EXPECT_EQ(p.polylines.size(), 1u);
}

PrintParams Params()
{
    PrintParams p;
    p.fillDefaults();
    p.doneFrom = "1131201";
    p.printDate = "113/12/05";
    return p;
}

} // namespace

TEST(AnalysisChartPages, EachMachineOnAPageAfterTheTableAndByDateAPagePerMachineOverTheSameDays)
{
    const auto records = Records();
    for (SummaryLayout l : {SummaryLayout::ByKey, SummaryLayout::Personal}) {
        SCOPED_TRACE(static_cast<int>(l));
        const auto charts = AnalysisCharts(l, records);
        ASSERT_EQ(charts.size(), 1u);
        // 小森 under two kinds is told apart by the kind's letter; 海德堡's
        // rate is 37 of 4,450 completed.
        ExpectChart(charts[0], {"C 小森", "D 小森", "海德堡", "UV上光"}, {1200, 0, 5000, 124}, {1, std::nullopt, 0.83, 2});

        const PageDocument doc = CapacityDefectReport(l, records, Params(), "大華印刷");
        ASSERT_GE(doc.pages.size(), 2u);
        const int last = static_cast<int>(doc.pages.size()) - 1;
        for (int i = 0; i < last; ++i)
            EXPECT_TRUE(doc.pages[static_cast<std::size_t>(i)].charts.empty());
        ASSERT_EQ(doc.pages.back().charts.size(), 1u);
        ExpectPlaced(doc.pages.back().charts[0], charts[0]);
        // The heading without the table's captions, its page counted.
        for (const QString& s : {QString("大華印刷"), QString("產能及不良分析"), QString("113/12/01 起"),
                                 QString::number(last + 1),
                                 QString("第 %1 頁 / 共 %1 頁").arg(last + 1)})
            EXPECT_TRUE(doc.find(last, s)) << s.toStdString();
        EXPECT_FALSE(doc.find(last, "總完成數"));
        EXPECT_TRUE(doc.find(0, "總完成數"));
    }

    // By date: a page per machine, over the same days.
    // Four machines (小森 of two kinds), each from the 2nd to the 4th.
    const auto charts = AnalysisCharts(SummaryLayout::ByDate, records);
    ASSERT_EQ(charts.size(), 4u);
    for (const Chart& c : charts)
        EXPECT_EQ(c.categories.size(), 3u) << c.title.toStdString();
    EXPECT_TRUE(charts[2].title.contains("D-印刷 海德堡"));
    // The 2nd's two records together: 33 of 4,050 completed.
    ExpectChart(charts[2], {"12/02", "12/03", "12/04"}, {4000, std::nullopt, 1000}, {0.81, std::nullopt, 1});

    // Each on a page of its own, in that order.
    const PageDocument doc = CapacityDefectReport(SummaryLayout::ByDate, records, Params(), "大華印刷");
    std::vector<const PlacedChart*> placed;
    for (const Page& p : doc.pages) {
        EXPECT_LE(p.charts.size(), 1u);
        for (const PlacedChart& c : p.charts)
            placed.push_back(&c);
    }
    ASSERT_EQ(placed.size(), charts.size());
    ExpectPlaced(*placed[2], charts[2]);
    for (std::size_t i = 0; i < charts.size(); ++i)
        EXPECT_EQ(placed[i]->titles.at(0).text, charts[i].title) << i;
}

TEST(AnalysisChartPages, ManyMachinesOrDaysSpreadOverCharts)
{
    std::vector<ProductionRecord> records;
    for (std::size_t i = 0; i < kMachinesPerChart + 3; ++i)
        records.push_back(Record("D-印刷", ("機" + std::to_string(i + 10)).c_str(), "1131202", 10, 1, 100.0 * (i + 1)));
    const auto machines = AnalysisCharts(SummaryLayout::ByKey, records);
    ASSERT_EQ(machines.size(), 2u);
    EXPECT_EQ(machines[0].categories.size(), kMachinesPerChart);
    EXPECT_EQ(machines[1].categories.size(), 3u);
    EXPECT_EQ(machines[1].series[0].values.back(), 100.0 * (kMachinesPerChart + 3));

    // Forty days of one machine: a chart of the first 31, then the rest;
    // the year's turn counted as days.
    records = {Record("D-印刷", "海德堡", "1131210", 10, 1, 100), Record("D-印刷", "海德堡", "1140118", 10, 1, 200)};
    const auto days = AnalysisCharts(SummaryLayout::ByDate, records);
    ASSERT_EQ(days.size(), 2u);
    ASSERT_EQ(days[0].categories.size(), kDaysPerChart);
    EXPECT_EQ(days[0].categories.front(), "12/10");
    EXPECT_EQ(days[1].categories.back(), "01/18");
    EXPECT_EQ(days[0].categories.size() + days[1].categories.size(), 40u);
    EXPECT_EQ(days[1].series[0].values.back(), 200.0);
}
