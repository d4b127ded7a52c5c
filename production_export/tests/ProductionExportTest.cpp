// The production value listing through its page document, the three Excel
// exports read back cell by cell, and the export window driven by keys.
#include "printing/AnalysisTable.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/tests/TestApp.h"
#include "platform/workbook/testing/ReadWorkbook.h"
#include "production_export/core/ExcelExport.h"
#include "production_export/core/ValueListings.h"
#include "production_export/ui/ExcelWindows.h"
#include "reports/testing/PageLines.h"
#include "reports/testing/ProductionData.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <array>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

using namespace qtmv;
using namespace qtmv::production;
using qtmv::reports::test::LinesStarting;
using qtmv::xlsx::testing::ReadWorkbook;

namespace {

class ProductionExport : public reports::test::ProductionHistory {
protected:
    void SetUp() override
    {
        ProductionHistory::SetUp();
        db_.session().ExcelFolder = db_.folder();
        db_.session().ExcelExtension = ".xlsx";
        rp_.kind = "D-印刷";
    }
    std::string file(const char* name) const { return db_.folder() + name; }
    daily::printing::PrintParams p_;   // the export windows' (every record)
    reports::PrintParams rp_;          // the printed analyses' (the printing kind)
};

using Sheet = qtmv::xlsx::testing::SheetContent;

// The texts of the cells, joined with "|".
std::string Texts(const Sheet& s, std::initializer_list<const char*> refs)
{
    std::string out;
    for (const char* r : refs)
        out += "|" + s.Text(r);
    return out.substr(1);
}

// The cells as numbers; one that is not a number fails the test.
std::vector<double> Numbers(const Sheet& s, std::initializer_list<const char*> refs)
{
    std::vector<double> out;
    for (const char* r : refs)
        out.push_back(s.Number(r));
    return out;
}

// A range formula of one column ('sheet'!$A$2:$A$9) taken apart.
struct RangeRef {
    std::string sheet, firstCol;
    int firstRow = 0, lastRow = 0;
    std::string rows() const { return sheet + ":" + std::to_string(firstRow) + ":" + std::to_string(lastRow); }
};

RangeRef ParseRange(const std::string& formula)
{
    static const std::regex range(R"('((?:[^']|'')+)'!\$([A-Z]+)\$(\d+):\$\2\$(\d+))");
    std::smatch m;
    if (!std::regex_match(formula, m, range))
        throw std::runtime_error("not a range of one column: " + formula);
    return {std::regex_replace(m[1].str(), std::regex("''"), "'"), m[2], std::stoi(m[3]), std::stoi(m[4])};
}

const Sheet& Named(const std::vector<Sheet>& sheets, const std::string& name)
{
    for (const Sheet& s : sheets)
        if (s.name == name)
            return s;
    throw std::runtime_error("no sheet " + name);
}

// What Excel makes of =SUMPRODUCT((range="text")*…*range) on the cells read
// back. Every range must span the data rows of the sheet (above its total
// row).
double SumProduct(const std::vector<Sheet>& sheets, const std::string& formula)
{
    // (range="text")* or the summed range and the closing parenthesis
    static const std::regex part(R"re(\(('(?:[^']|'')+'![$A-Z0-9:]+)="((?:[^"]|"")*)"\)\*)re"
                                 R"re(|('(?:[^']|'')+'![$A-Z0-9:]+)\)$)re");
    EXPECT_EQ(formula.rfind("=SUMPRODUCT(", 0), 0u) << formula;
    std::vector<std::pair<RangeRef, std::string>> ranges; // the criteria, then the summed range
    for (std::sregex_iterator it(formula.begin(), formula.end(), part), end; it != end; ++it)
        ranges.push_back({ParseRange((*it)[(*it)[3].matched ? 3 : 1]),
                          std::regex_replace((*it)[2].str(), std::regex("\"\""), "\"")});
    const Sheet& sheet = Named(sheets, ranges.back().first.sheet);
    EXPECT_EQ(sheet.Text("A" + std::to_string(sheet.maxRow)), "合計");
    double sum = 0;
    for (int row = 2; row < sheet.maxRow; ++row) {
        bool all = true;
        for (const auto& [range, text] : ranges) {
            EXPECT_EQ(range.rows(), sheet.name + ":2:" + std::to_string(sheet.maxRow - 1));
            const std::string ref = range.firstCol + std::to_string(row);
            if (&range == &ranges.back().first)
                sum += all && !sheet.Text(ref).empty() ? sheet.Number(ref) : 0;
            all = all && sheet.Text(ref) == text;
        }
    }
    return sum;
}

// A machine's or a day's totals; the rate in percent, 0 without output.
struct Sums {
    double completed = 0, defects = 0, value = 0, rate = 0;
};

// The chart's series: output value in bars against the left axis
// ("#,##0"), the defect rate as a line against the right one ("0.00"),
// over the same categories. Returns the categories', values' and rates'
// ranges, all on one sheet and the same rows.
std::array<RangeRef, 3> ValueAndRate(const qtmv::xlsx::testing::ChartContent& c)
{
    if (c.series.size() != 2)
        throw std::runtime_error("series: " + std::to_string(c.series.size()));
    const auto& [v, r] = std::tie(c.series[0], c.series[1]);
    EXPECT_EQ(c.legend + (c.chartSheet ? " chart sheet|" : " in sheet|") + v.type + " " + v.valueAxis.position + " "
                  + v.valueAxis.format + "|" + r.type + " " + r.valueAxis.position + " " + r.valueAxis.format,
              "b chart sheet|column l #,##0|line r 0.00");
    EXPECT_EQ(v.categories, r.categories);
    const std::array<RangeRef, 3> ranges = {ParseRange(v.categories), ParseRange(v.values), ParseRange(r.values)};
    for (const RangeRef& x : ranges)
        EXPECT_EQ(x.rows(), ranges[0].rows());
    return ranges;
}

} // namespace

// A name that is taken, even by a folder, is never the default: the next
// free one is (a taken file: the window case below).
TEST(ExcelPath, SaysWhatAndWhenWithAnXlsxExtensionAndPassesATakenName)
{
    const DateTime t{2024, 12, 4, 9, 30, 5};
    EXPECT_EQ(ExcelPath("/x/out", ".XLSX", Export::ValueSummary, t), "/x/out/產值分析總表_20241204-0930.XLSX");
    EXPECT_EQ(ExcelPath("/x/", "xls", Export::ProductionDetail, t), "/x/生產明細表_20241204-0930.xlsx");
    EXPECT_EQ(ExcelPath("/x/", "", Export::ValueDetail, t), "/x/產值分析明細_20241204-0930.xlsx");
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    std::filesystem::create_directory(folder + "/生產明細表_20241204-0930.xlsx");
    EXPECT_EQ(ExcelPath(folder, ".xlsx", Export::ProductionDetail, t), folder + "/生產明細表_20241204-0930(2).xlsx");
}

TEST_F(ProductionExport, ValueListingTotalsAnalysesNamedByTheirTitleAndOpenRangeEnds)
{
    const auto doc = AnalysisReport("rpt產值分析表_印刷", rp_, db_.session());
    // date | order | line | product | completed | minutes | defects | unit price | value | value per hour
    EXPECT_EQ(LinesStarting(doc, "113/12/02|P02|"),
              std::vector<std::string>{"113/12/02|P02|1|月曆|2,000|120|20|0.75|1,500|750"});
    EXPECT_EQ(LinesStarting(doc, "113/12/02|P99|"), std::vector<std::string>{"113/12/02|P99|1|50|30|0|0|0"});
    EXPECT_EQ(LinesStarting(doc, "經辦小計"),
              (std::vector<std::string>{"經辦小計  3 筆|3,050|240|30|1,500|375", "經辦小計  1 筆|400|60|4|1,000|1,000",
                                        "經辦小計  1 筆|100|60|1|75|75"}));
    EXPECT_EQ(LinesStarting(doc, "車別合計"),
              (std::vector<std::string>{"車別合計  4 筆|3,450|300|34|2,500|500", "車別合計  1 筆|100|60|1|75|75"}));
    EXPECT_EQ(LinesStarting(doc, "總計"), std::vector<std::string>{"總計  5 筆|3,550|360|35|2,575|429"});
    EXPECT_TRUE(doc.find(0, "種類：D-印刷　車別：海德堡"));
    EXPECT_TRUE(doc.find(0, "經辦：A002 李小華"));

    // An analysis is named by the title it prints, so that a print to a file
    // is named after what the user sees on the page.
    for (const char* layout : {"rpt產值分析表_印刷", "rpt產值分析表_印刷_1", "rpt產值分析表1", "rpt生產明細表",
                               "rpt不良分析1_工務預排", "rpt不良分析2_工務預排", "rpt不良分析_工務預排個人總表"}) {
        const std::string title = AnalysisTitle(layout);
        ASSERT_FALSE(title.empty()) << layout;
        EXPECT_NE(AnalysisReport(layout, rp_, db_.session()).find(0, QString::fromStdString(title)), nullptr)
            << layout << " " << title;
    }
    EXPECT_EQ(AnalysisTitle("rpt外發單_印刷_xp"), "");

    // A range left open reads as open, in the printed heading and in the
    // export window (the window case below): never as the 0000000 or 9999999
    // that stand for it.
    rp_.printDate = "113/12/05";
    auto heading = [&](const char* from, const char* to) {
        rp_.doneFrom = from;
        rp_.doneTo = to;
        const auto lines = LinesStarting(AnalysisReport("rpt產值分析表_印刷", rp_, db_.session()), "完成日期：");
        return lines.empty() ? std::string() : lines.front();
    };
    EXPECT_EQ(heading("1131201", ""), "完成日期：|113/12/01 起|印表日期：|113/12/05");
    EXPECT_EQ(heading("1131201", "1131231"), "完成日期：|113/12/01 ～ 113/12/31|印表日期：|113/12/05");
    EXPECT_EQ(heading("", "1131231"), "完成日期：|113/12/31 止|印表日期：|113/12/05");
    EXPECT_EQ(heading("0000000", "9999999"), "完成日期：|不限|印表日期：|113/12/05");
}

TEST_F(ProductionExport, ValueDetailHasASheetPerKindWithFormulaTotalsProductionDetailOneSheetWithTimes)
{
    const std::string path = file("detail.xlsx");
    EXPECT_EQ(ExportAnalysis(Export::ValueDetail, p_, "PC1", db_.connectionString(), path), 10);
    const auto sheets = ReadWorkbook(path);
    std::vector<std::string> names;
    for (const auto& s : sheets)
        names.push_back(s.name);
    // and the per-machine summary the chart sheet draws from
    EXPECT_EQ(names, (std::vector<std::string>{"C-紙品", "D-印刷", "E-上光", "I-裁摺", "J-裝訂", "各機台產值"}));
    const auto& d = sheets[1];
    EXPECT_EQ(d.frozen, "A2");
    EXPECT_TRUE(d.At("A1").bold);
    EXPECT_EQ(d.Text("I1"), "完成數");
    EXPECT_FALSE(d.widths.empty());
    // P01: priced at 0 (QTY1 0), 1.5 hours as 90 minutes, 10 ahead of the standard.
    EXPECT_EQ(Texts(d, {"A2", "D2", "E2"}), "海德堡|113/12/02|P01");
    EXPECT_EQ(Numbers(d, {"I2", "J2", "L2", "N2", "O2", "P2"}), (std::vector<double>{1000, 90, 10, 1, 0, 0}));
    EXPECT_EQ(d.At("I2").format, "#,##0");
    EXPECT_EQ(d.Text("O4"), "");      // P99 has no process line: no price
    EXPECT_EQ(d.Number("P5"), 1000);  // capped at the amount
    EXPECT_EQ(Texts(d, {"A7", "I7", "P7", "N7"}), "合計|=SUM(I2:I6)|=SUM(P2:P6)|=ROUND(M7/I7*100,2)");
    EXPECT_EQ(Texts(sheets[0], {"N2", "N3"}), "|");   // nothing completed: no rate, and none in the total

    // The production detail is one sheet, with times.
    p_.kind = "E-上光";
    const std::string production = file("production.xlsx");
    EXPECT_EQ(ExportAnalysis(Export::ProductionDetail, p_, "", db_.connectionString(), production), 1);
    const auto productionSheets = ReadWorkbook(production);
    ASSERT_EQ(productionSheets.size(), 2u); // and the per-machine summary
    const auto& sheet = productionSheets[0];
    EXPECT_EQ(sheet.name, "生產明細表");
    EXPECT_EQ(Texts(sheet, {"A2", "E2", "F2"}), "E-上光|113/12/03 13:00|113/12/03 14:00");
    EXPECT_EQ(sheet.Number("N2"), 100);   // 100 in 60 minutes
    EXPECT_EQ(sheet.Number("P2"), 124);   // 1.2345 priced at varnishing's 3 places, as the analyses print it
    EXPECT_EQ(sheet.Text("K3"), "=SUM(K2:K2)");
}

TEST_F(ProductionExport, SummaryGroupsTheAnalysisTableOfThisWorkstation)
{
    ASSERT_TRUE(daily::printing::BuildAnalysisTable(db_.connectionString(), p_, "PC1"));
    db_.exec("insert into [不良分析_tmp] (ID, 種類, 機別, 完成數, 產值) values ('PC2', 'D-印刷', '海德堡', '9', '9')");
    const std::string path = file("summary.xlsx");
    EXPECT_EQ(ExportAnalysis(Export::ValueSummary, p_, "PC1", db_.connectionString(), path), 7);
    const auto sheets = ReadWorkbook(path);
    ASSERT_EQ(sheets.size(), 6u); // five kinds, the per-machine summary
    const auto& d = sheets[1];
    // machine | handler code | handler | records | completed | minutes | defects | rate | value
    EXPECT_EQ(Texts(d, {"A2", "B2", "C2"}), "海德堡|A001|王大明");
    EXPECT_EQ(Numbers(d, {"D2", "E2", "F2", "G2", "H2", "I2"}), (std::vector<double>{3, 3050, 240, 30, 0.98, 1500}));
    EXPECT_EQ(Texts(d, {"A5", "E5", "H5"}), "合計|=SUM(E2:E4)|=ROUND(G5/E5*100,2)");

    p_.completionGrouping = 2;
    ExportAnalysis(Export::ValueSummary, p_, "PC1", db_.connectionString(), file("byDate.xlsx"));
    const auto byDate = ReadWorkbook(file("byDate.xlsx"));
    EXPECT_EQ(Texts(byDate[1], {"B1", "B2"}), "完成日期|113/12/02");
    EXPECT_EQ(byDate[1].Number("C2"), 3);
}

// Every analysis of records ends in a chart sheet of output value and defect
// rate per machine, drawn from a summary sheet whose every row adds up the
// listed rows of its machine. The summary by date also charts the days of
// the machine with the largest output, from its rows, also when the lines
// do not come machine by machine.
TEST_F(ProductionExport, ChartsDrawEachMachinesSumsAndByDateTheDaysOfTheLargestMachine)
{
    // The closed lines of the history by kind and machine (the printed
    // analyses' 車別合計), and the days of the machine with the largest output.
    const std::map<std::string, Sums> byMachine = {
        {"C-紙品|裁紙機", {0, 0, 0, 0}},        {"D-印刷|海德堡", {3450, 34, 2500, 0.99}},
        {"D-印刷|海德堡二號", {100, 1, 75, 1}}, {"E-上光|UV上光", {100, 2, 124, 2}},
        {"I-裁摺|大裁刀", {300, 3, 0, 1}},      {"J-裝訂|騎馬釘機", {502, 5, 7, 1}}};
    const std::string largest = "海德堡";
    const std::map<std::string, Sums> byDay = {{"1131202", {3050, 30, 1500, 0.98}}, {"1131203", {400, 4, 1000, 1}}};
    // The days a chart draws, checked against byDay.
    const auto expectDays = [&](const std::vector<Sheet>& sheets, const xlsx::testing::ChartContent& chart) {
        const auto [dates, values, rates] = ValueAndRate(chart);
        const Sheet& listing = Named(sheets, dates.sheet);
        EXPECT_EQ(chart.title, largest + " 每日產值與不良率");
        EXPECT_EQ(dates.lastRow - dates.firstRow + 1, static_cast<int>(byDay.size()));
        for (int row = dates.firstRow; row <= dates.lastRow; ++row) {
            const std::string n = std::to_string(row);
            std::string date = listing.Text(dates.firstCol + n); // 113/12/02
            std::erase(date, '/');
            ASSERT_TRUE(byDay.count(date)) << date;
            const Sums& x = byDay.at(date);
            EXPECT_EQ(listing.Text("A" + n), largest);
            EXPECT_EQ(listing.Number(values.firstCol + n), x.value) << n;
            EXPECT_EQ(listing.Number(rates.firstCol + n), x.rate) << n;
        }
    };

    ASSERT_TRUE(daily::printing::BuildAnalysisTable(db_.connectionString(), p_, "PC1"));
    // charts: the machines', and by date also the largest machine's days
    const struct { Export e; const char* key; int grouping; std::size_t charts; } cases[] = {
        {Export::ValueDetail, "", 1, 1}, {Export::ProductionDetail, "", 1, 1},
        {Export::ValueSummary, "PC1", 1, 1}, {Export::ValueSummary, "PC1", 2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(ExportTitle(c.e) + " grouping " + std::to_string(c.grouping));
        p_.completionGrouping = c.grouping;
        const std::string path = file("charts.xlsx");
        ExportAnalysis(c.e, p_, c.key, db_.connectionString(), path);
        const auto sheets = ReadWorkbook(path);
        const auto charts = xlsx::testing::ReadCharts(path);
        ASSERT_EQ(charts.size(), c.charts);
        EXPECT_EQ(charts[0].sheet, "產值圖");
        const auto [machines, values, rates] = ValueAndRate(charts[0]);
        const Sheet& summary = Named(sheets, machines.sheet);
        std::set<std::string> drawn;
        for (int row = machines.firstRow; row <= machines.lastRow; ++row) {
            const std::string n = std::to_string(row);
            const std::string key = summary.Text("A" + n) + "|" + summary.Text(machines.firstCol + n);
            ASSERT_TRUE(byMachine.count(key) && drawn.insert(key).second) << key;
            const Sums& x = byMachine.at(key);
            const auto& value = summary.At(values.firstCol + n);
            EXPECT_EQ(std::stod(value.cached), x.value) << key; // what a reader that does not calculate shows
            EXPECT_EQ(SumProduct(sheets, value.value), x.value) << key;
            EXPECT_EQ(SumProduct(sheets, summary.Text("C" + n)), x.completed) << key;
            EXPECT_EQ(SumProduct(sheets, summary.Text("D" + n)), x.defects) << key;
            EXPECT_EQ(std::stod(summary.At(rates.firstCol + n).cached), x.rate) << key;
        }
        EXPECT_EQ(drawn.size(), byMachine.size());
        if (c.charts == 2)
            expectDays(sheets, charts[1]);
    }

    // The largest machine's days split by another machine's line.
    const std::vector<SummaryLine> lines = {{"D-印刷", "海德堡", "", "", "1131202", 1, 3050, 0, 30, 1500},
                                            {"D-印刷", "海德堡二號", "", "", "1131203", 1, 100, 0, 1, 75},
                                            {"D-印刷", "海德堡", "", "", "1131203", 1, 400, 0, 4, 1000}};
    WriteValueSummary(file("mixed.xlsx"), lines, true);
    expectDays(ReadWorkbook(file("mixed.xlsx")), xlsx::testing::ReadCharts(file("mixed.xlsx")).at(1));
}

// Two windows of the same minute: the one written first keeps its file, the
// second takes the next name, shows it and says it; a folder that cannot be
// written is named and the window stays open. What a window exports is said
// with the open ends of its ranges as open.
TEST_F(ProductionExport, WindowWritesOnEnterPassesANameTakenMeanwhileAndNamesAFolderItCannotWrite)
{
    qtmv::test::WithApp app;
    ScriptedMessages messages;
    const FixedClock clock({2024, 12, 4, 9, 30, 5});
    frm產值分析明細轉Excel first(1, p_, "PC1", db_.session(), clock);
    frm產值分析明細轉Excel second(1, p_, "PC1", db_.session(), clock);
    EXPECT_EQ(first.path(), db_.folder() + "產值分析明細_20241204-0930.xlsx");
    EXPECT_EQ(second.path(), first.path());
    first.show();
    QTest::keyClick(&first, Qt::Key_Return);
    EXPECT_TRUE(first.written());
    EXPECT_EQ(first.result(), QDialog::Accepted);
    ASSERT_TRUE(std::filesystem::exists(first.path()));
    const auto firstBytes = std::filesystem::file_size(first.path());
    std::filesystem::resize_file(first.path(), firstBytes + 1); // marked: it must stay as it is
    second.show();
    QTest::keyClick(&second, Qt::Key_Return);
    EXPECT_TRUE(second.written());
    EXPECT_EQ(second.path(), db_.folder() + "產值分析明細_20241204-0930(2).xlsx");
    EXPECT_EQ(second.txt檔案->text().toStdString(), second.path());
    EXPECT_EQ(std::filesystem::file_size(first.path()), firstBytes + 1);
    EXPECT_TRUE(std::filesystem::exists(second.path()));
    // Where each went, in full.
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "轉Excel成功\n檔案：" + first.path());
    EXPECT_EQ(messages.shown()[1].text, "轉Excel成功\n檔案：" + second.path());

    messages.clear();
    db_.session().ExcelFolder = db_.folder() + "沒有這個資料夾";
    frm生產明細表轉Excel w(p_, db_.session(), clock);
    EXPECT_EQ(w.lbl說明->text().toStdString(), "生產明細表\n種類：全部　完成日期：不限\n工單單號：不限");
    w.show();
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_FALSE(w.written());
    EXPECT_TRUE(w.isVisible()); // still open: the user may cancel
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find(db_.folder() + "沒有這個資料夾"), std::string::npos);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(w.result(), QDialog::Rejected);

    p_.kind = "D-印刷";
    p_.completionDateFrom = "1131201";
    p_.completionTimeFrom = "0800";
    p_.workOrderFrom = "P01";
    frm生產明細表轉Excel narrowed(p_, db_.session(), clock);
    EXPECT_EQ(narrowed.lbl說明->text().toStdString(),
              "生產明細表\n種類：D-印刷　完成日期：113/12/01 08:00 起\n工單單號：P01 起");
}
