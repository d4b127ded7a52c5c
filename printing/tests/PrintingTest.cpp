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
#include <tuple>
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

// A kind change shows (1), hides (0) or leaves (.) each of the choices 0 to
// 7, captions choice 0, and falls back to choice 0 from one the kind does
// not offer.
TEST(PrintPageRules, DefaultsTheKindsOrderChoicesAndWhatEachChoiceShows)
{
    struct Case { const char* kind; bool printPressed, amounts; int selected; const char *visible, *caption; bool back; };
    for (const Case& c : {Case{"D-印刷", true, false, 1, "1..111..", "排程單1", false},
                          Case{"C-紙品", true, true, 4, "1..100..", "排程單1", true},
                          Case{"C-紙品", true, false, 0, "1..000..", "排程單", false},
                          Case{"A-印前", true, false, 1, "1..000..", "排程單", true},
                          Case{"A-印前", false, false, 1, "...000..", "", false}}) {
        SCOPED_TRACE(testing::Message() << c.kind << " " << c.printPressed << c.amounts << " " << c.selected);
        const KindView v = KindChange(c.kind, c.printPressed, c.amounts, c.selected);
        std::string visible;
        for (const std::optional<bool>& shown : v.choiceVisible)
            visible += shown ? (*shown ? '1' : '0') : '.';
        EXPECT_EQ(visible, c.visible);
        EXPECT_EQ(v.choice0Caption, c.caption);
        EXPECT_EQ(v.selectChoice0, c.back);
    }

    // The ranges' defaults for the record and today.
    EXPECT_EQ(DefaultRanges(FixedClock({2024, 12, 4, 9, 30, 0}), "1131201001"),
              (std::array<std::string, 14>{"", "1131204", "1131201001", "1131201001", "1131201", "0000", "1131204",
                                           "2400", "", "zzzzzzzzz", "", "", "", ""}));

    // What each choice shows, named.
    const std::tuple<int, const char*, const char*, const char*> cases[] = {
        {0, "D-印刷", "岱恆印刷", "orderPanel retitle kind"},
        {4, "D-印刷", "岱恆印刷", "orderPanel kind"},
        {0, "D-印刷", "大華岱恆", "orderPanel kind"},
        {2, "D-印刷", "", "completionDate excel kind"},
        {1, "D-印刷", "", "layoutChoice excel kind"},
        {1, "A-印前", "", "excel kind"},
        {6, "", "", ""},
        {7, "", "", "excel kind"},
    };
    for (const auto& [choice, kind, title, shown] : cases) {
        const ChoiceView v = ChoiceRules(choice, kind, title);
        std::string named;
        for (const auto& [on, name] : {std::pair{v.orderPanel, "orderPanel"}, {v.retitle, "retitle"},
                                       {v.completionDate, "completionDate"}, {v.layoutChoice, "layoutChoice"},
                                       {v.excel, "excel"}, {v.kind, "kind"}})
            named += on ? std::string(named.empty() ? "" : " ") + name : "";
        EXPECT_EQ(named, shown) << choice << " " << kind << " " << title;
    }
}

TEST(PrintParamsFill, EmptyFieldsTakeTheirBoundsTheOrderLayoutTakesThemOverAndTheJobChecksAndDecides)
{
    PageInput page;
    page.choice = 3;
    page.kind = " D-印刷 ";
    page.ranges[12] = " V01 ";
    page.retitle = page.groupByCompletion = page.suppressCustomer = true;
    const PrintParams p = FillParams(page);
    EXPECT_EQ((std::vector<std::string>{p.scheduleDateTo, p.completionTimeTo, p.vendor, p.kind, p.reportTitle,
                                        p.suppressCustomer, std::to_string(p.completionGrouping)}),
              (std::vector<std::string>{"9999999", "9999", "V01", "D-印刷", "2", "1", "2"}));
    for (auto [choice, report] : {std::pair{3, 2}, {0, 1}, {6, 0}}) {
        page.choice = choice;
        EXPECT_EQ(FillParams(page).reportChoice, report) << choice;
    }

    // The order layout takes them over, with the company title read at print time.
    PrintParams order = p;
    order.preScheduleFrom = "1131201001";
    order.companyTitle = "大華印刷";
    const reports::PrintParams r = OrderParams(order);
    EXPECT_EQ((std::vector<std::string>{r.numberFrom, r.vendor, r.kind, r.noCustomer, r.titleChoice, r.companyTitle,
                                        std::to_string(r.choice)}),
              (std::vector<std::string>{"1131201001", "V01", "D-印刷", "1", "2", "大華印刷", "2"}));

    // What each choice checks for data, and which layout or window it opens.
    page = {};
    page.kind = "I-裁摺";
    PrintParams job = FillParams(page);
    EXPECT_NE(AnalysisCondition(job).find("開始時間 >= '00000000000' and 結束時間 <= '99999999999'"), std::string::npos);
    EXPECT_NE(CheckQuery(1, job, "").find(" and KIND = 'I-裁摺' "), std::string::npos);
    EXPECT_EQ(CheckQuery(6, job, "").find("KIND = "), std::string::npos);
    EXPECT_NE(CheckQuery(2, job, kExcelMode, "PC1").find("from [不良分析_tmp] where ID = 'PC1'"), std::string::npos);
    page.kind = "";
    EXPECT_EQ(CheckQuery(0, FillParams(page), ""), "");

    page.kind = "N-其它";
    job = FillParams(page);
    const Dispatch d = Decide(4, job, "", true, false);
    EXPECT_EQ(d.target, Target::OutsourcingOrder);
    EXPECT_EQ(d.layout, "rpt外發單_其他_xp");
    EXPECT_TRUE(d.preview);
    EXPECT_FALSE(Decide(1, job, "", true, false).preview);
    EXPECT_EQ(Decide(1, job, kExcelMode, true, true).target, Target::ValueExcel);
    EXPECT_EQ(Decide(7, job, kExcelMode, true, true).target, Target::DetailExcel);
    EXPECT_EQ(Decide(7, job, "", true, true).layout, "rpt生產明細表");
    EXPECT_EQ(Decide(2, job, "", true, true).layout, "rpt不良分析1_工務預排");
    job.completionGrouping = 2;
    EXPECT_EQ(Decide(2, job, "", true, true).layout, "rpt不良分析2_工務預排");
    job.kind = "D-印刷";
    EXPECT_EQ(Decide(1, job, "", true, true).layout, "rpt產值分析表_印刷");
    EXPECT_EQ(Decide(1, job, "", false, true).layout, "rpt產值分析表_印刷_1");
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

// A preview writes nothing; a print copies the machines and opens the order
// of the kind with the company title and footers read.
TEST_F(PrintRun, OrderCopiesMachinesReadsTitleAndFootersAndNothingOfTheRangeIsNoData)
{
    auto machines = [this] {
        return db.value("select group_concat(序 || '=' || ifnull(機別, 'null'), ',') from "
                        "(select 序, 機別 from 預排資料耗時明細 order by 序)");
    };
    const std::string before = machines();
    EXPECT_EQ(RunPrint(db.connectionString(), orderPage("V0"), true, "").status, Outcome::Ready);
    EXPECT_EQ(machines(), before);

    const Outcome o = RunPrint(db.connectionString(), orderPage("V0"), false, "");
    ASSERT_EQ(o.status, Outcome::Ready);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(o.dispatch.target, Target::OutsourcingOrder);
    EXPECT_EQ(o.dispatch.layout, "rpt外發單_印刷_xp");
    EXPECT_EQ(o.params.companyTitle + "/" + o.params.footer1 + "/" + o.params.footer2 + "/" + o.params.footer3,
              "大華印刷/甲//丙");
    // Printing lines get the printing piece's machine, hot-foil the hot-foil
    // one's; a machine that is there stays, and a line of a kind without a
    // piece (die-cutting) or without a kind keeps its blank.
    EXPECT_EQ(machines(), "1=一號機,2=一號機,3=二號機,4=,5=燙金機,6=");

    // Nothing of the range is no data, for an order as for a summary, which
    // checks the chosen kind; the export of choice 2 stops when its analysis
    // table is not built.
    EXPECT_EQ(RunPrint(db.connectionString(), orderPage("V9"), false, "").status, Outcome::NoData);
    PageInput summary = orderPage("");
    summary.choice = 6;
    EXPECT_EQ(RunPrint(db.connectionString(), summary, true, "").status, Outcome::NoData);
    summary.choice = 2;
    const auto notBuilt = [](const PrintParams&) { return false; };
    EXPECT_EQ(RunPrint(db.connectionString(), summary, true, kExcelMode, "PC1", notBuilt).status, Outcome::Cancelled);

    db.exec("insert into 預排資料耗時明細 (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量) values "
            "('1131201001', 'P01', 1, 9, 'D-印刷', '一號機', '1131202 0800', '1131202 0900', 100)");
    EXPECT_EQ(RunPrint(db.connectionString(), summary, true, "").status, Outcome::Ready);
    summary.kind = "A-印前";
    EXPECT_EQ(RunPrint(db.connectionString(), summary, true, "").status, Outcome::NoData);
}
