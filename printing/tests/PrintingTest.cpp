// The print page's rules and print operation, without a window.
#include "printing/OrderParams.h"
#include "printing/OutputName.h"
#include "printing/PageRules.h"
#include "printing/PrintJob.h"
#include "db/testing/FreshDatabase.h"
#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

using namespace qtmv;
using namespace qtmv::daily::printing;

// The default name of an export or a print to a file: the report and the
// time, in the folder given, and never a name something already has.
TEST(OutputName, ReportAndTimeAndNeverATakenName)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const DateTime t{2026, 12, 7, 15, 30, 59};
    EXPECT_EQ(NewOutputPath(folder, "生產明細表", ".pdf", t), folder + "/生產明細表_20261207-1530.pdf");
    EXPECT_EQ(NewOutputPath(folder + "/", " 產值分析 ", ".pdf", t), folder + "/產值分析_20261207-1530.pdf");
    // A name a file cannot hold, and no name at all.
    EXPECT_EQ(NewOutputPath(folder, "A/B:C*?", ".pdf", t), folder + "/A_B_C___20261207-1530.pdf");
    EXPECT_EQ(NewOutputPath(folder, "", ".pdf", t), folder + "/列印_20261207-1530.pdf");

    std::ofstream(folder + "/生產明細表_20261207-1530.pdf") << "earlier";
    std::filesystem::create_symlink(folder + "/gone", folder + "/生產明細表_20261207-1530(2).pdf");
    EXPECT_EQ(NewOutputPath(folder, "生產明細表", ".pdf", t), folder + "/生產明細表_20261207-1530(3).pdf");
    EXPECT_EQ(NewOutputPath(folder, "生產明細表", ".xlsx", t), folder + "/生產明細表_20261207-1530.xlsx");
}

TEST(PrintPageRules, DefaultsForTheRecordAndToday)
{
    const FixedClock clock({2024, 12, 4, 9, 30, 0});
    const auto r = DefaultRanges(clock, "1131201001");
    const std::vector<std::string> first(r.begin(), r.begin() + 10);
    EXPECT_EQ(first, (std::vector<std::string>{"", "1131204", "1131201001", "1131201001", "1131201", "0000", "1131204",
                                               "2400", "", "zzzzzzzzz"}));
}

TEST(PrintPageRules, KindChangeOffersTheOrderChoicesOfTheKind)
{
    const KindView d = KindChange("D-印刷", true, false, 1);
    EXPECT_EQ(d.choice0Caption, "排程單1");
    for (int i : {0, 3, 4, 5})
        EXPECT_TRUE(d.choiceVisible[static_cast<std::size_t>(i)].value_or(false)) << i;
    EXPECT_FALSE(d.selectChoice0);

    const KindView c = KindChange("C-紙品", true, true, 4);
    EXPECT_TRUE(c.choiceVisible[3].value_or(false));
    EXPECT_FALSE(c.choiceVisible[4].value_or(true));
    EXPECT_TRUE(c.selectChoice0);
    EXPECT_EQ(KindChange("C-紙品", true, false, 0).choice0Caption, "排程單");
    EXPECT_FALSE(KindChange("C-紙品", true, false, 0).choiceVisible[3].value_or(true));

    const KindView a = KindChange("A-印前", true, false, 1);
    EXPECT_TRUE(a.selectChoice0);
    for (int i : {3, 4, 5})
        EXPECT_FALSE(a.choiceVisible[static_cast<std::size_t>(i)].value_or(true)) << i;
    EXPECT_FALSE(KindChange("A-印前", false, false, 1).selectChoice0);
    EXPECT_FALSE(KindChange("A-印前", false, false, 1).choiceVisible[0].has_value());
}

TEST(PrintPageRules, ChoicePanelsChecksAndKind)
{
    struct Case { int choice; const char* kind; const char* title; bool panel, retitle, completion, layout, excel, kind_; };
    const Case cases[] = {
        {0, "D-印刷", "岱恆印刷", true, true, false, false, false, true},
        {4, "D-印刷", "岱恆印刷", true, false, false, false, false, true},
        {0, "D-印刷", "大華岱恆", true, false, false, false, false, true},
        {2, "D-印刷", "", false, false, true, false, true, true},
        {1, "D-印刷", "", false, false, false, true, true, true},
        {1, "A-印前", "", false, false, false, false, true, true},
        {6, "", "", false, false, false, false, false, false},
        {7, "", "", false, false, false, false, true, true},
    };
    for (const Case& c : cases) {
        const ChoiceView v = ChoiceRules(c.choice, c.kind, c.title);
        SCOPED_TRACE(testing::Message() << c.choice << " " << c.kind << " " << c.title);
        EXPECT_EQ(v.orderPanel, c.panel);
        EXPECT_EQ(v.retitle, c.retitle);
        EXPECT_EQ(v.completionDate, c.completion);
        EXPECT_EQ(v.layoutChoice, c.layout);
        EXPECT_EQ(v.excel, c.excel);
        EXPECT_EQ(v.kind, c.kind_);
    }
}

TEST(PrintParamsFill, EmptyFieldsTakeTheirBoundsTextsAreTrimmedAndTheOrderLayoutTakesThemOver)
{
    PageInput page;
    page.choice = 3;
    page.kind = " D-印刷 ";
    page.ranges[12] = " V01 ";
    page.retitle = page.groupByCompletion = page.suppressCustomer = true;
    const PrintParams p = FillParams(page);
    EXPECT_EQ(p.scheduleDateTo, "9999999");
    EXPECT_EQ(p.completionTimeTo, "9999");
    EXPECT_EQ(p.vendor, "V01");
    EXPECT_EQ(p.kind, "D-印刷");
    EXPECT_EQ(p.reportTitle, "2");
    EXPECT_EQ(p.suppressCustomer, "1");
    EXPECT_EQ(p.completionGrouping, 2);
    for (auto [choice, report] : {std::pair{3, 2}, {0, 1}, {6, 0}}) {
        page.choice = choice;
        EXPECT_EQ(FillParams(page).reportChoice, report) << choice;
    }

    // The order layout takes them over, with the company title read at print time.
    PrintParams order = p;
    order.preScheduleFrom = "1131201001";
    order.companyTitle = "大華印刷";
    const reports::PrintParams r = OrderParams(order);
    EXPECT_EQ((std::vector<std::string>{r.numberFrom, r.vendor, r.kind, r.noCustomer, r.titleChoice, r.companyTitle}),
              (std::vector<std::string>{"1131201001", "V01", "D-印刷", "1", "2", "大華印刷"}));
    EXPECT_EQ(r.choice, 2);
}

TEST(PrintCheckQuery, PerChoice)
{
    PageInput page;
    page.kind = "I-裁摺";
    const PrintParams p = FillParams(page);
    const std::string analysis = AnalysisCondition(p);
    EXPECT_NE(analysis.find("開始時間 >= '00000000000' and 結束時間 <= '99999999999'"), std::string::npos);
    EXPECT_NE(CheckQuery(1, p, "").find(" and KIND = 'I-裁摺' "), std::string::npos);
    EXPECT_EQ(CheckQuery(6, p, "").find("KIND = "), std::string::npos);
    EXPECT_NE(CheckQuery(2, p, kExcelMode, "PC1").find("from [不良分析_tmp] where ID = 'PC1'"), std::string::npos);
    PageInput other = page;
    other.kind = "";
    EXPECT_EQ(CheckQuery(0, FillParams(other), ""), "");
}

TEST(PrintDispatch, LayoutPerChoiceAndKind)
{
    PageInput page;
    page.kind = "N-其它";
    PrintParams p = FillParams(page);
    const Dispatch d = Decide(4, p, "", true, false);
    EXPECT_EQ(d.target, Target::OutsourcingOrder);
    EXPECT_EQ(d.layout, "rpt外發單_其他_xp");
    EXPECT_TRUE(d.preview);
    EXPECT_FALSE(Decide(1, p, "", true, false).preview);
    EXPECT_EQ(Decide(1, p, kExcelMode, true, true).target, Target::ValueExcel);
    EXPECT_EQ(Decide(7, p, kExcelMode, true, true).target, Target::DetailExcel);
    EXPECT_EQ(Decide(7, p, "", true, true).layout, "rpt生產明細表");
    EXPECT_EQ(Decide(2, p, "", true, true).layout, "rpt不良分析1_工務預排");
    p.completionGrouping = 2;
    EXPECT_EQ(Decide(2, p, "", true, true).layout, "rpt不良分析2_工務預排");
    p.kind = "D-印刷";
    EXPECT_EQ(Decide(1, p, "", true, true).layout, "rpt產值分析表_印刷");
    EXPECT_EQ(Decide(1, p, "", false, true).layout, "rpt產值分析表_印刷_1");
}

class PrintRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec("insert into 預排資料 (ID, [DATE]) values ('1131201001', '1131201')");
        db.exec("insert into PRINTING_S (ID, INO, PO, [NO], 順序, VENDER) values ('1131201001', 1, 'P01', 1, '1', 'V01')");
        // One work-order line in two kinds of the document: printing and hot-foil.
        db.exec("insert into 預排資料明細 (ID, INO, KIND, PO, [NO], 機別) values ('1131201001', 1, '印 刷', 'P01', 1, "
                "'一號機'), ('1131201001', 2, '燙 金', 'P01', 1, '燙金機')");
        db.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別) values "
                "('1131201001', 'P01', 1, 1, 'D-印刷', ''), ('1131201001', 'P01', 1, 2, 'D-印刷', null), "
                "('1131201001', 'P01', 1, 3, 'D-印刷', '二號機'), ('1131201001', 'P01', 1, 4, 'G-軋工', ''), "
                "('1131201001', 'P01', 1, 5, 'L-燙金', ' '), ('1131201001', 'P01', 1, 6, '', '')");
        db.exec("insert into COMPANY (COMPANY) values (' 大華印刷 ')");
        db.exec("insert into 排程表尾預設 (REM, REM1, REM2) values ('甲', null, '丙')");
    }
    PageInput orderPage(const std::string& vendor) const
    {
        PageInput page;
        page.choice = 0;
        page.kind = "D-印刷";
        page.ranges[2] = page.ranges[3] = "1131201001";
        page.ranges[12] = vendor;
        return page;
    }
    db::test::FreshDatabase db;
    ScriptedMessages messages;
};

TEST_F(PrintRun, OrderWithDataReadsTitleAndFooters)
{
    const Outcome o = RunPrint(db.connectionString(), orderPage("V0"), false, "");
    ASSERT_EQ(o.status, Outcome::Ready);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(o.dispatch.target, Target::OutsourcingOrder);
    EXPECT_EQ(o.dispatch.layout, "rpt外發單_印刷_xp");
    EXPECT_EQ(o.params.companyTitle, "大華印刷");
    EXPECT_EQ(o.params.footer1, "甲");
    EXPECT_EQ(o.params.footer2, "");
    EXPECT_EQ(o.params.footer3, "丙");
}

TEST_F(PrintRun, NothingToPrintIsNoDataAndTheExportStopsWithoutItsTable)
{
    const Outcome o = RunPrint(db.connectionString(), orderPage("V9"), false, "");
    EXPECT_EQ(o.status, Outcome::NoData);

    PageInput summary = orderPage("");
    summary.choice = 6;
    EXPECT_EQ(RunPrint(db.connectionString(), summary, true, "").status, Outcome::NoData);
    summary.choice = 2;
    // The export of choice 2 stops when its analysis table is not built.
    EXPECT_EQ(RunPrint(db.connectionString(), summary, true, kExcelMode, "PC1",
                       [](const PrintParams&) { return false; })
                  .status,
              Outcome::Cancelled);
}

TEST_F(PrintRun, MachineCopyFillsOnlyMissingMachinesOfThePiecesKindAndNotOnPreview)
{
    auto machines = [this] {
        return db.value("select group_concat(序 || '=' || ifnull(機別, 'null'), ',') from "
                        "(select 序, 機別 from 預排資料耗時明細 order by 序)");
    };
    const std::string before = machines();
    EXPECT_EQ(RunPrint(db.connectionString(), orderPage("V0"), true, "").status, Outcome::Ready);
    EXPECT_EQ(machines(), before); // a preview writes nothing

    EXPECT_EQ(RunPrint(db.connectionString(), orderPage("V0"), false, "").status, Outcome::Ready);
    // Printing lines get the printing piece's machine, hot-foil the hot-foil
    // one's; a machine that is there stays, and a line of a kind without a
    // piece (die-cutting) or without a kind keeps its blank.
    EXPECT_EQ(machines(), "1=一號機,2=一號機,3=二號機,4=,5=燙金機,6=");
}

TEST_F(PrintRun, SummaryChecksForDataOfTheChosenKind)
{
    db.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量) values "
            "('1131201001', 'P01', 1, 9, 'D-印刷', '一號機', '1131202 0800', '1131202 0900', 100)");
    PageInput summary = orderPage("");
    summary.choice = 2;
    EXPECT_EQ(RunPrint(db.connectionString(), summary, true, "").status, Outcome::Ready);
    summary.kind = "A-印前";
    EXPECT_EQ(RunPrint(db.connectionString(), summary, true, "").status, Outcome::NoData);
}
