// The chart pages that close the capacity and defect analyses, read from
// their page documents: per machine (or per day of a machine) the value
// bars and the defect rate points, against sums worked out here from the
// records.
#include "reports/AnalysisCharts.h"
#include "reports/AnalysisLayout.h"
#include "reports/CapacityDefect.h"

#include "platform/ui/tests/TestApp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

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

struct Expected {
    double value = 0, defects = 0, completed = 0;
    std::optional<double> rate() const
    {
        if (completed == 0)
            return std::nullopt;
        return std::round(defects / completed * 100 * 100) / 100;
    }
};

double YOf(const std::vector<PlacedTick>& ticks, double v)
{
    return ticks.front().y + (v - ticks.front().value) / (ticks.back().value - ticks.front().value)
                                 * (ticks.back().y - ticks.front().y);
}

// The chart's bars and rate points against the expected sums per category.
void ExpectChart(const PlacedChart& c, const std::vector<QString>& categories, const std::vector<std::optional<Expected>>& sums)
{
    ASSERT_EQ(c.categoryLabels.size(), categories.size());
    for (std::size_t i = 0; i < categories.size(); ++i)
        EXPECT_EQ(c.categoryLabels[i].text, categories[i]);
    for (const PlacedTick& t : c.leftTicks)
        EXPECT_EQ(t.label.text, AmountText(t.value));
    for (const PlacedTick& t : c.rightTicks)
        EXPECT_EQ(t.label.text, RateText(t.value));
    std::size_t bars = 0;
    for (const auto& s : sums)
        bars += s ? 1 : 0;
    ASSERT_EQ(c.bars.size(), bars);
    ASSERT_TRUE(c.zeroY);
    for (const PlacedBar& b : c.bars) {
        const auto& s = sums.at(static_cast<std::size_t>(b.category));
        ASSERT_TRUE(s) << b.category;
        EXPECT_EQ(b.value, s->value);
        EXPECT_NEAR(b.rect.top(), YOf(c.leftTicks, s->value), 1e-9);
        EXPECT_NEAR(b.rect.bottom(), *c.zeroY, 1e-9);
    }
    // Rate points, in category order, where a rate exists.
    std::vector<double> ys;
    ASSERT_EQ(c.polylines.size(), 1u);
    for (const auto& run : c.polylines[0].runs)
        for (const QPointF& pt : run)
            ys.push_back(pt.y());
    std::vector<double> expected;
    for (const auto& s : sums)
        if (s && s->rate())
            expected.push_back(YOf(c.rightTicks, *s->rate()));
    ASSERT_EQ(ys.size(), expected.size());
    for (std::size_t i = 0; i < ys.size(); ++i)
        EXPECT_NEAR(ys[i], expected[i], 1e-9) << i;
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

TEST(AnalysisChartPages, EachMachineValueAndRateOnAPageAfterTheTable)
{
    const auto records = Records();
    std::map<std::pair<std::string, std::string>, Expected> byMachine;
    for (const ProductionRecord& r : records) {
        Expected& e = byMachine[{r.kind, r.machine}];
        e.value += r.value;
        e.defects += r.defects;
        e.completed += r.completed;
    }
    for (SummaryLayout l : {SummaryLayout::ByKey, SummaryLayout::Personal}) {
        const PageDocument doc = CapacityDefectReport(l, records, Params(), "大華印刷");
        ASSERT_GE(doc.pages.size(), 2u);
        const int last = static_cast<int>(doc.pages.size()) - 1;
        for (int i = 0; i < last; ++i)
            EXPECT_TRUE(doc.pages[static_cast<std::size_t>(i)].charts.empty());
        ASSERT_EQ(doc.pages.back().charts.size(), 1u);
        // The heading without the table's captions, its page counted.
        for (const QString& s : {QString("大華印刷"), QString("產能及不良分析"), QString("113/12/01 起"),
                                 QString::number(last + 1),
                                 QString("第 %1 頁 / 共 %1 頁").arg(last + 1)})
            EXPECT_TRUE(doc.find(last, s)) << s.toStdString();
        EXPECT_FALSE(doc.find(last, "總完成數"));
        EXPECT_TRUE(doc.find(0, "總完成數"));
        // 小森 under two kinds is told apart by the kind's letter.
        ExpectChart(doc.pages.back().charts[0], {"C 小森", "D 小森", "海德堡", "UV上光"},
                    {byMachine[{"C-紙品", "小森"}], byMachine[{"D-印刷", "小森"}], byMachine[{"D-印刷", "海德堡"}],
                     byMachine[{"E-上光", "UV上光"}]});
        const auto& rate = doc.pages.back().charts[0].polylines[0].runs;
        EXPECT_EQ(rate.size(), 2u);   // broken where nothing was completed
    }
}

TEST(AnalysisChartPages, ByDateAPagePerMachineOverTheSameDays)
{
    const auto records = Records();
    const PageDocument doc = CapacityDefectReport(SummaryLayout::ByDate, records, Params(), "大華印刷");
    std::vector<const PlacedChart*> charts;
    for (const Page& p : doc.pages) {
        EXPECT_LE(p.charts.size(), 1u);
        for (const PlacedChart& c : p.charts)
            charts.push_back(&c);
    }
    // Four machines (小森 of two kinds), each from the 2nd to the 4th.
    ASSERT_EQ(charts.size(), 4u);
    std::map<std::string, Expected> heidelberg;
    for (const ProductionRecord& r : records)
        if (r.machine == "海德堡") {
            heidelberg[r.endDate].value += r.value;
            heidelberg[r.endDate].defects += r.defects;
            heidelberg[r.endDate].completed += r.completed;
        }
    const PlacedChart* h = charts[2];
    ASSERT_EQ(h->titles.size(), 3u);
    EXPECT_TRUE(h->titles[0].text.contains("D-印刷 海德堡"));
    ExpectChart(*h, {"12/02", "12/03", "12/04"}, {heidelberg["1131202"], std::nullopt, heidelberg["1131204"]});
    EXPECT_EQ(h->polylines[0].runs.size(), 2u);   // no record on the 3rd
    for (const PlacedChart* c : charts)
        EXPECT_EQ(c->categoryLabels.size(), 3u);
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
