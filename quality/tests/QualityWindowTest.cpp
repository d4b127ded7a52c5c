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
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
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

// Types a line's cells in the order given, each committed as above.
void TypeCells(SpreadGrid& g, int row, std::initializer_list<std::pair<int, QString>> cells)
{
    for (const auto& [col, text] : cells)
        TypeCell(g, row, col, text);
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

// Whether a line is shown as out of tolerance: coloured, every column.
bool Marked(const SpreadGrid& g, int row, int columns)
{
    int coloured = 0;
    for (int c = 1; c <= columns; ++c)
        coloured += g.tableView()->model()->index(row - 1, c - 1).data(Qt::BackgroundRole).isValid();
    EXPECT_TRUE(coloured == 0 || coloured == columns) << "row " << row << ": " << coloured << " columns coloured";
    return coloured == columns;
}

// Esc in the grid, as the user leaves the window: whether it stays open.
bool Escape(QDialog& w, SpreadGrid& g)
{
    g.tableView()->setFocus();
    QTest::keyClick(g.tableView(), Qt::Key_Escape);
    return w.isVisible();
}

// A printing step of the plant and the condition selecting its D-印刷 rows.
struct Step {
    std::string po;
    int seq = 0;
    std::string where;
};

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

    // A step without inspection lines, printing data and paper.
    Step bareStep(const char* table = "PRINTING")
    {
        const Rows r = db.rows(std::string("select PO, [NO] from [") + table +
                               "] p where not exists (select 1 from [工單品檢明細] q where q.工單單號 = p.PO and "
                               "q.工單序 = p.[NO]) and not exists (select 1 from [工單印刷數據] d where d.工單單號 = "
                               "p.PO and d.工單序 = p.[NO]) and not exists (select 1 from PAPER a where a.PO = p.PO "
                               "and a.[NO] = p.[NO] and a.ITEM <> '') order by PO limit 1");
        EXPECT_EQ(r.size(), 1u) << table;
        if (r.empty())
            return {};
        return {r[0][0], std::stoi(r[0][1]), " where 工單單號 = '" + r[0][0] + "' and 工單序 = " + r[0][1] +
                                                  " and 製程 = 'D-印刷'"};
    }

    // The texts of the messages shown since the last call.
    Texts told()
    {
        Texts out;
        for (const MessageRequest& m : messages.shown())
            out.push_back(m.text);
        messages.clear();
        return out;
    }

    db::test::FreshDatabase db{db::test::CopyOf(DemoFile())};
    Session saved_;
    ScriptedMessages messages;
    const FixedClock clock{{2024, 12, 7, 14, 5, 0}};
};

using I = frm品檢;
using P = frm工單印刷數據;

} // namespace

// A new step starts from the phrases. A verdict the window proposed follows
// the rate and is stored as a proposal, so opened again it still follows; a
// verdict the user chose stays, with a word when the rule says otherwise,
// also on opening. A save of lines another program changed since they were
// opened is refused and the typed lines stay; saved again, they replace them.
TEST_F(QualityWindows, InspectionProposesVerdictsChecksCellsAndSaves)
{
    const Step s = bareStep();
    const std::string order = s.where + " order by 序";
    const Texts firstLine{"第1列的判定與不良率不符：允收不良率為 2.0%，不良率在其內為 OK，超過為 NG。請確認判定!"};
    {
        I w(nullptr, {"D-印刷", s.po, s.seq}, clock);
        Activate(w);
        SpreadGrid& g = *w.fml明細;
        EXPECT_EQ(RowTexts(g, 1, I::c主要檢查項目, I::c權責單位), (Texts{"色差", "ΔE≦3.0", "印刷課"}));
        TypeCells(g, 1, {{I::c檢驗數量, "200"}, {I::c不良數量, "3"}});
        EXPECT_EQ(RowTexts(g, 1, I::c檢驗數量, I::c判定), (Texts{"200.00", "3.00", "1.5", "OK"}));
        TypeCell(g, 2, I::c檢驗數量, "200");
        TypeCell(g, 2, I::c不良數量, "5");   // proposed NG
        TypeCell(g, 2, I::c不良數量, "1");   // still the window's proposal: it follows
        EXPECT_EQ(g.text(2, I::c判定), "OK");
        TypeCell(g, 1, I::c判定, "ng");   // the user's choice: it stays whatever the rate
        TypeCell(g, 1, I::c不良數量, "0");
        EXPECT_EQ(told(), (Texts{firstLine[0], firstLine[0]}));
        TypeCell(g, 3, I::c檢驗數量, "12345678901");
        TypeCell(g, 3, I::c權責單位, QString(11, QChar(0x8AB2)));   // 22 bytes
        TypeCell(g, 6, I::c主要檢查項目, "X");   // line 5 is empty
        EXPECT_EQ(told(), (Texts{"最多只可輸入10個字元!", "最多只可輸入20個字元!", "前一列資料尚未輸入!"}));
        EXPECT_EQ(RowTexts(g, 3, I::c權責單位, I::c檢驗數量), (Texts{"", ""}));
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    }
    // The phrase lines saved without figures: the save's own test, and the
    // time window's indicator below.
    EXPECT_EQ(db.rows("select 序, 主要檢查項目, 檢驗數量, 不良數量, 不良率, 判定 from [工單品檢明細]" + order + " limit 2"),
              (Rows{{"1", "色差", "200.0", "0.0", "0.0", "NG"}, {"2", "套印準確", "200.0", "1.0", "0.5", "OK"}}));
    EXPECT_EQ(db.rows("select 序, 判定 from [品檢建議判定]" + order), (Rows{{"2", "OK"}}));
    EXPECT_EQ(db.value("select 時間 from [品質資料儲存] where 表 = '工單品檢明細'"), "1131207 1405");

    I w(nullptr, {"D-印刷", s.po, s.seq});
    Activate(w);
    EXPECT_EQ(RowTexts(*w.fml明細, 1, I::c檢驗數量, I::c判定), (Texts{"200.00", "0.00", "0.0", "NG"}));
    EXPECT_EQ(told(), firstLine);
    TypeCell(*w.fml明細, 1, I::c不良數量, "1");
    TypeCell(*w.fml明細, 2, I::c不良數量, "50");
    EXPECT_EQ(RowTexts(*w.fml明細, 1, I::c不良率, I::c判定), (Texts{"0.5", "NG"}));
    EXPECT_EQ(RowTexts(*w.fml明細, 2, I::c不良率, I::c判定), (Texts{"25.0", "NG"}));
    EXPECT_EQ(told(), firstLine);

    db.exec("update [工單品檢明細] set 檢查標準 = 'other'" + s.where + " and 序 = 4");
    QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    EXPECT_NE(told().at(0).find("此筆品檢資料在您開啟之後已被其他程式變更"), std::string::npos);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.fml明細->text(2, I::c判定), "NG");
    EXPECT_EQ(db.value("select 判定 from [工單品檢明細]" + s.where + " and 序 = 2"), "OK");
    messages.answer(MsgAnswer::Yes);   // leaving, the user saves them
    EXPECT_FALSE(Escape(w, *w.fml明細));
    EXPECT_EQ(db.rows("select 序, 不良率, 判定 from [工單品檢明細]" + order + " limit 2"),
              (Rows{{"1", "0.5", "NG"}, {"2", "25.0", "NG"}}));
    EXPECT_EQ(db.rows("select 序, 判定 from [品檢建議判定]" + order), (Rows{{"2", "NG"}}));
}

// Saved over a line another program added since the window opened: refused,
// the window stays with the typed lines; saved again, they replace it.
TEST_F(QualityWindows, PrintingDataChecksComputesTheDifferenceAndSaves)
{
    const Step s = bareStep();
    db.exec("insert into [色號目標值] (色號, L, A, B) values ('PAIR1', 50, 2.6772, -79.7751)");
    const Rows emp = db.rows("select ID, NAME from EMPLOYEE where ODATE = '' and NAME in "
                             "(select NAME from EMPLOYEE group by NAME having count(*) = 1) order by ID limit 2");
    ASSERT_EQ(emp.size(), 2u);
    P w(nullptr, {s.po, s.seq, "D-印刷"}, false, clock);
    int lookups = 0;
    std::string listed;
    w.runModal = [&](QDialog& d) {
        if (auto* l = dynamic_cast<frm印刷數據明細表*>(&d)) {
            listed = l->txt工單起->text().toStdString() + "~" + l->txt工單迄->text().toStdString();
            return;
        }
        ++lookups;
        EXPECT_EQ(gLookupFilter, "nobody");
        gPick[0] = emp[1][0];
        gPick[1] = emp[1][1];
    };
    Activate(w);
    EXPECT_FALSE(w.hasLines());
    EXPECT_EQ(w.lbl紙品->text(), QStringLiteral("紙品： "));
    EXPECT_EQ(w.lbl單號->text().toStdString(), "工單單號： " + s.po);
    SpreadGrid& g = *w.fml明細;

    // The △ worked out once b is typed (stored: the tolerance case below).
    TypeCells(g, 1, {{P::c色號, "pair1"}, {P::cL, "50"}, {P::cA, "0"}, {P::cB, "-82.7485"}, {P::c色差, "3.5"}});
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
    EXPECT_EQ(told(), (Texts{"「印刷日期」日期輸入錯誤!"}));
    EXPECT_EQ(g.text(1, P::c印刷日期), "");
    TypeCell(g, 1, P::c印刷日期, "991204");   // stored with its leading 0

    TypeCell(g, 2, P::c色號, "K");
    TypeCell(g, 2, P::c記錄員, "nobody");
    QTest::qWait(0);   // the lookup opens once the cell is committed
    EXPECT_EQ(lookups, 1);

    QTest::mouseClick(w.scmd印刷數據明細表, Qt::LeftButton);
    EXPECT_EQ(listed, s.po + "~" + s.po);

    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號) values ('D-印刷', '" + s.po + "', " +
            std::to_string(s.seq) + ", 1, 'other')");
    messages.answer(MsgAnswer::Yes);   // leaving, the user saves
    w.close();
    const Texts refused = told();
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_NE(refused[1].find("此筆印刷數據在您開啟之後已被其他程式變更"), std::string::npos);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(g.text(1, P::c色號), "pair1");
    QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(db.rows("select 序, 色號, 測量1, 測量4, 記錄員代號, 記錄員, 印刷日期 from [工單印刷數據]" + s.where +
                      " order by 序"),
              (Rows{{"1", "pair1", "51", "3.5", emp[0][0], emp[0][1], "0991204"},
                    {"2", "K", "", "", emp[1][0], emp[1][1], ""}}));
    EXPECT_EQ(db.value("select 時間 from [品質資料儲存] where 表 = '工單印刷數據'"), "1131207 1405");
}

// The listing opened on a work order. Its layout is followed (how, row by
// row: ReportProgress); stopped, no preview opens and nothing is said: the
// user chose it.
TEST_F(QualityWindows, ListingFiltersShowsInksPrintsAndExports)
{
    db.exec("insert into PWORK (PO, CUST) select 'ZZ1', ID from CUST order by ID limit 1");
    const std::string cust = db.value("select CUST from PWORK where PO = 'ZZ1'");
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號, 油墨1, 油墨3, 測量1, 印刷日期) values "
            "('D-印刷', 'ZZ1', 1, 1, 'C', '東洋 青(C)', '', '55', '1131201'), "
            "('D-印刷', 'ZZ1', 1, 2, 'M', '東洋 洋紅(M)', '亮光油', '48', '1131202')");
    frm印刷數據明細表 w;
    int previews = 0;
    w.runModal = [&](QDialog& d) {
        previews += dynamic_cast<report::PreviewDialog*>(&d) != nullptr;
        if (dynamic_cast<frm客戶輔助視窗*>(&d)) {
            gPick[0] = cust;
            gPick[1] = "客戶甲";
        }
    };
    bool goOn = false;
    w.followLayout = [&](int, int) { return goOn; };
    w.setWorkOrder("ZZ1");
    Activate(w);
    ASSERT_EQ(w.rows().rowCount(), 2u);
    EXPECT_EQ(RowTexts(*w.fml明細, 2, frm印刷數據明細表::c工單單號, frm印刷數據明細表::c印刷日期),
              (Texts{"ZZ1", "1", "D-印刷", "113/12/02"}));
    w.fml明細->setActiveCell(1, 1);
    w.fml明細->tableView()->setFocus();
    QTest::keyClick(w.fml明細->tableView(), Qt::Key_Down);
    EXPECT_EQ(RowTexts(*w.fml油墨, 1, 1, 3), (Texts{"東洋 洋紅(M)", "", "亮光油"}));

    QTest::mouseClick(w.scmd列印, Qt::LeftButton);   // stopped at once
    goOn = true;
    QTest::mouseClick(w.scmd列印, Qt::LeftButton);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(told(), Texts{});

    w.txt色號->setText("m");
    QTest::mouseClick(w.scmd客戶, Qt::LeftButton);   // picks the customer: in the filter line below
    QTest::mouseClick(w.scmd查詢, Qt::LeftButton);
    ASSERT_EQ(w.rows().rowCount(), 1u);
    const report::PageDocument doc = w.document();
    EXPECT_TRUE(doc.find(0, QStringLiteral("東洋 洋紅(M)、亮光油")));
    EXPECT_TRUE(doc.find(0, QString::fromStdString("條件：工單：ZZ1 ~ ZZ1  色號：m  客戶：" + cust + " 客戶甲")));

    // The export: the filter line, the headings and the row as another program reads them.
    const std::string book = db.folder() + "list.xlsx";
    w.askExportPath = [&] { return book; };
    QTest::mouseClick(w.scmd匯出, Qt::LeftButton);
    EXPECT_EQ(told(), (Texts{"資料已匯出至 " + book}));
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
    EXPECT_NE(told().at(0).find("/no/such/folder"), std::string::npos);

    w.txt日期起->setText("1131341");
    QTest::mouseClick(w.scmd查詢, Qt::LeftButton);
    EXPECT_EQ(told(), (Texts{"「印刷日期」日期輸入錯誤!"}));
}

// A measured line out of its colour's tolerances is coloured and told in the
// status bar as its values are typed, brought back within it is not. Out
// lines are saved as measured; as the window closes it tells how many are
// out, also opened again and left without saving.
TEST_F(QualityWindows, PrintingDataFlagsLinesOutOfToleranceAsTyped)
{
    const Step s = bareStep();
    // The first published CIEDE2000 pair as target and measurement: ΔE00 2.0425.
    // (A target without tolerances flags nothing: the listing's LOOSE line.)
    db.exec("insert into [色號目標值] (色號, L, A, B, 容許色差, 濃度目標, 濃度容許) values "
            "('PAIR1', 50, 2.6772, -79.7751, 2.0, 1.45, 0.1)");
    const std::string outOne = quality::OutOfToleranceMessage(1);
    {
        P w(nullptr, {s.po, s.seq, "D-印刷"}, false, clock);
        Activate(w);
        SpreadGrid& g = *w.fml明細;
        auto status = [&] { return w.sbr狀態->currentMessage().toStdString(); };
        TypeCells(g, 1, {{P::c色號, "pair1"}, {P::cL, "50"}, {P::cA, "0"}});
        EXPECT_FALSE(Marked(g, 1, P::kColumns));   // b not typed yet: nothing to judge
        TypeCells(g, 1, {{P::cB, "-82.7485"}, {P::c濃度, "1.62"}});
        EXPECT_TRUE(Marked(g, 1, P::kColumns));
        EXPECT_EQ(status(), "第1列 pair1 超出容許：色差 2.04 超出容許 2.00 達 0.04，偏藍、偏綠；"
                            "濃度 1.62 偏高，超出 1.45±0.10 達 0.07");
        TypeCells(g, 1, {{P::cA, "2.6772"}, {P::cB, "-79.7751"}});
        EXPECT_TRUE(Marked(g, 1, P::kColumns));   // the density still is out
        TypeCell(g, 1, P::c濃度, "1.5");
        EXPECT_FALSE(Marked(g, 1, P::kColumns));
        EXPECT_EQ(status(), "第1列 pair1：色差 0.00 在容許 2.00 內；濃度 1.50 在 1.45±0.10 內");
        TypeCells(g, 2, {{P::c色號, "PAIR1"}, {P::c色差, "2.5"}});   // only the instrument's △: judged as it is
        EXPECT_TRUE(Marked(g, 2, P::kColumns));
        EXPECT_EQ(status(), "第2列 PAIR1 超出容許：色差 2.50 超出容許 2.00 達 0.50");
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);   // closes: the case above
        EXPECT_EQ(told(), Texts{outOne});   // all told since opening: nothing while typing
    }
    EXPECT_EQ(db.rows("select 序, 測量4, 測量5 from [工單印刷數據]" + s.where + " order by 序"),
              (Rows{{"1", "0.00", "1.5"}, {"2", "2.5", ""}}));

    P w(nullptr, {s.po, s.seq, "D-印刷"}, true, clock);
    Activate(w);
    EXPECT_TRUE(Marked(*w.fml明細, 2, P::kColumns));
    EXPECT_EQ(w.sbr狀態->currentMessage().toStdString(), outOne);
    w.fml明細->setActiveCell(1, P::c色號);
    w.deleteLine();   // the colour follows the line up
    EXPECT_TRUE(Marked(*w.fml明細, 1, P::kColumns));
    EXPECT_FALSE(Marked(*w.fml明細, 2, P::kColumns));
    messages.answer(MsgAnswer::No);   // thrown away: the stored line is still out
    EXPECT_FALSE(Escape(w, *w.fml明細));
    EXPECT_EQ(told(), (Texts{"尚有資料未儲存，是否先儲存？", outOne}));
}

// The listing: 色差圖 charts the selected row's colour number (C) by
// printing date against its tolerance, a row without one charts nothing and
// says so (the chart's values are DifferenceChart's test). The filter for
// lines out of tolerance is named by its label, the line out coloured with
// its excess; the targets grid edits L and tolerances.
TEST_F(QualityWindows, ListingChartsFiltersOutOfToleranceAndEditsTolerances)
{
    const Rows c = db.rows("select L, A, B, 容許色差 from [色號目標值] where 色號 = 'C' and 容許色差 > 0");
    ASSERT_EQ(c.size(), 1u);
    const std::string ab = "'" + c[0][1] + "', '" + c[0][2] + "'";
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號, 測量1, 測量2, 測量3, 印刷日期) values "
            "('D-印刷', 'ZZ1', 1, 1, 'C', '" + c[0][0] + "', " + ab + ", '1131201'), "
            "('D-印刷', 'ZZ1', 1, 2, '', '70', '0', '0', '1131202'), "
            "('D-印刷', 'ZZ1', 1, 3, 'C', '70', " + ab + ", '1131203')");
    using L = frm印刷數據明細表;
    L w;
    int previews = 0;
    w.runModal = [&](QDialog& d) { previews += dynamic_cast<report::PreviewDialog*>(&d) != nullptr; };
    w.setWorkOrder("ZZ1");
    Activate(w);
    ASSERT_EQ(w.rows().rowCount(), 3u);
    w.fml明細->setActiveCell(2, 1);
    QTest::mouseClick(w.scmd色差圖, Qt::LeftButton);
    EXPECT_EQ(told(), Texts{"請先點選一筆有色號的資料!"});
    w.fml明細->setActiveCell(3, 1);
    QTest::mouseClick(w.scmd色差圖, Qt::LeftButton);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(w.chartColour(), "C");
    // From the listing's rows and the stored targets: C's two dates, its tolerance.
    const report::PageDocument doc = w.differenceDocument();
    const report::PlacedChart& chart = doc.pages.at(0).charts.at(0);
    EXPECT_EQ(chart.categoryLabels.size(), 2u);
    EXPECT_EQ(chart.references.at(0).value, std::stod(c[0][3]));

    EXPECT_EQ(w.lbl超出容許->buddy(), w.chk超出容許);
    EXPECT_EQ(w.chk超出容許->accessibleName(), w.lbl超出容許->text().remove(QStringLiteral("(&T)")));
    w.chk超出容許->setFocus();
    QTest::keyClick(w.chk超出容許, Qt::Key_Space);
    QTest::mouseClick(w.scmd查詢, Qt::LeftButton);
    ASSERT_EQ(w.rows().rowCount(), 1u);
    EXPECT_EQ(report::RowView(&w.rows(), 0).text("序").toStdString(), "3");
    EXPECT_EQ(w.fml明細->text(1, L::c超出容許).substr(0, 7), "色差+");
    EXPECT_TRUE(Marked(*w.fml明細, 1, L::kColumns));

    // The plant's targets, C first: its L changed, its tolerance cleared, its
    // density band typed. (That only the changed fields are written, and no
    // line added: the save's own test.)
    TypeCell(*w.fml目標值, 1, L::tL, "56");
    TypeCell(*w.fml目標值, 1, L::t濃度容許, "-0.1");
    EXPECT_EQ(told(), Texts{"容許值不可為負數!"});
    w.fml目標值->setActiveCell(1, L::t容許色差);
    w.fml目標值->tableView()->setFocus();
    QTest::keyClick(w.fml目標值->tableView(), Qt::Key_Delete);
    TypeCell(*w.fml目標值, 1, L::t濃度目標, "1.4");
    TypeCell(*w.fml目標值, 1, L::t濃度容許, "0.1");
    QTest::mouseClick(w.scmd儲存目標值, Qt::LeftButton);
    EXPECT_EQ(db.rows("select L, 容許色差, 濃度目標, 濃度容許 from [色號目標值] where 色號 = 'C'"),
              (Rows{{"56.0", "<null>", "1.4", "0.1"}}));
    EXPECT_EQ(db.count("select * from [色號目標值]"), 6);   // every listed target kept
}

TEST_F(QualityWindows, TimeWindowIndicatorFollowsWhatWasSaved)
{
    const Step s = bareStep("PRINTING_S");
    presched::TimeRequest request;
    request.po = s.po;
    request.seq = s.seq;
    request.kind = KindByDisplayName("D-印刷");
    request.recordNumber = db.value("select min(ID) from PRINTING_S where PO = '" + s.po + "' and [NO] = " +
                                    std::to_string(s.seq));
    frm工務預排作業_耗時 t(request, nullptr);
    t.show();
    EXPECT_EQ(t.lbl記錄->text(), "");

    bool keepLine = true;
    t.runModal = [&](QDialog& d) {
        Activate(d);
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
    EXPECT_EQ(db.count("select * from [工單印刷數據]" + s.where), 0);
}

// Typed lines are not thrown away unasked: Esc, 回前畫面 and the close
// button ask as the main window asks about unsaved cells. Enter (Cancel)
// stays with the lines, No stores nothing (TimeWindowTest, the same
// question), Yes saves (the cases above).
// Phrases the window starts from, and lines brought back as they were
// loaded, are nothing to ask about. Replacing lines by the phrases is asked.
TEST_F(QualityWindows, LeavingWithTypedLinesAsksFirstAndAKindWithoutPhrasesStartsEmpty)
{
    const Step s = bareStep();
    const Texts question{"尚有資料未儲存，是否先儲存？"};
    {
        I w(nullptr, {"D-印刷", s.po, s.seq});
        Activate(w);
        TypeCell(*w.fml明細, 1, I::c檢驗數量, "50");
        messages.answer(MsgAnswer::Cancel);
        QTest::mouseClick(w.ssc回前畫面, Qt::LeftButton);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(messages.shown().at(0).title, "詢問");
        EXPECT_EQ(messages.shown().at(0).buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(messages.shown().at(0).defaultAnswer, MsgAnswer::Cancel);   // what Enter answers
        EXPECT_EQ(told(), question);
        messages.answer(MsgAnswer::No);
        QTest::mouseClick(w.scmd匯入片語, Qt::LeftButton);
        EXPECT_EQ(w.fml明細->text(1, I::c檢驗數量), "50.00");
        messages.answer(MsgAnswer::Yes);
        QTest::mouseClick(w.scmd匯入片語, Qt::LeftButton);   // the phrases again: nothing typed
        EXPECT_EQ(told(), (Texts{quality::kImportQuestion, quality::kImportQuestion}));
        EXPECT_FALSE(Escape(w, *w.fml明細));
        EXPECT_EQ(told(), Texts{});
        EXPECT_FALSE(w.result().saved);
    }
    db.exec("insert into [工單印刷數據] (製程, 工單單號, 工單序, 序, 色號) values ('D-印刷', '" + s.po + "', " +
            std::to_string(s.seq) + ", 1, 'B')");
    {
        P w(nullptr, {s.po, s.seq, "D-印刷"}, true);
        Activate(w);
        TypeCell(*w.fml明細, 1, P::c色號, "C");
        messages.answer(MsgAnswer::Cancel);
        QTest::mouseClick(w.ssc回前畫面, Qt::LeftButton);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(told(), question);
        TypeCell(*w.fml明細, 1, P::c色號, "B");
        EXPECT_FALSE(Escape(w, *w.fml明細));
        EXPECT_EQ(told(), Texts{});
    }
    EXPECT_EQ(db.count("select * from [品質資料儲存]"), 0);   // nothing was saved

    // Without phrases the window starts empty, with a word; saved so, the
    // caller learns that nothing is kept.
    const Step imprint = bareStep("IMPRINT");
    I bare(nullptr, {"A-印前", imprint.po, imprint.seq});
    bare.show();
    EXPECT_EQ(told(), (Texts{"查無片語資料!"}));
    QTest::mouseClick(bare.scmd確定, Qt::LeftButton);
    EXPECT_TRUE(bare.result().saved);
    EXPECT_FALSE(bare.result().hasLines);
}
