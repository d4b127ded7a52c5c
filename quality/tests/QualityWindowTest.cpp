// The inspection, printing data and listing windows driven with keys on the
// demo plant, and the time-consumption window's indicator following what
// they saved.
#include "quality/ui/InspectionWindow.h"
#include "quality/ui/PrintingDataWindow.h"
#include "quality/ui/PrintingListWindow.h"

#include "prescheduling/ui/TimeWindow.h"

#include "app/core/Session.h"
#include "common/HandOver.h"
#include "db/testing/FreshDatabase.h"
#include "lookups/ui/PeopleLookups.h"
#include "platform/os/MessageBox.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/ui/SpreadGrid.h"
#include "platform/ui/tests/TestApp.h"
#include "platform/ui/tests/TypeKeys.h"
#include "platform/workbook/testing/ReadWorkbook.h"
#include "tools/demo-db/DemoPlant.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace qtmv;
using Rows = std::vector<std::vector<std::string>>;
using Texts = std::vector<std::string>;

namespace {

// One generated plant; every test works on a copy of its own.
const std::string& DemoFile()
{
    static db::test::FreshDatabase plant([](const std::string& path) {
        demo::DemoOptions o;
        o.workOrders = 40;
        demo::WriteDemoPlant(path, o);
    });
    static const std::string path = plant.path();
    return path;
}

// Types into a cell as a user does and commits with Enter.
void TypeCell(SpreadGrid& g, int row, int col, const QString& text)
{
    g.setActiveCell(row, col);
    qtmv::test::TypeIntoCell(g.tableView(), text);
}

// Shows a window and makes it the active one, as the user's click does.
void Activate(QWidget& w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

Texts RowTexts(const SpreadGrid& g, int row, int from, int to)
{
    Texts out;
    for (int c = from; c <= to; ++c)
        out.push_back(g.text(row, c));
    return out;
}

class QualityWindows : public ::testing::Test, qtmv::test::WithApp {
protected:
    QualityWindows()
    {
        saved_ = CurrentSession();
        CurrentSession() = db.session();
        CurrentSession().IdentityEstablished = CurrentSession().RightsEstablished = true;
        CurrentSession().ProductionRights = std::string(20, '0');
        gReturned = false;
        ClearPick();
    }
    ~QualityWindows() override { CurrentSession() = saved_; }

    // A printing step of the plant without inspection lines and printing data.
    std::pair<std::string, int> bareStep(const char* table = "PRINTING")
    {
        const Rows r = db.rows(std::string("select PO, [NO] from [") + table +
                               "] p where not exists (select 1 from [工單品檢明細] q where q.工單單號 = p.PO and "
                               "q.工單序 = p.[NO]) and not exists (select 1 from [工單印刷數據] d where d.工單單號 = "
                               "p.PO and d.工單序 = p.[NO]) and not exists (select 1 from PAPER a where a.PO = p.PO "
                               "and a.[NO] = p.[NO] and a.ITEM <> '') order by PO limit 1");
        EXPECT_EQ(r.size(), 1u) << table;
        return r.empty() ? std::make_pair(std::string(), 0) : std::make_pair(r[0][0], std::stoi(r[0][1]));
    }

    db::test::FreshDatabase db{db::test::CopyOf(DemoFile())};
    Session saved_;
    ScriptedMessages messages;
};

using I = frm品檢;
using P = frm工單印刷數據;

} // namespace

TEST_F(QualityWindows, InspectionStartsFromPhrasesProposesVerdictsAndSaves)
{
    const auto [po, seq] = bareStep();
    I w(nullptr, {"D-印刷", po, seq});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    SpreadGrid& g = *w.fml明細;
    EXPECT_EQ(RowTexts(g, 1, I::c主要檢查項目, I::c權責單位), (Texts{"色差", "ΔE≦3.0", "印刷課"}));

    TypeCell(g, 1, I::c檢驗數量, "200");
    TypeCell(g, 1, I::c不良數量, "3");
    EXPECT_EQ(RowTexts(g, 1, I::c檢驗數量, I::c判定), (Texts{"200.00", "3.00", "1.5", "OK"}));
    TypeCell(g, 2, I::c檢驗數量, "200");
    TypeCell(g, 2, I::c不良數量, "5");
    EXPECT_EQ(RowTexts(g, 2, I::c不良率, I::c判定), (Texts{"2.5", "NG"}));
    TypeCell(g, 2, I::c不良數量, "1");   // still the window's proposal: it follows
    EXPECT_EQ(g.text(2, I::c判定), "OK");
    // A verdict the user chose stays whatever the rate, with a word when the rule says otherwise.
    EXPECT_TRUE(messages.shown().empty());
    TypeCell(g, 1, I::c判定, "ng");
    TypeCell(g, 1, I::c不良數量, "0");
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, "第1列的判定與不良率不符：允收不良率為 2.0%，不良率在其內為 OK，超過為 NG。請確認判定!");
    messages.clear();

    TypeCell(g, 3, I::c檢驗數量, "12345678901");
    TypeCell(g, 3, I::c權責單位, QString(11, QChar(0x8AB2)));   // 22 bytes
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "最多只可輸入10個字元!");
    EXPECT_EQ(messages.shown()[1].text, "最多只可輸入20個字元!");
    EXPECT_EQ(RowTexts(g, 3, I::c權責單位, I::c檢驗數量), (Texts{"", ""}));
    // Line 6 cannot be started while line 5 is empty.
    messages.clear();
    TypeCell(g, 6, I::c主要檢查項目, "X");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "前一列資料尚未輸入!");

    QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    EXPECT_TRUE(w.result().hasLines);
    EXPECT_EQ(db.rows("select 序, 主要檢查項目, 檢驗數量, 不良數量, 不良率, 判定 from [工單品檢明細] where 工單單號 = '" + po +
                      "' and 工單序 = " + std::to_string(seq) + " and 製程 = 'D-印刷' order by 序"),
              (Rows{{"1", "色差", "200.0", "0.0", "0.0", "NG"},
                    {"2", "套印準確", "200.0", "1.0", "0.5", "OK"},
                    {"3", "髒污墨點", "0.0", "0.0", "0.0", ""},
                    {"4", "數量", "0.0", "0.0", "0.0", ""}}));
}

TEST_F(QualityWindows, KindWithoutPhrasesAndTheImportQuestion)
{
    const auto [po, seq] = bareStep("IMPRINT");
    {
        I w(nullptr, {"A-印前", po, seq});
        w.show();
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, "查無片語資料!");
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
        EXPECT_TRUE(w.result().saved);
        EXPECT_FALSE(w.result().hasLines);
    }
    // A stored record: No keeps the lines, Yes replaces them by the phrases.
    db.exec("insert into [工單品檢明細] (製程, 工單單號, 工單序, 序, 主要檢查項目, 檢驗數量) values ('E-上光', '" + po +
            "', " + std::to_string(seq) + ", 1, '自訂', 50)");
    messages.clear();
    I w(nullptr, {"E-上光", po, seq});
    w.show();
    EXPECT_EQ(RowTexts(*w.fml明細, 1, I::c主要檢查項目, I::c檢驗數量), (Texts{"自訂", "", "", "50.00"}));
    messages.answer(MsgAnswer::No);
    QTest::mouseClick(w.scmd匯入片語, Qt::LeftButton);
    EXPECT_EQ(w.fml明細->text(1, I::c主要檢查項目), "自訂");
    messages.answer(MsgAnswer::Yes);
    QTest::mouseClick(w.scmd匯入片語, Qt::LeftButton);
    ASSERT_EQ(messages.shown().size(), 2u);   // asked each time
    EXPECT_EQ(RowTexts(*w.fml明細, 1, I::c主要檢查項目, I::c檢驗數量), (Texts{"光澤度", "與樣品一致", "後加工課", ""}));
}

TEST_F(QualityWindows, PrintingDataChecksComputesTheDifferenceAndSaves)
{
    const auto [po, seq] = bareStep();
    db.exec("insert into [色號目標值] (色號, L, A, B) values ('PAIR1', 50, 2.6772, -79.7751)");
    const Rows emp = db.rows("select ID, NAME from EMPLOYEE where ODATE = '' and NAME in "
                             "(select NAME from EMPLOYEE group by NAME having count(*) = 1) order by ID limit 2");
    ASSERT_EQ(emp.size(), 2u);
    P w(nullptr, {po, seq, "D-印刷"}, false);
    int lookups = 0;
    w.runModal = [&](QDialog&) {
        ++lookups;
        EXPECT_EQ(gLookupFilter, "nobody");
        gPick[0] = emp[1][0];
        gPick[1] = emp[1][1];
    };
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_FALSE(w.hasLines());
    EXPECT_EQ(w.lbl紙品->text(), QStringLiteral("紙品： "));
    EXPECT_EQ(w.lbl單號->text().toStdString(), "工單單號： " + po);
    SpreadGrid& g = *w.fml明細;

    TypeCell(g, 1, P::c色號, "pair1");
    TypeCell(g, 1, P::cL, "50");
    TypeCell(g, 1, P::cA, "0");
    TypeCell(g, 1, P::cB, "-82.7485");
    EXPECT_EQ(g.text(1, P::c色差), "2.04"); // published ΔE00 2.0425
    TypeCell(g, 1, P::c色差, "3.5");
    TypeCell(g, 1, P::cL, "51");   // the typed △ stays

    // The ink list offers the ink phrases.
    g.setActiveCell(1, P::c油墨1);
    g.tableView()->setFocus();
    QTest::keyClick(g.tableView(), Qt::Key_F2);
    auto* combo = dynamic_cast<QComboBox*>(g.editor());
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("東洋 洋紅(M)"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    TypeCell(g, 1, P::c記錄員, QString::fromStdString(emp[0][1]));   // a name finds the code
    TypeCell(g, 1, P::c印刷日期, "1131301");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "「印刷日期」日期輸入錯誤!");
    EXPECT_EQ(g.text(1, P::c印刷日期), "");
    TypeCell(g, 1, P::c印刷日期, "991204");   // stored with its leading 0

    TypeCell(g, 2, P::c色號, "K");
    TypeCell(g, 2, P::c記錄員, "nobody");
    QTest::qWait(0);   // the lookup opens once the cell is committed
    EXPECT_EQ(lookups, 1);

    // The listing opens on this work order.
    std::string listed;
    w.runModal = [&](QDialog& d) {
        if (auto* l = dynamic_cast<frm印刷數據明細表*>(&d))
            listed = l->txt工單起->text().toStdString() + "~" + l->txt工單迄->text().toStdString();
    };
    QTest::mouseClick(w.scmd印刷數據明細表, Qt::LeftButton);
    EXPECT_EQ(listed, po + "~" + po);

    QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    EXPECT_TRUE(w.hasLines());
    EXPECT_EQ(db.rows("select 序, 色號, 測量1, 測量4, 記錄員代號, 記錄員, 印刷日期 from [工單印刷數據] where 工單單號 = '" +
                      po + "' and 工單序 = " + std::to_string(seq) + " and 製程 = 'D-印刷' order by 序"),
              (Rows{{"1", "pair1", "51", "3.5", emp[0][0], emp[0][1], "0991204"},
                    {"2", "K", "", "", emp[1][0], emp[1][1], ""}}));
}

TEST_F(QualityWindows, ListingFiltersShowsInksPrintsAndKeepsTargets)
{
    db.exec("insert into PWORK (PO, CUST) select 'ZZ1', ID from CUST order by ID limit 1");
    const std::string cust = db.value("select CUST from PWORK where PO = 'ZZ1'");
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號, 油墨1, 油墨3, 測量1, 印刷日期) values "
            "('D-印刷', 'ZZ1', 1, 1, 'C', '東洋 青(C)', '', '55', '1131201'), "
            "('D-印刷', 'ZZ1', 1, 2, 'M', '東洋 洋紅(M)', '亮光油', '48', '1131202')");
    frm印刷數據明細表 w;
    bool previewed = false;
    w.runModal = [&](QDialog& d) {
        previewed = dynamic_cast<report::PreviewDialog*>(&d) != nullptr;
        if (dynamic_cast<frm客戶輔助視窗*>(&d)) {
            gPick[0] = cust;
            gPick[1] = "客戶甲";
        }
    };
    w.setWorkOrder("ZZ1");
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_EQ(w.rows().rowCount(), 2u);
    EXPECT_EQ(RowTexts(*w.fml明細, 2, frm印刷數據明細表::c工單單號, frm印刷數據明細表::c印刷日期),
              (Texts{"ZZ1", "1", "D-印刷", "113/12/02"}));
    w.fml明細->setActiveCell(1, 1);
    w.fml明細->tableView()->setFocus();
    QTest::keyClick(w.fml明細->tableView(), Qt::Key_Down);
    EXPECT_EQ(RowTexts(*w.fml油墨, 1, 1, 3), (Texts{"東洋 洋紅(M)", "", "亮光油"}));

    w.txt色號->setText("m");
    QTest::mouseClick(w.scmd客戶, Qt::LeftButton);   // picks the customer: in the filter line below
    QTest::mouseClick(w.scmd查詢, Qt::LeftButton);
    ASSERT_EQ(w.rows().rowCount(), 1u);
    QTest::mouseClick(w.scmd列印, Qt::LeftButton);
    EXPECT_TRUE(previewed);
    const report::PageDocument doc = w.document();
    EXPECT_TRUE(doc.find(0, QStringLiteral("東洋 洋紅(M)、亮光油")));
    EXPECT_TRUE(doc.find(0, QString::fromStdString("條件：工單：ZZ1 ~ ZZ1  色號：m  客戶：" + cust + " 客戶甲")));

    // The export: the filter line, the headings and the row as another program reads them.
    const std::string book = db.folder() + "list.xlsx";
    w.askExportPath = [&] { return book; };
    QTest::mouseClick(w.scmd匯出, Qt::LeftButton);
    EXPECT_EQ(messages.shown().back().text, "資料已匯出至 " + book);
    const auto sheets = xlsx::testing::ReadWorkbook(book);
    ASSERT_EQ(sheets.size(), 1u);
    const auto& sheet = sheets[0];
    EXPECT_EQ(sheet.Text("A1").substr(0, 21), "印刷數據明細表");
    EXPECT_EQ((Texts{sheet.Text("A3"), sheet.Text("H3"), sheet.Text("P3"), sheet.Text("S3")}),
              (Texts{"工單單號", "色號", "L", "△"}));
    EXPECT_EQ((Texts{sheet.Text("A4"), sheet.Text("D4"), sheet.Text("H4"), sheet.Text("K4")}),
              (Texts{"ZZ1", "113/12/02", "M", "亮光油"}));
    EXPECT_EQ(sheet.At("P4").type, "n");
    EXPECT_DOUBLE_EQ(sheet.Number("P4"), 48);
    EXPECT_EQ(sheet.maxRow, 4);
    // A folder that is not there: told, with the path.
    w.askExportPath = [] { return std::string("/no/such/folder/list.xlsx"); };
    QTest::mouseClick(w.scmd匯出, Qt::LeftButton);
    EXPECT_NE(messages.shown().back().text.find("/no/such/folder"), std::string::npos);

    w.txt日期起->setText("1131341");
    QTest::mouseClick(w.scmd查詢, Qt::LeftButton);
    EXPECT_EQ(messages.shown().back().text, "「印刷日期」日期輸入錯誤!");

    // Targets: the plant's are listed (C first); a changed L is stored.
    TypeCell(*w.fml目標值, 1, frm印刷數據明細表::tL, "56");
    QTest::mouseClick(w.scmd儲存目標值, Qt::LeftButton);
    EXPECT_EQ(db.value("select L from [色號目標值] where 色號 = 'C'"), "56.0");
    EXPECT_EQ(db.count("select * from [色號目標值]"), 6);
}

// The listing's layout is followed from none of its rows to all of them;
// stopped, no preview opens and nothing is said: the user chose it.
TEST_F(QualityWindows, AStoppedListingLayoutOpensNoPreview)
{
    db.exec("insert into PWORK (PO, CUST) select 'ZZ1', ID from CUST order by ID limit 1");
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號, 油墨1, 印刷日期) values "
            "('D-印刷', 'ZZ1', 1, 1, 'C', '東洋 青(C)', '1131201'), "
            "('D-印刷', 'ZZ1', 1, 2, 'M', '東洋 洋紅(M)', '1131202')");
    frm印刷數據明細表 w;
    int previews = 0;
    w.runModal = [&](QDialog& d) { previews += dynamic_cast<report::PreviewDialog*>(&d) != nullptr; };
    std::vector<std::pair<int, int>> steps;
    bool goOn = false;
    w.followLayout = [&](int done, int total) {
        steps.emplace_back(done, total);
        return goOn;
    };
    w.setWorkOrder("ZZ1");
    w.show();
    ASSERT_EQ(w.rows().rowCount(), 2u);
    QTest::mouseClick(w.scmd列印, Qt::LeftButton);
    EXPECT_EQ(previews, 0);
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 2}}));
    EXPECT_TRUE(messages.shown().empty());

    goOn = true;
    steps.clear();
    QTest::mouseClick(w.scmd列印, Qt::LeftButton);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
}

TEST_F(QualityWindows, TimeWindowIndicatorFollowsWhatWasSaved)
{
    const Rows piece = db.rows("select s.ID, s.PO, s.[NO] from PRINTING_S s where not exists (select 1 from "
                               "[工單品檢明細] q where q.工單單號 = s.PO and q.工單序 = s.[NO]) and not exists (select 1 from "
                               "[工單印刷數據] d where d.工單單號 = s.PO and d.工單序 = s.[NO]) order by s.ID limit 1");
    ASSERT_EQ(piece.size(), 1u);
    presched::TimeRequest request;
    request.po = piece[0][1];
    request.seq = std::stoi(piece[0][2]);
    request.kind = KindByDisplayName("D-印刷");
    request.recordNumber = piece[0][0];
    frm工務預排作業_耗時 t(request, nullptr);
    t.show();
    EXPECT_EQ(t.lbl記錄->text(), "");

    bool keepLine = true;
    t.runModal = [&](QDialog& d) {
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        if (auto* i = dynamic_cast<frm品檢*>(&d))
            QTest::mouseClick(i->scmd確定, Qt::LeftButton);   // the phrase lines are kept
        if (auto* p = dynamic_cast<frm工單印刷數據*>(&d)) {
            if (keepLine)
                TypeCell(*p->fml明細, 1, P::c色號, "K");
            else
                p->deleteLine();
            QTest::mouseClick(p->scmd確定, Qt::LeftButton);
        }
    };
    t.act品檢->trigger();
    EXPECT_EQ(t.lbl記錄->text(), QStringLiteral("有品檢資料"));
    QTest::mouseClick(t.scmd印刷數據, Qt::LeftButton);
    EXPECT_EQ(t.lbl記錄->text(), QStringLiteral("有品檢資料、有印刷數據"));
    keepLine = false;
    QTest::mouseClick(t.scmd印刷數據, Qt::LeftButton);
    EXPECT_EQ(t.lbl記錄->text(), QStringLiteral("有品檢資料"));
    EXPECT_EQ(db.count("select * from [工單印刷數據] where 工單單號 = '" + piece[0][1] + "'"), 0);
}

// Two workstations on one work-order line: A opens it, B opens, types and
// saves; A's save is refused with the message, A's window stays open with
// what A typed, and B's lines are stored. A second press replaces them.
TEST_F(QualityWindows, TheLaterSaveOfALineAnotherWorkstationSavedIsRefused)
{
    const auto [po, seq] = bareStep();
    const std::string where =
        " where 工單單號 = '" + po + "' and 工單序 = " + std::to_string(seq) + " and 製程 = 'D-印刷' order by 序";
    Session a = CurrentSession(), b = CurrentSession();
    a.WorkstationUser = "PC1\\admin";
    b.WorkstationUser = "PC2\\clerk";
    b.EmployeeName = "林美玲";
    const FixedClock clock({2024, 12, 7, 14, 5, 0});

    CurrentSession() = a;
    I ia(nullptr, {"D-印刷", po, seq});
    P pa(nullptr, {po, seq, "D-印刷"}, false);
    Activate(ia);
    Activate(pa);
    CurrentSession() = b;
    {
        I ib(nullptr, {"D-印刷", po, seq}, clock);
        Activate(ib);
        TypeCell(*ib.fml明細, 1, I::c檢驗數量, "100");
        QTest::mouseClick(ib.scmd確定, Qt::LeftButton);
        P pb(nullptr, {po, seq, "D-印刷"}, false, clock);
        Activate(pb);
        TypeCell(*pb.fml明細, 1, P::c色號, "B");
        QTest::mouseClick(pb.scmd確定, Qt::LeftButton);
    }
    ASSERT_TRUE(messages.shown().empty());

    CurrentSession() = a;
    Activate(ia);
    TypeCell(*ia.fml明細, 1, I::c檢驗數量, "200");
    QTest::mouseClick(ia.scmd確定, Qt::LeftButton);
    Activate(pa);
    TypeCell(*pa.fml明細, 1, P::c色號, "A");
    QTest::mouseClick(pa.scmd確定, Qt::LeftButton);
    ASSERT_EQ(messages.shown().size(), 2u);
    const std::string rest = "在您開啟之後已由林美玲（PC2）於113/12/07 14:05儲存，您的資料沒有儲存，仍保留在畫面上。\n\n"
                             "再按「確 定」會以畫面上的資料取代目前儲存的資料；按「回前畫面」則放棄畫面上的資料。";
    EXPECT_EQ(messages.shown()[0].text, "此筆品檢資料" + rest);
    EXPECT_EQ(messages.shown()[1].text, "此筆印刷數據" + rest);
    EXPECT_TRUE(ia.isVisible());
    EXPECT_TRUE(pa.isVisible());
    EXPECT_EQ(ia.fml明細->text(1, I::c檢驗數量), "200.00");
    EXPECT_EQ(pa.fml明細->text(1, P::c色號), "A");
    EXPECT_EQ(db.rows("select 主要檢查項目, 檢驗數量 from [工單品檢明細]" + where + " limit 1"), (Rows{{"色差", "100.0"}}));
    EXPECT_EQ(db.rows("select 色號 from [工單印刷數據]" + where), (Rows{{"B"}}));

    // Told, A replaces B's lines on purpose.
    QTest::mouseClick(ia.scmd確定, Qt::LeftButton);
    QTest::mouseClick(pa.scmd確定, Qt::LeftButton);
    EXPECT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(db.rows("select 主要檢查項目, 檢驗數量 from [工單品檢明細]" + where + " limit 1"), (Rows{{"色差", "200.0"}}));
    EXPECT_EQ(db.rows("select 色號 from [工單印刷數據]" + where), (Rows{{"A"}}));
}

// A verdict the window proposed is stored as a proposal: opened again it
// follows raised defects. A verdict the user chose stays, with a word when
// it contradicts the rule, also on opening.
TEST_F(QualityWindows, StoredProposalsFollowTheRuleAndContradictingChoicesAreTold)
{
    const auto [po, seq] = bareStep();
    const std::string where =
        " where 工單單號 = '" + po + "' and 工單序 = " + std::to_string(seq) + " and 製程 = 'D-印刷' order by 序";
    const std::string secondLine = "第2列的判定與不良率不符：允收不良率為 2.0%，不良率在其內為 OK，超過為 NG。請確認判定!";
    {
        I w(nullptr, {"D-印刷", po, seq});
        Activate(w);
        TypeCell(*w.fml明細, 1, I::c檢驗數量, "200");
        TypeCell(*w.fml明細, 1, I::c不良數量, "3");   // proposed OK
        TypeCell(*w.fml明細, 2, I::c檢驗數量, "200");
        TypeCell(*w.fml明細, 2, I::c不良數量, "1");
        TypeCell(*w.fml明細, 2, I::c判定, "OK");   // chosen
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    }
    EXPECT_EQ(db.rows("select 序, 判定 from [品檢建議判定]" + where), (Rows{{"1", "OK"}}));
    {
        I w(nullptr, {"D-印刷", po, seq});
        Activate(w);
        EXPECT_TRUE(messages.shown().empty());
        TypeCell(*w.fml明細, 1, I::c不良數量, "50");
        TypeCell(*w.fml明細, 2, I::c不良數量, "50");
        EXPECT_EQ(RowTexts(*w.fml明細, 1, I::c不良率, I::c判定), (Texts{"25.0", "NG"}));
        EXPECT_EQ(RowTexts(*w.fml明細, 2, I::c不良率, I::c判定), (Texts{"25.0", "OK"}));
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, secondLine);
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    }
    EXPECT_EQ(db.rows("select 序, 不良率, 判定 from [工單品檢明細]" + where + " limit 2"),
              (Rows{{"1", "25.0", "NG"}, {"2", "25.0", "OK"}}));
    EXPECT_EQ(db.rows("select 序, 判定 from [品檢建議判定]" + where), (Rows{{"1", "NG"}}));
    messages.clear();
    I w(nullptr, {"D-印刷", po, seq});
    Activate(w);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, secondLine);
}

// Typed lines are not thrown away unasked: Esc, 回前畫面 and the close
// button ask as the main window asks about unsaved cells. Enter (Cancel)
// stays with the lines, No stores nothing, Yes saves and closes, or stays
// when the save is refused. Phrases the window starts from, and a value
// typed back as it was loaded, are nothing to ask about.
TEST_F(QualityWindows, LeavingWithTypedLinesAsksFirst)
{
    const auto [po, seq] = bareStep();
    const std::string step = " where 工單單號 = '" + po + "' and 工單序 = " + std::to_string(seq) + " and 製程 = 'D-印刷'";
    const std::string where = step + " order by 序";
    const std::string question = "尚有資料未儲存，是否先儲存？";
    auto escape = [](QDialog& w, SpreadGrid& g) {
        g.tableView()->setFocus();
        QTest::keyClick(g.tableView(), Qt::Key_Escape);
        return w.isVisible();
    };
    {
        I w(nullptr, {"D-印刷", po, seq});
        Activate(w);
        EXPECT_FALSE(escape(w, *w.fml明細));
        EXPECT_TRUE(messages.shown().empty());
    }
    {
        I w(nullptr, {"D-印刷", po, seq});
        Activate(w);
        TypeCell(*w.fml明細, 1, I::c檢驗數量, "200");
        messages.answer(MsgAnswer::Cancel);
        EXPECT_TRUE(escape(w, *w.fml明細));
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, question);
        EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(messages.shown()[0].defaultAnswer, MsgAnswer::Cancel);   // what Enter answers
        EXPECT_EQ(w.fml明細->text(1, I::c檢驗數量), "200.00");
        messages.answer(MsgAnswer::No);
        QTest::mouseClick(w.ssc回前畫面, Qt::LeftButton);
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.result().saved);
        EXPECT_EQ(db.count("select * from [工單品檢明細]" + where), 0);
    }
    {
        I w(nullptr, {"D-印刷", po, seq});
        Activate(w);
        TypeCell(*w.fml明細, 1, I::c檢驗數量, "200");
        messages.clear();
        messages.answer(MsgAnswer::Yes);
        w.close();
        EXPECT_EQ(messages.shown().size(), 1u);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(w.result().saved);
        EXPECT_EQ(db.rows("select 主要檢查項目, 檢驗數量 from [工單品檢明細]" + where + " limit 1"),
                  (Rows{{"色差", "200.0"}}));
    }

    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號) values ('D-印刷', '" + po + "', " +
            std::to_string(seq) + ", 1, 'B')");
    messages.clear();
    {
        P w(nullptr, {po, seq, "D-印刷"}, true);
        Activate(w);
        TypeCell(*w.fml明細, 1, P::c色號, "C");
        TypeCell(*w.fml明細, 1, P::c色號, "B");
        EXPECT_FALSE(escape(w, *w.fml明細));
        EXPECT_TRUE(messages.shown().empty());
    }
    P w(nullptr, {po, seq, "D-印刷"}, true);
    Activate(w);
    TypeCell(*w.fml明細, 1, P::c色號, "C");
    messages.answer(MsgAnswer::Cancel);
    EXPECT_TRUE(escape(w, *w.fml明細));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, question);
    EXPECT_EQ(messages.shown()[0].defaultAnswer, MsgAnswer::Cancel);
    // Another workstation changes the record: Yes is refused and the line stays.
    db.exec("update [工單印刷數據] set 色號 = 'Z'" + step);
    messages.answer(MsgAnswer::Yes);
    QTest::mouseClick(w.ssc回前畫面, Qt::LeftButton);
    ASSERT_EQ(messages.shown().size(), 3u);
    EXPECT_NE(messages.shown()[2].text.find("此筆印刷數據"), std::string::npos);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.fml明細->text(1, P::c色號), "C");
    messages.answer(MsgAnswer::No);
    EXPECT_FALSE(escape(w, *w.fml明細));
    EXPECT_EQ(messages.shown().size(), 4u);
    EXPECT_EQ(db.rows("select 色號 from [工單印刷數據]" + where), (Rows{{"Z"}}));

    P again(nullptr, {po, seq, "D-印刷"}, true);
    Activate(again);
    TypeCell(*again.fml明細, 2, P::c色號, "K");
    messages.answer(MsgAnswer::Yes);
    again.close();
    EXPECT_EQ(messages.shown().size(), 5u);
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(db.rows("select 色號 from [工單印刷數據]" + where), (Rows{{"Z"}, {"K"}}));
}
