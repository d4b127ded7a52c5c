// The capacity and defect analyses read through their page documents: a
// line per production key, the totals per kind (or per person) and of the
// report, defect rates only where something was completed.
#include "reports/CapacityDefect.h"

#include "platform/ui/tests/TestApp.h"
#include "reports/testing/PageLines.h"
#include "reports/testing/ProductionData.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::reports;
using qtmv::reports::test::LinesStarting;
using qtmv::reports::test::PageLines;

namespace {

class CapacityDefect : public qtmv::reports::test::ProductionHistory {
protected:
    void SetUp() override
    {
        ProductionHistory::SetUp();
        db_.session().CompanyName = "大華印刷";
        p_.doneFrom = "1131201";
        p_.printDate = "113/12/04";
    }
    report::PageDocument print(SummaryLayout l) { return CapacityDefectReport(l, p_, db_.session()); }
    PrintParams p_;
};

} // namespace

TEST(ProductionValueRule, UnitPricesByKind)
{
    struct Case { const char* kind; LineFigures line; double price; };
    const Case cases[] = {
        {"D-印刷", {0, 100, 4, 5000, 9}, 0},          // QTY1 0
        {"D-印刷", {1000, 0, 4, 3000, 9}, 0.75},      // AMT / QTY1 / PLAT
        {"D-印刷", {300, 0, 0, 1000, 9}, 3.33},       // AMT / QTY1, to 2 places
        {"I-裁摺", {0, 0, 2, 500, 9}, 0},             // QTY 0: no division
        {"I-裁摺", {0, 3, 2, 100, 9}, 16.67},
        {"J-裝訂", {0, 0, 0, 800, 9}, 0},
        {"J-裝訂", {0, 3, 0, 10, 9}, 3.3333},         // once, to the binding kind's 4 places
        {"E-上光", {0, 3, 0, 10, 1.2345}, 1.235},     // PRICE to varnishing's 3 places
        {"B-製版", {0, 3, 0, 10, 1.2345}, 1.23},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(UnitPrice(c.kind, c.line), c.price) << c.kind << " " << c.line.amt;
    EXPECT_EQ(ProductionValue(400, 3.33, 1000), 1000);  // capped
    EXPECT_EQ(ProductionValue(2, 3.33, 10), 7);         // 6.66 rounded
    EXPECT_EQ(ProductionValue(3, 0.5, 10), 2);          // 1.5 half away from zero
    EXPECT_EQ(MinutesOf(1.5), 90);
    EXPECT_EQ(Deviation(50, 0, 30), -30);
    EXPECT_EQ(Deviation(1000, 600, 90), 10);
}

TEST_F(CapacityDefect, LinePerKeyKindTotalsRatesOnlyWhereCompletedAndTheFilters)
{
    const auto doc = print(SummaryLayout::ByKey);
    ASSERT_EQ(doc.pages.size(), 2u);   // the table, then the chart page
    // The heading every analysis shares; its open ends are walked in
    // ProductionExport.ValueListingTotalsAnalysesNamedByTheirTitleAndOpenRangeEnds.
    for (const char* s : {"大華印刷", "產能及不良分析", "113/12/01 起", "113/12/04", "1"})
        EXPECT_TRUE(doc.find(0, s)) << s;
    // kind | machine | handler | records | completed | minutes | standard | deviation | defects | rate | value
    const std::vector<std::string> lines = {
        "C-紙品|裁紙機|陳阿土|1|0|30|0|-30|0|0",   // nothing completed: no rate
        "D-印刷|海德堡|王大明|3|3,050|240|600|+65|30|0.98|1,500",
        "D-印刷|海德堡|李小華|1|400|60|600|-20|4|1.00|1,000",
        "D-印刷|海德堡二號|王大明|1|100|60|0|-60|1|1.00|75",
        "E-上光|UV上光|王大明|1|100|60|0|-60|2|2.00|124",   // 1.2345 printed at 3 places
        "I-裁摺|大裁刀|王大明|1|300|60|0|-60|3|1.00|0",
        "J-裝訂|騎馬釘機|李小華|2|502|75|0|-75|5|1.00|7",
    };
    std::vector<std::string> keyLines;
    for (const std::string& l : PageLines(doc))
        if (l.find("-") == 1 && l.find("|") != std::string::npos)
            keyLines.push_back(l);
    EXPECT_EQ(keyLines, lines);
    const auto totals = LinesStarting(doc, "合        計：");
    ASSERT_EQ(totals.size(), 5u);
    EXPECT_EQ(totals[0], "合        計：|1|0|30|-30|0|0");
    EXPECT_EQ(totals[1], "合        計：|5|3,550|360|-15|35|0.99|2,575");
    EXPECT_EQ(LinesStarting(doc, "總        計："),
              std::vector<std::string>{"總        計：|10|4,452|585|-240|45|1.01|2,706"});

    // The machine matches exactly, the kind filters, the date groups.
    p_.machine = "海德堡";   // not 海德堡二號 too: its line would make the total 5|3,550
    EXPECT_EQ(LinesStarting(print(SummaryLayout::ByKey), "總        計："),
              std::vector<std::string>{"總        計：|4|3,450|300|+45|34|0.99|2,500"});

    p_.machine.clear();
    p_.kind = "D-印刷";
    const auto byDate = print(SummaryLayout::ByDate);
    EXPECT_EQ(LinesStarting(byDate, "D-印刷|海德堡|"),
              (std::vector<std::string>{"D-印刷|海德堡|113/12/02|3|3,050|240|600|+65|30|0.98|1,500",
                                        "D-印刷|海德堡|113/12/03|1|400|60|600|-20|4|1.00|1,000"}));
    EXPECT_TRUE(LinesStarting(byDate, "J-裝訂").empty());
    // Pieces completed without a defect: a rate of 0.00, not none.
    p_.kind = "J-裝訂";
    p_.poFrom = p_.poTo = "P05";
    EXPECT_EQ(LinesStarting(print(SummaryLayout::ByDate), "J-裝訂|"),
              std::vector<std::string>{"J-裝訂|騎馬釘機|113/12/03|1|2|15|0|-15|0|0.00|7"});

    // A typed quote is text to look for, not the end of the statement's literal.
    p_.handler = "A'1";
    EXPECT_EQ(LinesStarting(print(SummaryLayout::ByKey), "總        計：|0|").size(), 1u);
}

TEST_F(CapacityDefect, PersonalSummaryGroupsEveryKindUnderTheHandler)
{
    p_.kind = "J-裝訂";   // ignored: the summary covers all kinds
    p_.machine = "海德堡"; // a pattern here
    const auto doc = print(SummaryLayout::Personal);
    const auto lines = PageLines(doc);
    const auto at = std::find(lines.begin(), lines.end(), "經辦：A001 王大明");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(std::vector<std::string>(at + 1, at + 4),
              (std::vector<std::string>{"D-印刷|海德堡|王大明|3|3,050|240|600|+65|30|0.98|1,500",
                                        "D-印刷|海德堡二號|王大明|1|100|60|0|-60|1|1.00|75",
                                        "合        計：|4|3,150|300|+5|31|0.98|1,575"}));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "經辦：A002 李小華"), lines.end());
}
