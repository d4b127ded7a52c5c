// Inspection lines, printing data, the listing and the colour targets
// against a database of the schema: what a save leaves, read back.
#include "quality/core/Inspection.h"
#include "quality/core/PrintingData.h"
#include "quality/core/PrintingList.h"

#include "app/core/Session.h"
#include "common/Clock.h"
#include "common/EntryText.h"
#include "db/ServerSchema.h"
#include "db/testing/EngineFreshDatabase.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/tests/TestApp.h"
#include "platform/workbook/testing/ReadWorkbook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <unistd.h>

using namespace qtmv;
using namespace qtmv::quality;
using qtmv::db::test::Engine;
using qtmv::db::test::EngineFreshDatabase;
using Rows = std::vector<std::vector<std::string>>;

namespace {

// The report measures its texts: the test binary has an application.
class QualityCore : public ::testing::Test, qtmv::test::WithApp {
protected:
    QualityCore()
    {
        db.session().IdentityEstablished = db.session().RightsEstablished = true;
        db.session().ProductionRights = std::string(20, '0');
        conn.open(db.connectionString());
    }
    db::test::FreshDatabase db;
    daily::SaveContext ctx_{db.session(), TheSystemClock(), [] {}};

    jet::Connection conn;
    ScriptedMessages messages;
};

// The records of the cases: printing of work order P1, line 1.
const InspectionKey ikey{"D-印刷", "P1", 1};
const PrintingKey pkey{"P1", 1, "D-印刷"};

InspectionLine Inspected(const char* item, double count, double defective, const char* verdict, bool proposed)
{
    return {item, "", "", count, defective, defective / count * 100, verdict, proposed};
}

PrintingLine Printed(const char* colour, const char* l, const char* date)
{
    return {colour, {"東洋 青(C)"}, {l}, "E01", "陳大文", date};
}

} // namespace

// Each save replaces only its own record: the filled lines numbered in
// order, nothing of an empty one; emptied, nothing is kept.
TEST_F(QualityCore, SavesReplaceTheirOwnRecordWithTheFilledLinesInOrder)
{
    db.exec("insert into [工單品檢明細] (製程, 工單單號, 工單序, 序, 主要檢查項目) values "
            "('D-印刷', 'P1', 1, 1, 'old'), ('E-上光', 'P1', 1, 1, 'varnish'), ('D-印刷', 'P1', 2, 1, 'line 2')");
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號) values "
            "('D-印刷', 'P1', 1, 1, 'old'), ('D-印刷', 'P1', 2, 1, 'other line')");
    InspectionLine standardOnly;
    standardOnly.standard = "ΔE≦3.0";
    InspectionSaved i = SaveInspection(ikey, {Inspected("色差", 200, 3, "OK", false), InspectionLine{}, standardOnly},
                                       LoadInspection(conn, ikey).stored, ctx_);
    ASSERT_EQ(i.status, SaveStatus::Saved);
    EXPECT_TRUE(i.hasLines);
    EXPECT_EQ(db.rows("select 序, 主要檢查項目, 檢查標準, 檢驗數量, 不良數量, 不良率, 判定 from [工單品檢明細] "
                      "where 製程 = 'D-印刷' and 工單單號 = 'P1' and 工單序 = 1 order by 序"),
              (Rows{{"1", "色差", "", "200.0", "3.0", "1.5", "OK"}, {"2", "", "ΔE≦3.0", "0.0", "0.0", "0.0", ""}}));
    EXPECT_EQ(db.count("select * from [工單品檢明細] where 主要檢查項目 in ('varnish', 'line 2')"), 2);

    PrintingLine second = Printed("M", "48.1", "1131204");
    second.inks[6] = "白墨";
    second.measures[3] = "1.20";
    const PrintingSaved p = SavePrintingData(pkey, {Printed("C", "55", "1131203"), PrintingLine{}, second},
                                             LoadPrintingData(conn, pkey).stored, ctx_);
    ASSERT_EQ(p.status, SaveStatus::Saved);
    EXPECT_TRUE(p.hasLines);
    EXPECT_EQ(db.rows("select 序, 色號, 油墨1, 油墨7, 測量1, 測量4, 記錄員代號, 記錄員, 印刷日期 from [工單印刷數據] "
                      "where 工單單號 = 'P1' and 工單序 = 1 order by 序"),
              (Rows{{"1", "C", "東洋 青(C)", "", "55", "", "E01", "陳大文", "1131203"},
                    {"2", "M", "東洋 青(C)", "白墨", "48.1", "1.20", "E01", "陳大文", "1131204"}}));
    EXPECT_EQ(db.count("select * from [工單印刷數據] where 色號 = 'other line'"), 1);

    i = SaveInspection(ikey, {InspectionLine{}}, i.stored, ctx_);
    EXPECT_FALSE(i.hasLines);
    EXPECT_EQ(db.count("select * from [工單品檢明細] where 製程 = 'D-印刷' and 工單序 = 1"), 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(QualityCore, TheKindsAcceptableRateProposesTheVerdictAndItsPhrasesFillTheLines)
{
    EXPECT_FALSE(DefectRate(0, 3));
    db.exec("insert into [品檢允收不良率] ([KIND], 允收率) values ('D-印刷', 2)");
    const auto acceptable = AcceptableRate(conn, "D-印刷");
    ASSERT_TRUE(acceptable);
    EXPECT_EQ(ProposedVerdict(2.0, acceptable), "OK");   // at the limit is acceptable
    EXPECT_EQ(ProposedVerdict(2.1, acceptable), "NG");
    EXPECT_FALSE(AcceptableRate(conn, "A-印前"));
    EXPECT_EQ(ProposedVerdict(50, std::nullopt), "");

    // The kind's phrases fill the lines by their order.
    db.exec("insert into [片語資料_品檢] (ID, [KIND], [ITEM], [DESC]) values "
            "(5, 'D-印刷', '主要檢查項目', '套印'), (2, 'D-印刷', '主要檢查項目', '色差'), "
            "(3, 'D-印刷', '檢查標準', 'ΔE≦3.0'), (4, 'D-印刷', '權責單位', '印刷課'), "
            "(6, 'D-印刷', '主要檢查項目', '數量'), (7, 'E-上光', '主要檢查項目', '光澤')");
    const std::vector<InspectionLine> lines = LoadInspectionPhrases(conn, "D-印刷").lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ((std::vector<std::string>{lines[0].item, lines[0].standard, lines[0].unit}),
              (std::vector<std::string>{"色差", "ΔE≦3.0", "印刷課"}));
    EXPECT_EQ((std::vector<std::string>{lines[2].item, lines[2].standard, lines[2].unit}),
              (std::vector<std::string>{"數量", "", ""}));
}

TEST_F(QualityCore, PaperLabelDatesColourDifferenceAndTheListingsFiltersAndReport)
{
    db.exec("insert into PAPER (PO, [NO], [ITEM]) values ('P1', 1, '雪銅紙'), ('P1', 2, ''), ('P1', 3, '道林紙')");
    EXPECT_EQ(PaperLabel(conn, "P1", 1), "紙品： 雪銅紙");
    EXPECT_EQ(PaperLabel(conn, "P1", 2), "紙品： ");
    EXPECT_EQ(PaperLabel(conn, "P1", 4), "紙品： ");

    // Which dates are real is CheckRocDate's test; a printing date has seven digits.
    EXPECT_EQ(PrintingDate(" 1131204"), "1131204");
    EXPECT_EQ(PrintingDate(""), "");
    EXPECT_FALSE(PrintingDate("11312"));

    // The first published test pair as target and measurement: ΔE00 2.0425.
    db.exec("insert into [色號目標值] (色號, L, A, B) values ('Pair 1', 50, 2.6772, -79.7751)");
    const ColourTargets targets = LoadColourTargets(conn);
    PrintingLine l;
    l.colour = " PAIR 1";
    l.measures = {"50", "0", "-82.7485", "", ""};
    EXPECT_EQ(ComputedDifference(l, targets), "2.04");
    l.measures[1] = "";
    EXPECT_FALSE(ComputedDifference(l, targets));
    l.measures[1] = "0";
    l.colour = "K";
    EXPECT_FALSE(ComputedDifference(l, targets));

    // The work orders the listing's filters select, and its report.
    db.exec("insert into CUST (ID, SNAME) values ('C01', '大同紙器'), ('C02', '永新食品')");
    db.exec("insert into PWORK (PO, CUST, [DESC]) values ('P1', 'C01', '月餅盒'), ('P2', 'C02', '茶葉盒'), "
            "('P3', 'C01', '海報')");
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號, 印刷日期, 記錄員代號, 記錄員, 油墨1, 油墨2) values "
            "('D-印刷', 'P1', 1, 1, 'PANTONE 185 C', '1131201', 'E01', '陳大文', 'DIC 金', '白墨'), "
            "('D-印刷', 'P2', 1, 1, 'K', '1131203', 'E02', '林美玲', '', ''), "
            "('D-印刷', 'P3', 2, 1, 'pantone 286 c', '1131205', 'E01', '陳大文', '', '')");
    // The work orders listed with the filter `set` fills in.
    auto pos = [&](void (*set)(ListingFilter&)) {
        ListingFilter f;
        set(f);
        const report::DataTable t = LoadListing(conn, f);
        std::vector<std::string> out;
        for (std::size_t i = 0; i < t.rowCount(); ++i)
            out.push_back(report::RowView(&t, i).text("工單單號").toStdString());
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(pos([](ListingFilter&) {}), (V{"P1", "P2", "P3"}));
    EXPECT_EQ(pos([](ListingFilter& f) { f.poFrom = "P2", f.poTo = "P3"; }), (V{"P2", "P3"}));
    EXPECT_EQ(pos([](ListingFilter& f) { f.dateFrom = "1131202", f.dateTo = "1131205"; }), (V{"P2", "P3"}));
    EXPECT_EQ(pos([](ListingFilter& f) { f.colour = "PANTONE"; }), (V{"P1", "P3"}));
    EXPECT_EQ(pos([](ListingFilter& f) { f.customer = "C01"; }), (V{"P1", "P3"}));
    EXPECT_EQ(pos([](ListingFilter& f) { f.recorder = "美玲"; }), (V{"P2"}));
    EXPECT_EQ(pos([](ListingFilter& f) { f.recorder = "E01", f.poTo = "P1"; }), (V{"P1"}));
    EXPECT_EQ(pos([](ListingFilter& f) { f.colour = "x' or '1'='1"; }), V{});

    ListingFilter f;
    f.customer = "C01";
    const report::PageDocument doc = ListingReport(LoadListing(conn, f), ConditionsText(f));
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_TRUE(doc.find(0, QStringLiteral("113/12/05")));
    EXPECT_TRUE(doc.find(0, QStringLiteral("共 2 筆")));
}

TEST_F(QualityCore, TargetsWriteOnlyWhatTheUserChanged)
{
    db.exec("insert into [色號目標值] (色號, L, A, B, 備註, 容許色差) values ('C', 55, -37, -50, '', 3.5), "
            "('M', 48, 74, -3, '', 3.5), ('K', 16, 0, 0, '', null), ('R', 48, 68, 48, '', 3.5)");
    const std::vector<ColourTarget> loaded = LoadTargets(conn);
    // Another workstation changes M meanwhile; this user does not touch it.
    db.exec("update [色號目標值] set 備註 = 'PC2', 容許色差 = 4 where 色號 = 'M'");
    std::vector<ColourTarget> edited;
    for (const ColourTarget& t : loaded)
        if (t.colour != "K")
            edited.push_back(t);
    edited[0].lab.L = 56;                                  // C
    edited[2].tolerances = {std::nullopt, 1.4, 0.1};      // R: only its tolerances, the one cleared
    edited.push_back({"Y", {89, -5, 93}, "ISO", {2.5, 1.45, 0.1}});
    ASSERT_EQ(SaveTargets(loaded, edited, ctx_), SaveStatus::Saved);
    EXPECT_EQ(db.rows("select 色號, L, 備註, 容許色差, 濃度目標, 濃度容許 from [色號目標值] order by 色號"),
              (Rows{{"C", "56.0", "", "3.5", "<null>", "<null>"},
                    {"M", "48.0", "PC2", "4.0", "<null>", "<null>"},
                    {"R", "48.0", "", "<null>", "1.4", "0.1"},
                    {"Y", "89.0", "ISO", "2.5", "1.45", "0.1"}}));

    edited.push_back({"y ", {1, 2, 3}, "", {}});
    EXPECT_EQ(SaveTargets(LoadTargets(conn), edited, ctx_), SaveStatus::Refused);
    EXPECT_EQ(db.count("select * from [色號目標值]"), 4);
}

TEST_F(QualityCore, LinesWithControlCharactersOrOverLongTextsAreNotStored)
{
    db.exec("insert into [工單品檢明細] (製程, 工單單號, 工單序, 序, 主要檢查項目) values ('D-印刷', 'P1', 1, 1, 'old')");
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號) values ('D-印刷', 'P1', 1, 1, 'K')");
    const std::string twentyTwoBytes = "課課課課課課課課課課課";

    InspectionLine pasted = Inspected("色差\r\n套印", 200, 3, "OK", true), unit = Inspected("色差", 200, 3, "OK", true);
    unit.unit = twentyTwoBytes;
    for (const InspectionLine& l : {pasted, unit})
        EXPECT_EQ(SaveInspection(ikey, {l}, LoadInspection(conn, ikey).stored, ctx_).status, SaveStatus::Refused);
    PrintingLine tab = Printed("C", "55", "1131203"), recorder = tab;
    tab.inks[1] = "東洋\t青";
    recorder.recorder = twentyTwoBytes;
    for (const PrintingLine& l : {tab, recorder})
        EXPECT_EQ(SavePrintingData(pkey, {l}, LoadPrintingData(conn, pkey).stored, ctx_).status, SaveStatus::Refused);

    std::vector<std::string> told;
    for (const auto& m : messages.shown())
        told.push_back(m.text);
    EXPECT_EQ(told, (std::vector<std::string>{ControlCharacterMessage("主要檢查項目"), TooLongMessage(20),
                                              ControlCharacterMessage("油墨2"), TooLongMessage(20)}));
    EXPECT_EQ(db.rows("select 主要檢查項目 from [工單品檢明細]"), (Rows{{"old"}}));
    EXPECT_EQ(db.rows("select 色號 from [工單印刷數據]"), (Rows{{"K"}}));
}

namespace {

// One database on either engine and two workstations on it.
class QualityEngines : public ::testing::TestWithParam<Engine>, qtmv::test::WithApp {
protected:
    void SetUp() override
    {
        QTMV_SKIP_WITHOUT_TEST_SERVER(GetParam());
        db = std::make_unique<EngineFreshDatabase>(GetParam());
        a = db->session();
        a.IdentityEstablished = a.RightsEstablished = true;
        a.ProductionRights = std::string(20, '0');
        b = a;
        a.WorkstationUser = "PC1\\admin";
        b.WorkstationUser = "PC2\\clerk";
        b.EmployeeName = "林美玲";
        conn.open(a.ConnectionString);
    }
    std::unique_ptr<EngineFreshDatabase> db;
    Session a, b;
    FixedClock clock{{2024, 12, 7, 14, 5, 0}};
    daily::SaveContext atA{a, clock, [] {}}, atB{b, clock, [] {}};
    jet::Connection conn;
    ScriptedMessages messages;
};

} // namespace

// Both load the record; the second save finds the lines changed, names who
// saved them and when, writes nothing and hands back what is stored now,
// against which a second press replaces the other's lines on purpose. A
// change another program made is told as such.
TEST_P(QualityEngines, SaveOfARecordAnotherWorkstationChangedIsRefusedAndProposalsKeptInTheProgramsOwnTable)
{
    db->exec("insert into [工單品檢明細] (製程, 工單單號, 工單序, 序, 主要檢查項目) values ('D-印刷', 'P1', 1, 1, 'old')");
    db->exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號) values ('D-印刷', 'P1', 1, 1, 'old')");
    const StoredRecord iloadedA = LoadInspection(conn, ikey).stored, ploadedA = LoadPrintingData(conn, pkey).stored;

    ASSERT_EQ(SaveInspection(ikey, {Inspected("B's", 10, 1, "", false)}, LoadInspection(conn, ikey).stored, atB).status,
              SaveStatus::Saved);
    ASSERT_EQ(SavePrintingData(pkey, {Printed("B's", "50", "")}, LoadPrintingData(conn, pkey).stored, atB).status,
              SaveStatus::Saved);
    clock.advanceMinutes(3);
    const InspectionSaved i = SaveInspection(ikey, {Inspected("A's", 10, 2, "", false)}, iloadedA, atA);
    const PrintingSaved p = SavePrintingData(pkey, {Printed("A's", "51", "")}, ploadedA, atA);
    EXPECT_EQ(i.status, SaveStatus::Changed);
    EXPECT_EQ(p.status, SaveStatus::Changed);
    const std::string rest = "，您的資料沒有儲存，仍保留在畫面上。\n\n"
                             "再按「確 定」會以畫面上的資料取代目前儲存的資料；按「回前畫面」則放棄畫面上的資料。";
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "此筆品檢資料在您開啟之後已由林美玲（PC2）於113/12/07 14:05儲存" + rest);
    EXPECT_EQ(messages.shown()[0].title, "品檢");
    EXPECT_EQ(messages.shown()[1].text, "此筆印刷數據在您開啟之後已由林美玲（PC2）於113/12/07 14:05儲存" + rest);
    EXPECT_EQ(db->rows("select 主要檢查項目 from [工單品檢明細]"), (Rows{{"B's"}}));
    EXPECT_EQ(db->rows("select 色號 from [工單印刷數據]"), (Rows{{"B's"}}));

    EXPECT_EQ(SaveInspection(ikey, {Inspected("A's", 10, 2, "", false)}, i.stored, atA).status, SaveStatus::Saved);
    const PrintingSaved replaced = SavePrintingData(pkey, {Printed("A's", "51", "")}, p.stored, atA);
    EXPECT_EQ(replaced.status, SaveStatus::Saved);
    EXPECT_EQ(db->rows("select 主要檢查項目 from [工單品檢明細]"), (Rows{{"A's"}}));
    EXPECT_EQ(db->rows("select 色號 from [工單印刷數據]"), (Rows{{"A's"}}));
    EXPECT_EQ(db->rows("select 表, 製程, 工單單號, 工單序, 使用者, 電腦, 時間, 版次 from [品質資料儲存] order by 表"),
              (Rows{{"工單印刷數據", "D-印刷", "P1", "1", "admin", "PC1", "1131207 1408", "2"},
                    {"工單品檢明細", "D-印刷", "P1", "1", "admin", "PC1", "1131207 1408", "2"}}));

    messages.clear();
    db->exec("update [工單印刷數據] set 測量1 = '52'");
    EXPECT_EQ(SavePrintingData(pkey, {Printed("A's", "53", "")}, replaced.stored, atA).status, SaveStatus::Changed);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "此筆印刷數據在您開啟之後已被其他程式變更（沒有記錄由誰、何時變更）" + rest);
    EXPECT_EQ(db->value("select 測量1 from [工單印刷數據]"), "52");

    // A database made before the table existed gets it and keeps its lines;
    // only proposals are marked there, and a verdict changed since (by another
    // program) counts as chosen. 判定 itself reads as before.
    db->exec("drop table [品檢建議判定]");
    db->exec("drop table [品質資料儲存]");
    db->exec("insert into [工單品檢明細] (製程, 工單單號, 工單序, 序, 主要檢查項目, 判定) values "
             "('E-上光', 'P1', 1, 1, 'kept', 'OK')");
    EXPECT_EQ(db::AddMissingProgramTables(conn), (std::vector<std::string>{"品檢建議判定", "品質資料儲存"}));
    ASSERT_EQ(SaveInspection(ikey, {Inspected("proposed", 200, 3, "OK", true), Inspected("chosen", 200, 50, "OK", false)},
                             LoadInspection(conn, ikey).stored, atA)
                  .status,
              SaveStatus::Saved);
    EXPECT_EQ(db->rows("select 主要檢查項目, 判定 from [工單品檢明細] order by 製程, 序"),
              (Rows{{"proposed", "OK"}, {"chosen", "OK"}, {"kept", "OK"}}));
    EXPECT_EQ(db->rows("select 製程, 工單單號, 工單序, 序, 判定 from [品檢建議判定]"),
              (Rows{{"D-印刷", "P1", "1", "1", "OK"}}));

    std::vector<InspectionLine> lines = LoadInspection(conn, ikey).lines;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].proposed);
    EXPECT_FALSE(lines[1].proposed);
    EXPECT_TRUE(ContradictsRule(lines[1], 2.0));
    EXPECT_FALSE(ContradictsRule(lines[0], 2.0));
    // Raised defects: the proposal follows, the choice stays.
    lines[0].rate = 25;
    FollowProposals(lines, 2.0);
    EXPECT_EQ(lines[0].verdict, "NG");
    EXPECT_EQ(lines[1].verdict, "OK");

    db->exec("update [工單品檢明細] set 判定 = 'NG' where 序 = 1");
    EXPECT_FALSE(LoadInspection(conn, ikey).lines[0].proposed);
}

// Lines out in colour, out in density, within, of a target without
// tolerances and without a target: only the first two pass the filter, each
// with its excess, which the printed listing and the workbook carry.
TEST_P(QualityEngines, ListingOfLinesOutOfTolerance)
{
    // The first published CIEDE2000 pair as target and measurement: ΔE00 2.0425.
    db->exec("insert into [色號目標值] (色號, L, A, B, 容許色差, 濃度目標, 濃度容許) values "
             "('PAIR', 50, 2.6772, -79.7751, 2.0, 1.45, 0.10), ('LOOSE', 50, 2.5, 0, null, null, null)");
    db->exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號, 測量1, 測量2, 測量3, 測量5) values "
             "('D-印刷', 'P1', 1, 1, 'PAIR', '50', '0', '-82.7485', '1.50'), "
             "('D-印刷', 'P1', 1, 2, ' pair', '50', '2.6772', '-79.7751', '1.62'), "
             "('D-印刷', 'P1', 1, 3, 'PAIR', '50.5', '2.6772', '-79.7751', '1.36'), "
             "('D-印刷', 'P1', 1, 4, 'LOOSE', '73', '25', '-18', '1.90'), "
             "('D-印刷', 'P1', 1, 5, 'K', '90', '0', '0', '')");
    ListingFilter f;
    auto lines = [&](const report::DataTable& t) {
        Rows out;
        for (std::size_t i = 0; i < t.rowCount(); ++i) {
            const report::RowView r(&t, i);
            out.push_back({r.text("序").toStdString(), r.text("色差超出").toStdString(),
                           r.text("濃度超出").toStdString(), r.text("超出容許").toStdString()});
        }
        return out;
    };
    const Rows outLines{{"1", "0.04", "", "色差+0.04 偏藍、偏綠"}, {"2", "", "0.07", "濃度偏高 0.07"}};
    EXPECT_EQ(lines(LoadListing(conn, f)),
              (Rows{outLines[0], outLines[1], {"3", "", "", ""}, {"4", "", "", ""}, {"5", "", "", ""}}));
    f.outOfToleranceOnly = true;
    const report::DataTable out = LoadListing(conn, f);
    EXPECT_EQ(lines(out), outLines);

    const report::PageDocument doc = ListingReport(out, ConditionsText(f));
    for (const char* shown : {"色差+0.04 偏藍、偏綠", "濃度偏高 0.07", "條件：只列超出容許"})
        EXPECT_TRUE(doc.find(0, QString::fromUtf8(shown))) << shown;

    const std::string book = ::testing::TempDir() + "qtmv-excess-" + std::to_string(::getpid()) + ".xlsx";
    ExportListing(out, ConditionsText(f), book);
    const auto sheet = xlsx::testing::ReadWorkbook(book).at(0);
    std::filesystem::remove(book);
    // The excesses past the measurements (U, V, W), as numbers and words.
    EXPECT_EQ((Rows{{sheet.Text("U3"), sheet.Text("V3"), sheet.Text("W3")},
                    {sheet.At("U4").type, sheet.At("V5").type, sheet.Text("W5")}}),
              (Rows{{"色差超出", "濃度超出", "超出容許"}, {"n", "n", "濃度偏高 0.07"}}));
    EXPECT_DOUBLE_EQ(sheet.Number("U4"), 0.04);
    EXPECT_DOUBLE_EQ(sheet.Number("V5"), 0.07);
    EXPECT_EQ(sheet.maxRow, 5);
}

INSTANTIATE_TEST_SUITE_P(Engines, QualityEngines, ::testing::Values(Engine::SQLite, Engine::Server),
                         db::test::EngineName);
