// Inspection lines, printing data, the listing and the colour targets
// against a database of the schema: what a save leaves, read back.
#include "quality/core/Inspection.h"
#include "quality/core/PrintingData.h"
#include "quality/core/PrintingList.h"

#include "app/core/Session.h"
#include "db/testing/FreshDatabase.h"
#include "platform/jet/Connection.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/tests/TestApp.h"

#include <gtest/gtest.h>

using namespace qtmv;
using namespace qtmv::quality;
using Rows = std::vector<std::vector<std::string>>;

namespace {

// The report measures its texts: the test binary has an application.
class QualityCore : public ::testing::Test, qtmv::test::WithApp {
protected:
    QualityCore()
    {
        s().IdentityEstablished = s().RightsEstablished = true;
        s().ProductionRights = std::string(20, '0');
    }
    Session& s() { return db.session(); }
    jet::Connection& conn()
    {
        if (!conn_.isOpen())
            conn_.open(db.connectionString());
        return conn_;
    }
    db::test::FreshDatabase db;
    daily::SaveContext ctx_{db.session(), systemClock(), [] {}};

    jet::Connection conn_;
    ScriptedMessages messages;
};

PrintingLine printed(const char* colour, const char* l, const char* date)
{
    PrintingLine p;
    p.colour = colour;
    p.inks[0] = "東洋 青(C)";
    p.measures[0] = l;
    p.recorderId = "E01";
    p.recorder = "陳大文";
    p.date = date;
    return p;
}

} // namespace

TEST_F(QualityCore, InspectionSaveReplacesItsOwnRecordAndKeepsNoEmptyLine)
{
    db.exec("insert into [工單品檢明細] (製程, 工單單號, 工單序, 序, 主要檢查項目) values "
            "('D-印刷', 'P1', 1, 1, 'old'), ('E-上光', 'P1', 1, 1, 'varnish'), ('D-印刷', 'P1', 2, 1, 'line 2')");
    const InspectionKey key{"D-印刷", "P1", 1};
    InspectionLine checked, standardOnly;
    checked.item = "色差";
    checked.inspected = 200;
    checked.defective = 3;
    checked.rate = 1.5;
    checked.verdict = "OK";
    standardOnly.standard = "ΔE≦3.0";
    InspectionSaved out = saveInspection(key, {checked, InspectionLine{}, standardOnly}, ctx_);
    ASSERT_EQ(out.status, SaveStatus::Saved);
    EXPECT_TRUE(out.hasLines);
    EXPECT_EQ(db.rows("select 序, 主要檢查項目, 檢查標準, 檢驗數量, 不良數量, 不良率, 判定 from [工單品檢明細] "
                      "where 製程 = 'D-印刷' and 工單單號 = 'P1' and 工單序 = 1 order by 序"),
              (Rows{{"1", "色差", "", "200.0", "3.0", "1.5", "OK"}, {"2", "", "ΔE≦3.0", "0.0", "0.0", "0.0", ""}}));
    EXPECT_EQ(db.count("select * from [工單品檢明細] where 主要檢查項目 in ('varnish', 'line 2')"), 2);

    // Emptied: nothing is kept and the flag says so.
    out = saveInspection(key, {InspectionLine{}}, ctx_);
    EXPECT_FALSE(out.hasLines);
    EXPECT_EQ(db.count("select * from [工單品檢明細] where 製程 = 'D-印刷' and 工單序 = 1"), 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(QualityCore, QueryOnlyUserSavesNothing)
{
    s().ProductionRights = "000000000001";
    db.exec("insert into [工單品檢明細] (製程, 工單單號, 工單序, 序, 主要檢查項目) values ('D-印刷', 'P1', 1, 1, 'old')");
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號) values ('D-印刷', 'P1', 1, 1, 'K')");
    EXPECT_EQ(saveInspection({"D-印刷", "P1", 1}, {}, ctx_).status, SaveStatus::Refused);
    EXPECT_EQ(savePrintingData({"P1", 1, "D-印刷"}, {}, ctx_).status, SaveStatus::Refused);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "您的權限僅可以查詢！");
    EXPECT_EQ(db.count("select * from [工單品檢明細]"), 1);
    EXPECT_EQ(db.count("select * from [工單印刷數據]"), 1);
}

TEST_F(QualityCore, RateAndTheVerdictProposedFromTheKindsAcceptableRate)
{
    EXPECT_FALSE(defectRate(0, 3));
    db.exec("insert into [品檢允收不良率] ([KIND], 允收率) values ('D-印刷', 2)");
    const auto acceptable = acceptableRate(conn(), "D-印刷");
    ASSERT_TRUE(acceptable);
    EXPECT_EQ(proposedVerdict(2.0, acceptable), "OK");   // at the limit is acceptable
    EXPECT_EQ(proposedVerdict(2.1, acceptable), "NG");
    EXPECT_FALSE(acceptableRate(conn(), "A-印前"));
    EXPECT_EQ(proposedVerdict(50, std::nullopt), "");
}

TEST_F(QualityCore, PhraseListsFillLinesByTheirOrder)
{
    db.exec("insert into [片語資料_品檢] (ID, [KIND], [ITEM], [DESC]) values "
            "(5, 'D-印刷', '主要檢查項目', '套印'), (2, 'D-印刷', '主要檢查項目', '色差'), "
            "(3, 'D-印刷', '檢查標準', 'ΔE≦3.0'), (4, 'D-印刷', '權責單位', '印刷課'), "
            "(6, 'D-印刷', '主要檢查項目', '數量'), (7, 'E-上光', '主要檢查項目', '光澤')");
    const std::vector<InspectionLine> lines = inspectionPhrases(conn(), "D-印刷").lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ((std::vector<std::string>{lines[0].item, lines[0].standard, lines[0].unit}),
              (std::vector<std::string>{"色差", "ΔE≦3.0", "印刷課"}));
    EXPECT_EQ((std::vector<std::string>{lines[2].item, lines[2].standard, lines[2].unit}),
              (std::vector<std::string>{"數量", "", ""}));
}

TEST_F(QualityCore, PaperLabelDatesAndColourDifference)
{
    db.exec("insert into PAPER (PO, [NO], [ITEM]) values ('P1', 1, '雪銅紙'), ('P1', 2, ''), ('P1', 3, '道林紙')");
    EXPECT_EQ(paperLabel(conn(), "P1", 1), "紙品： 雪銅紙");
    EXPECT_EQ(paperLabel(conn(), "P1", 2), "紙品： ");
    EXPECT_EQ(paperLabel(conn(), "P1", 4), "紙品： ");

    EXPECT_EQ(printingDate(" 1131204"), "1131204");
    EXPECT_EQ(printingDate(""), "");
    for (const char* bad : {"1131301", "1130230", "11312", "abc", "11312045"})
        EXPECT_FALSE(printingDate(bad)) << bad;

    // The first published test pair as target and measurement: ΔE00 2.0425.
    db.exec("insert into [色號目標值] (色號, L, A, B) values ('Pair 1', 50, 2.6772, -79.7751)");
    const ColourTargets targets = colourTargets(conn());
    PrintingLine l;
    l.colour = " PAIR 1";
    l.measures = {"50", "0", "-82.7485", "", ""};
    EXPECT_EQ(computedDifference(l, targets), "2.04");
    l.measures[1] = "";
    EXPECT_FALSE(computedDifference(l, targets));
    l.measures[1] = "0";
    l.colour = "K";
    EXPECT_FALSE(computedDifference(l, targets));
}

TEST_F(QualityCore, PrintingDataSaveKeepsFilledLinesInOrder)
{
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號) values "
            "('D-印刷', 'P1', 1, 1, 'old'), ('D-印刷', 'P1', 2, 1, 'other line')");
    PrintingLine second = printed("M", "48.1", "1131204");
    second.inks[6] = "白墨";
    second.measures[3] = "1.20";
    const PrintingSaved out =
        savePrintingData({"P1", 1, "D-印刷"}, {printed("C", "55", "1131203"), PrintingLine{}, second}, ctx_);
    ASSERT_EQ(out.status, SaveStatus::Saved);
    EXPECT_TRUE(out.hasLines);
    EXPECT_EQ(db.rows("select 序, 色號, 油墨1, 油墨7, 測量1, 測量4, 記錄員代號, 記錄員, 印刷日期 from [工單印刷數據] "
                      "where 工單單號 = 'P1' and 工單序 = 1 order by 序"),
              (Rows{{"1", "C", "東洋 青(C)", "", "55", "", "E01", "陳大文", "1131203"},
                    {"2", "M", "東洋 青(C)", "白墨", "48.1", "1.20", "E01", "陳大文", "1131204"}}));
    EXPECT_EQ(db.count("select * from [工單印刷數據] where 色號 = 'other line'"), 1);
}

TEST_F(QualityCore, ListingFiltersAndItsReport)
{
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
        const report::DataTable t = loadListing(conn(), f);
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
    const report::PageDocument doc = listingReport(loadListing(conn(), f), conditionsText(f));
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_TRUE(doc.find(0, QStringLiteral("113/12/05")));
    EXPECT_TRUE(doc.find(0, QStringLiteral("共 2 筆")));
}

TEST_F(QualityCore, TargetsWriteOnlyWhatTheUserChanged)
{
    db.exec("insert into [色號目標值] (色號, L, A, B, 備註) values ('C', 55, -37, -50, ''), ('M', 48, 74, -3, ''), "
            "('K', 16, 0, 0, '')");
    const std::vector<ColourTarget> loaded = loadTargets(conn());
    // Another workstation changes M meanwhile; this user does not touch it.
    db.exec("update [色號目標值] set 備註 = 'PC2' where 色號 = 'M'");
    std::vector<ColourTarget> edited;
    for (const ColourTarget& t : loaded)
        if (t.colour != "K")
            edited.push_back(t);
    edited[0].lab.L = 56;   // C
    edited.push_back({"Y", {89, -5, 93}, "ISO"});
    ASSERT_EQ(saveTargets(loaded, edited, ctx_), SaveStatus::Saved);
    EXPECT_EQ(db.rows("select 色號, L, 備註 from [色號目標值] order by 色號"),
              (Rows{{"C", "56.0", ""}, {"M", "48.0", "PC2"}, {"Y", "89.0", "ISO"}}));

    edited.push_back({"y ", {1, 2, 3}, ""});
    EXPECT_EQ(saveTargets(loadTargets(conn()), edited, ctx_), SaveStatus::Refused);
    EXPECT_EQ(db.count("select * from [色號目標值]"), 3);
}
