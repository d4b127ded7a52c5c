// The daily report window driven as the shop floor drives it: keys, clicks
// and message answers, on a small plant database.
#include "common/HandOver.h"
#include "daily_report/documents/BindingWindow.h"
#include "daily_report/ui/DetailsPanel.h"
#include "daily_report/ui/HistoryWindow.h"
#include "daily_report/ui/PrintPage.h"
#include "daily_report/ui/QueryDialog.h"
#include "daily_report/ui/RecordSide.h"
#include "daily_report/ui/StatusClock.h"
#include "daily_report/ui/tests/WindowFixture.h"
#include "lookups/ui/DieLookup.h"
#include "printing/HistoryReport.h"
#include "app/core/Locks.h"
#include "platform/jet/Connection.h"
#include "vendors/ui/DownstreamVendorWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>

#include <cstdio>
#include <filesystem>

using namespace qtmv;
using namespace qtmv::daily::uitest;

namespace {

QColor Background(SpreadGrid& g, int row, int col)
{
    return g.tableView()->model()->index(row - 1, col - 1).data(Qt::BackgroundRole).value<QBrush>().color();
}

using MainWindowTest = WindowFixture;

} // namespace

// One opening: the first activation registers the function, fills the kinds
// and shows printing; then keys reach the filters and leave the grid, and the
// query puts the grid on a work order or says it is missing.
TEST_F(MainWindowTest, FirstActivationKeysAndTheQueryDriveOneWindow)
{
    auto w = open();
    EXPECT_EQ(w->filters().cbo種類->currentText(), QStringLiteral("D-印刷"));
    EXPECT_EQ(w->recordSide().stack()->currentWidget()->objectName(), QStringLiteral("fra印刷"));
    EXPECT_EQ(w->StatusBar1->currentMessage(), QStringLiteral("D-印刷"));
    EXPECT_EQ(db.value("select FUNC from SYSUSER1 where ID = 'PC1\\admin'"), "日報登錄作業");
    EXPECT_TRUE(w->toolbars().actSave->isEnabled());   // the kind switch offers saving
    // The status bar names the database file in use beside the kind.
    EXPECT_TRUE(w->lblDatabasePath->isVisible());
    EXPECT_EQ(w->lblDatabasePath->text().toStdString(), jet::DataSourceOf(db.connectionString()));

    QTest::keyClick(w.get(), Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(w->filters().cbo車別->isAncestorOf(QApplication::focusWidget())
                || QApplication::focusWidget() == w->filters().cbo車別);
    QTest::keyClick(w.get(), Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), w->filters().cbo種類);
    // Enter moves on like Tab in the fields.
    w->filters().txt預排單號->setFocus();
    QTest::keyClick(w->filters().txt預排單號, Qt::Key_Return);
    EXPECT_TRUE(w->filters().txt預排日期->hasFocus());

    // Enter on the focused "確 定" presses it; in the grid it moves on too.
    w->filters().scmd顯示資料->setFocus();
    QTest::keyClick(w->filters().scmd顯示資料, Qt::Key_Return);
    EXPECT_EQ(w->loadedRecords(printing), 1);
    SpreadGrid* g = w->currentGrid();
    ASSERT_TRUE(g->tableView()->hasFocus());
    ASSERT_EQ(g->activeCol(), 1);
    QTest::keyClick(g->tableView(), Qt::Key_Enter);
    EXPECT_EQ(g->activeRow(), 1);
    EXPECT_EQ(g->activeCol(), 2);
    EXPECT_FALSE(w->changeFlags(printing).rowFlagged(1));

    // Ctrl+Tab and Ctrl+Shift+Tab leave the grid, each its own way.
    auto leaveBy = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        g->setFocus();
        QTest::keyClick(g->tableView(), key, modifiers);
        QWidget* to = QApplication::focusWidget();
        EXPECT_TRUE(to && !g->isAncestorOf(to)) << key;
        return to;
    };
    QWidget* next = leaveBy(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_NE(leaveBy(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier), next);

    // The query, on both printing rows.
    load(*w, "D-印刷");
    auto query = [&](const char* number) {
        EXPECT_TRUE(DriveModal<frm工務預排明細查詢>([&] { w->toolbars().actQuery->trigger(); },
                                                   [number](frm工務預排明細查詢& dlg) {
            if (number) {
                QTest::keyClicks(dlg.txt訂單單號, number);
                QTest::keyClick(dlg.txt訂單單號, Qt::Key_Return);
            } else {
                dlg.scmd取消->click();
            }
        }));
    };
    query("p0d2");
    EXPECT_EQ(gQueryOrderNo, "P0D2");
    EXPECT_EQ(g->activeRow(), 2);
    EXPECT_EQ(g->activeCol(), 2);   // then on as after Enter
    query("zz9");
    EXPECT_TRUE(toldOnce("找不到工單單號： ZZ9"));   // the only message of both queries
    // Cancel leaves everything as it was.
    g->setActiveCell(1, 3);
    query(nullptr);
    EXPECT_FALSE(gReturned);
    EXPECT_EQ(g->activeCol(), 3);
}

TEST_F(MainWindowTest, MachineDateAndNumberBoxesNarrowTheLoadAnEmptyOneDisablesTheGrid)
{
    db.exec("update EMPLOYEE set 車別 = '一號機' where ID = 'A001'");
    auto w = open();
    daily::RecordFilters& f = w->filters();
    EXPECT_EQ(f.cbo車別->currentText(), QStringLiteral("一號機"));   // the user's own press
    f.scmd顯示資料->click();
    ASSERT_EQ(w->loadedRecords(printing), 1);   // of the two printing pieces
    EXPECT_EQ(w->currentGrid()->text(1, 1), "P0D2");
    // An empty list says which kind, press and date gave nothing, and leaves
    // the grid and saving disabled, so F8 does nothing.
    f.txt預排日期->setText(QStringLiteral("1131203"));
    f.scmd顯示資料->click();
    EXPECT_EQ(w->loadedRecords(printing), 0);
    const std::string status = w->StatusBar1->currentMessage().toStdString();
    EXPECT_NE(status.find("共 0 筆"), std::string::npos) << status;
    EXPECT_NE(status.find("D-印刷、車別「一號機」、預排日「1131203」沒有未完工的排程資料"), std::string::npos) << status;
    EXPECT_EQ(w->currentGrid()->maxRow(), 1);
    EXPECT_FALSE(w->currentGrid()->isGridEnabled());
    EXPECT_FALSE(w->toolbars().actSave->isEnabled());
    QTest::keyClick(f.cbo種類, Qt::Key_F8);
    EXPECT_TRUE(messages.shown().empty());   // no "確定儲存資料?"
    f.txt預排日期->clear();
    f.txt預排單號->setText(QStringLiteral("1131299999"));
    f.scmd顯示資料->click();
    EXPECT_EQ(w->loadedRecords(printing), 0);

    // The die-cutting kind has no "一號機": its press box starts empty.
    f.txt預排單號->clear();
    choose(*w, "G-軋工");
    EXPECT_EQ(f.cbo車別->currentText(), QString());
    f.scmd顯示資料->click();
    EXPECT_EQ(w->loadedRecords(*KindByLetter('G')), 1);
}

// Production rights position 14 hides the value table (never for an
// administrator); the company decides the binding columns and whether the
// schedule prints its amounts.
TEST_F(MainWindowTest, RightsAndCompanyRulesShapeTheWindowAtOpening)
{
    CurrentSession().ProductionRights = "00000000000001";
    CurrentSession().CompanyName = "聿禾彩色印刷";
    auto w = open();
    EXPECT_FALSE(w->toolbars().actPrint->isVisible());
    EXPECT_FALSE(w->toolbars().actPrint1->isVisible());
    SpreadGrid* binding = w->grid(*KindByLetter('J'));
    for (int col = 16; col <= 19; ++col)
        EXPECT_TRUE(binding->colHidden(col)) << col;
    EXPECT_FALSE(binding->colHidden(20));
    EXPECT_FALSE(w->printPage().chk預排表印金額->isChecked());

    CurrentSession().CompanyName = "岱恆紙器";
    CurrentSession().LoginUser = "王大明";
    auto other = open();
    EXPECT_TRUE(other->toolbars().actPrint->isVisible());
    EXPECT_FALSE(other->grid(*KindByLetter('J'))->colHidden(16));
    EXPECT_TRUE(other->printPage().chk預排表印金額->isChecked());
}

TEST_F(MainWindowTest, AFailingHandlerOrAnUnreachableDatabaseLeavesTheWindowUsable)
{
    // A clock that fails the way a broken library might: not a data-access error.
    struct BrokenClock : Clock {
        DateTime now() const override { throw std::out_of_range("clock"); }
    } broken;
    openPrinting();
    w->setClock(broken);
    ClickCell(*g, 1, pl.finishDateCol);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text.rfind("程式發生未預期的錯誤。", 0), 0u);
    EXPECT_FALSE(w->changeFlags(printing).isFlagged(1, pl.finishDateCol));

    // Still enabled, not busy: the next click stamps.
    w->setClock(clock);
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(w->recordSide().busy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ClickCell(*g, 1, pl.finishDateCol);
    EXPECT_EQ(g->text(1, pl.finishDateCol), "1204-14");

    // A database that cannot be reached is told once by name and typed work
    // stays (the stamp taken back first, so that nothing is pending).
    QTest::keyClick(v, Qt::Key_Z, Qt::ControlModifier);
    const std::string away = db.path() + ".away";
    ASSERT_EQ(std::rename(db.path().c_str(), away.c_str()), 0);   // the share is gone
    messages.clear();
    w->toolbars().actRefresh->trigger();   // "刷新"
    EXPECT_TRUE(toldOnce(db.path(), false, kUnreachableDatabaseTitle));
    EXPECT_EQ(w->loadedRecords(printing), 1);

    // F8 says the same once, before any question; the stamp stays pending.
    g->setActiveCell(1, pl.finishDateCol);
    QTest::keyClick(v, Qt::Key_Space);
    QTest::keyClick(v, Qt::Key_F8);
    EXPECT_TRUE(toldOnce(db.path(), false, kUnreachableDatabaseTitle));
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 1);
    ASSERT_EQ(std::rename(away.c_str(), db.path().c_str()), 0);
}

// The print page's order options are ticked from the stored ones on the
// first activation; a vendor window opened from a row starts from the
// boxes as they are then, and the options it stores are ticked there.
TEST_F(MainWindowTest, VendorPrintOptionsGoBothWaysAndTheHandOffWritesTheWorkOrderUntilMaintenanceEndsTheProgram)
{
    db.exec("insert into SYSDB (PNAME, CODE) values ('工務預排', '1101010')");
    auto w = open();
    auto box = [&](const char* name) { return w->printPage().findChild<QCheckBox*>(QString::fromUtf8(name)); };
    for (const auto& [name, on] : {std::pair{"chk單筆不印公司名稱", true}, {"chk單筆不印業務員", true},
                                   {"chk預排表不印金額", false}, {"chk單筆不印客戶", true},
                                   {"chk單筆不印品名", false}, {"chk單筆不印金額", true}}) {
        ASSERT_NE(box(name), nullptr) << name;
        EXPECT_EQ(box(name)->isChecked(), on) << name;
    }
    box("chk單筆不印金額")->setChecked(false);

    load(*w, "E-上光");
    const ProcessKind& varnishing = *KindByLetter('E');
    ASSERT_EQ(w->loadedRecords(varnishing), 1);
    const int col = w->page(varnishing).layout().column("單筆");
    ASSERT_GT(col, 0);
    bool startedTicked = false;
    EXPECT_TRUE(DriveModal<frm下游廠商>([&] { ClickCell(*w->grid(varnishing), 1, col); }, [&](frm下游廠商& d) {
        startedTicked = d.chk不印客戶->isChecked() && !d.chk不印金額->isChecked();
        QTest::mouseClick(d.chk不印客戶, Qt::LeftButton);
        QTest::mouseClick(d.chk不印金額, Qt::LeftButton);
        QTest::mouseClick(d.scmd確定, Qt::LeftButton);
    }));
    EXPECT_TRUE(startedTicked);
    EXPECT_EQ(db.value("select CODE from SYSDB where PNAME = '工務預排'"), "1100010");
    EXPECT_FALSE(box("chk單筆不印客戶")->isChecked());
    EXPECT_TRUE(box("chk單筆不印金額")->isChecked());
    EXPECT_TRUE(box("chk單筆不印業務員")->isChecked());

    // The hand-off to the work-order program writes the current work order in Big5.
    messages.clear();
    const std::string file = db.folder() + "QTMVTMP.TXT";
    w->filters().cbo種類->setCurrentIndex(-1);
    w->toolbars().actWorkOrder->trigger();
    EXPECT_TRUE(toldOnce("請選擇一項類別!"));
    CurrentSession().WorkOrderRights = "0111";
    load(*w, "D-印刷");
    w->toolbars().actWorkOrder->trigger();
    EXPECT_TRUE(toldOnce("你的權限無法使用該項功能!"));
    EXPECT_FALSE(std::filesystem::exists(file));

    CurrentSession().WorkOrderRights = "1111111111";
    w->currentGrid()->setActiveCell(2, 1, true);
    w->toolbars().actWorkOrder->trigger();
    EXPECT_EQ(ReadFile(file), "\xB9\x77\xB1\xC6\r\nP0D2\r\nD-\xA6\x4C\xA8\xEA\r\n");
    // The work-order program is not installed here: launching it is reported.
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().back().title, "錯誤");
    EXPECT_FALSE(ended);

    // Under maintenance the launch, and a load before reading anything, show
    // the holder and end this program.
    db.exec("insert into SYSLOCK ([USER]) values ('PC1\\ADMIN')");
    messages.clear();
    w->toolbars().actWorkOrder->trigger();
    EXPECT_TRUE(toldOnce("PC1\\ADMIN", false, "系統維護"));
    EXPECT_TRUE(std::exchange(ended, false));
    load(*w, "G-軋工");
    EXPECT_TRUE(toldOnce("PC1\\ADMIN", false, "系統維護"));
    EXPECT_TRUE(ended);
    EXPECT_EQ(w->loadedRecords(*KindByLetter('G')), 0);
}

// --- The clerk's day: typed work kept, checked and reachable by keys -----------------

TEST_F(MainWindowTest, TypedCellsAreSettledBeforeALoadOrLeavingAndEntriesAreCheckedWhileTyping)
{
    openPrinting();
    TypeInto(*g, 1, pl.finishRemarkCol, "ok");

    // Cancel stays, whichever way the typed cell was to be thrown away.
    messages.setDefaultAnswer(MsgAnswer::Cancel);
    QTest::keyClick(w.get(), Qt::Key_O, Qt::AltModifier);                  // "確 定"
    QTest::mouseClick(w->filters().opt排序方式[3], Qt::LeftButton);        // a sort option
    w->toolbars().actRefresh->trigger();                                    // "刷新"
    w->filters().cbo種類->setFocus();
    QTest::keyClick(w->filters().cbo種類, Qt::Key_Down);                    // another kind
    QTest::keyClick(v, Qt::Key_Escape);                                     // leaving
    ASSERT_EQ(messages.shown().size(), 5u);
    for (const auto& m : messages.shown()) {
        EXPECT_EQ(m.text, "尚有 1 格資料未儲存，是否先儲存？");
        EXPECT_EQ(m.defaultAnswer, MsgAnswer::Cancel);
    }
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->filters().cbo種類->currentText(), QStringLiteral("D-印刷"));
    EXPECT_TRUE(w->filters().opt排序方式[0]->isChecked());
    EXPECT_EQ(g->text(1, pl.finishRemarkCol), "ok");
    EXPECT_TRUE(w->changeFlags(printing).isFlagged(1, pl.finishRemarkCol));

    // No to the pending cells: the leave question then defaults to No.
    messages.clear();
    messages.answer(MsgAnswer::No);
    messages.answer(MsgAnswer::No);
    QTest::keyClick(v, Qt::Key_Escape);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, "確定離開日報登錄作業嗎？");
    EXPECT_EQ(messages.shown()[1].defaultAnswer, MsgAnswer::No);
    EXPECT_TRUE(w->isVisible());

    // Yes saves first and then loads: the text is in the database.
    messages.setDefaultAnswer(MsgAnswer::Yes);
    QTest::keyClick(w.get(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(db.value("select 完工說明 from PRINTING_S where ID = '1131201001' and INO = 4"), "ok");
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 0);

    // Which key a cell takes and what it holds are the edit rules' (EditRulesTest);
    // here, that the grid asks them and shows the answer.
    messages.clear();
    // A letter in "數量" is dropped and flags nothing.
    const int qty = pl.column("數量");
    const std::string before = g->text(1, qty);
    g->setActiveCell(1, qty);
    QTest::keyClick(v, Qt::Key_A);
    EXPECT_EQ(g->text(1, qty), before);
    EXPECT_FALSE(w->changeFlags(printing).isFlagged(1, qty));

    // A refused entry is told and the cell keeps what it held.
    TypeInto(*g, 1, pl.finishDateCol, "0230-10");
    EXPECT_TRUE(toldOnce("完工日", false));
    EXPECT_EQ(g->text(1, pl.finishDateCol), "");

    // The printing "完工說明" holds 50 bytes: the count shows while typing,
    // and what a cut takes off is said.
    g->setActiveCell(1, pl.finishRemarkCol);
    QTest::keyClick(v, Qt::Key_A);
    EXPECT_NE(w->lbl輸入提示->text().indexOf(QStringLiteral("1/50")), -1) << w->lbl輸入提示->text().toStdString();
    QTest::keyClicks(QApplication::focusWidget(), QString(50, QLatin1Char('b')) + QStringLiteral("cd"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(toldOnce("最多只可輸入50個字元!"));
    EXPECT_EQ(g->text(1, pl.finishRemarkCol), "a" + std::string(49, 'b'));
    EXPECT_NE(w->lbl輸入提示->text().indexOf(QStringLiteral("「bcd」")), -1) << w->lbl輸入提示->text().toStdString();
    QTest::qWait(0);
    EXPECT_EQ(g->activeCol(), pl.finishRemarkCol);   // back on the cut cell

    // The date box takes a real seven-digit date only.
    w->filters().txt預排日期->setText(QStringLiteral("1131302"));
    QTest::keyClick(w.get(), Qt::Key_O, Qt::AltModifier);
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().back().text, "日期錯誤，請輸入七碼的年月日，例如 1131204!");
    EXPECT_EQ(g->text(1, pl.finishRemarkCol), "a" + std::string(49, 'b'));   // not reloaded
}

// A pending cell from its stamp to the change history: coloured and counted,
// undone step by step, previewed by F8, saved by Yes.
TEST_F(MainWindowTest, PendingCellsAreColouredUndonePreviewedSavedAndInTheHistory)
{
    openPrinting();
    const int date = pl.finishDateCol, remark = pl.finishRemarkCol;
    const QColor plain = Background(*g, 1, date);

    g->setActiveCell(1, date);
    QTest::keyClick(v, Qt::Key_Space);   // the finish stamp from the keyboard
    EXPECT_EQ(g->text(1, date), "1204-14");
    TypeInto(*g, 1, remark, "ok");
    EXPECT_NE(Background(*g, 1, date), plain);
    EXPECT_EQ(Background(*g, 1, remark), Background(*g, 1, date));
    EXPECT_EQ(w->lbl未儲存->text(), QStringLiteral("未儲存 2 格"));
    EXPECT_TRUE(w->lbl未儲存->isVisible());
    g->setActiveCell(1, date);
    QTest::keyClick(v, Qt::Key_Delete);
    EXPECT_EQ(g->text(1, date), "");

    // Ctrl+Z takes the steps back one by one, flags included.
    for (const auto& [col, text] : {std::pair{date, "1204-14"}, {remark, ""}, {date, ""}}) {
        QTest::keyClick(v, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(g->text(1, col), text);
    }
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 0);
    EXPECT_EQ(Background(*g, 1, date), plain);
    EXPECT_FALSE(w->lbl未儲存->isVisible());

    // F4 stamps too. F8 first lists what the save will do, and asks.
    g->setActiveCell(1, date);
    QTest::keyClick(v, Qt::Key_F4);
    auto finishDate = [&] { return db.value("select FDATE from PRINTING_S where ID = '1131201001' and INO = 4"); };
    messages.answer(MsgAnswer::No);
    QTest::keyClick(v, Qt::Key_F8);
    ASSERT_EQ(messages.shown().size(), 1u);
    const std::string question = messages.shown()[0].text, head = "確定儲存資料?\n\n";
    ASSERT_TRUE(question.starts_with(head)) << question;
    const std::string list = question.substr(head.size());
    EXPECT_NE(list.find("工單製程結案：P0D 序1"), std::string::npos) << list;
    // That No writes nothing, the preview neither: ChangeHistoryTest.

    // Yes saves and says what it did; the colour goes, nothing is left to undo.
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    QTest::keyClick(v, Qt::Key_F8);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, question);
    EXPECT_EQ(messages.shown()[1].text, "資料儲存完畢!\n\n" + list);
    EXPECT_EQ(finishDate(), "1204-14");
    EXPECT_EQ(Background(*g, 1, date), plain);
    EXPECT_FALSE(w->lbl未儲存->isVisible());
    QTest::keyClick(v, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(g->text(1, date), "1204-14");

    // F8 with nothing flagged says so and asks nothing.
    messages.clear();
    QTest::keyClick(v, Qt::Key_F8);
    EXPECT_TRUE(toldOnce("沒有需要儲存的資料。"));

    // Ctrl+H on the row: the history window lists the change and prints it;
    // the toolbar button opens it too.
    bool printed = false;
    g->setActiveCell(1, 1);
    EXPECT_TRUE(DriveModal<frm日報異動紀錄>([&] { QTest::keyClick(v, Qt::Key_H, Qt::ControlModifier); },
                                          [&](frm日報異動紀錄& h) {
        ASSERT_EQ(h.fml異動紀錄->rowCount(), 1);
        EXPECT_EQ(h.fml異動紀錄->item(0, 5)->text(), QStringLiteral("完工日"));
        EXPECT_EQ(h.fml異動紀錄->item(0, 7)->text(), QStringLiteral("1204-14"));
        h.runModal = [&](QDialog&) { printed = true; };
        h.scmd列印->click();
        EXPECT_FALSE(daily::HistoryReport("", h.entries()).pagesWith(QStringLiteral("1204-14")).empty());
    }));
    EXPECT_TRUE(printed);
    EXPECT_TRUE(DriveModal<frm日報異動紀錄>([&] { w->toolbars().actHistory->trigger(); }, [](frm日報異動紀錄&) {}));
}

// The close box asks, and Yes ends the registration; the entry view, the
// dragged widths, the large font and the window's place come back at the
// next start, for this employee only.
TEST_F(MainWindowTest, TheCloseBoxAsksAndWhatTheUserSetIsRememberedPerUserAndKind)
{
    const int paper = pl.column("紙品"), front = pl.column("正");
    const QRect dragged(60, 40, 1100, 820);
    {
        auto w = open();
        load(*w, "D-印刷");
        SpreadGrid* g = w->currentGrid();
        w->toolbars().actEntryView->trigger();
        EXPECT_TRUE(g->colHidden(paper));
        for (int col : {1, 5, front, pl.remarkCol, pl.finishDateCol, pl.finishRemarkCol, pl.column("耗時"), pl.column("濃度")})
            EXPECT_FALSE(g->colHidden(col)) << pl.heading(col);
        EXPECT_EQ(g->heading(pl.finishDateCol), "完工日");   // numbers stay
        g->tableView()->horizontalHeader()->resizeSection(pl.finishRemarkCol - 1, 333);
        w->toolbars().actLargeFont->trigger();
        w->setGeometry(dragged);   // as the user drags the window's edges
        messages.answer(MsgAnswer::Yes);
        w->close();
        EXPECT_TRUE(toldOnce("確定離開日報登錄作業嗎？"));
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(db.value("select count(*) from SYSUSER1"), "0");
    }
    {
        // Printing in the entry view with the dragged width, die-cutting
        // still in the full layout, the larger font kept.
        auto w = open();
        SpreadGrid* g = w->grid(printing);
        EXPECT_TRUE(w->toolbars().actEntryView->isChecked());
        EXPECT_TRUE(g->colHidden(paper));
        EXPECT_EQ(g->colWidth(pl.finishRemarkCol), 333);
        EXPECT_TRUE(w->toolbars().actLargeFont->isChecked());
        EXPECT_GT(g->font().pointSizeF(), w->grid(*KindByLetter('A'))->property("normalPointSize").toDouble());
        choose(*w, "G-軋工");
        EXPECT_FALSE(w->toolbars().actEntryView->isChecked());
        EXPECT_FALSE(w->currentGrid()->colHidden(daily::GridLayoutOf(*KindByLetter('G')).column("開數")));
        EXPECT_FALSE(w->isMaximized());
        EXPECT_EQ(w->geometry(), dragged);
        w->showMaximized();
        messages.answer(MsgAnswer::Yes);
        w->close();
    }
    auto w = open();
    EXPECT_TRUE(w->isMaximized());
    EXPECT_EQ(w->normalGeometry(), dragged);   // back from maximised, where it was before

    // Another employee on the same workstation has his own settings.
    CurrentSession().EmployeeId = "B002";
    auto other = open();
    EXPECT_FALSE(other->grid(printing)->colHidden(paper));
    EXPECT_FALSE(other->isMaximized());
    EXPECT_EQ(other->size(), QSize(1024, 720));
}

// A query-only user is marked from the start; a cut-short launch line says
// so too and refuses every edit gesture until the user is known.
TEST_F(MainWindowTest, AQueryOnlyUserOrACutShortLaunchLineSaysQueryOnlyAndRefusesEveryEditGesture)
{
    Session& s = CurrentSession();
    s.ProductionRights = "00000000000100000000";   // "1" at 12: query only
    openPrinting();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("日報登錄作業 - 僅可查詢"));
    EXPECT_TRUE(w->lbl僅可查詢->isVisible());
    EXPECT_EQ(w->lbl僅可查詢->toolTip(), QStringLiteral("您的權限僅可以查詢！"));
    // The refusal leaving the cells as they were is the cut-short case's, below.
    ClickCell(*g, 1, pl.finishDateCol);
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 0);
    EXPECT_TRUE(toldOnce("您的權限僅可以查詢！"));

    // The launch line cut short.
    s.ProductionRights = std::string(20, '0');
    s.IdentityEstablished = s.RightsEstablished = false;
    s.RightsProblem = "啟動參數不完整，無法確認使用者身分。";
    openPrinting();   // looking still works
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(w->lbl僅可查詢->isVisible());
    EXPECT_EQ(w->lbl僅可查詢->text(), QStringLiteral("僅可查詢"));
    EXPECT_TRUE(w->lbl僅可查詢->toolTip().contains(QStringLiteral("啟動參數不完整")));
    const int date = pl.finishDateCol, remark = pl.finishRemarkCol;
    const std::string dateBefore = g->text(1, date);
    g->setText(1, remark, "x");

    // The first gesture that would edit says why; each after it says the
    // short refusal once. Nothing changes, no editor opens.
    const std::pair<const char*, std::function<void()>> gestures[] = {
        {"click stamping the finish date", [&] { ClickCell(*g, 1, date); }},
        {"key typed into a text cell", [&] { g->setFocus(); g->setActiveCell(1, remark); QTest::keyClick(v, Qt::Key_A); }},
        // As the system sends a double click: a click, then the second press.
        {"double click opening the editor", [&] {
             const QPoint cell = v->visualRect(v->model()->index(0, remark - 1)).center();
             QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell);
             QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cell);
         }},
        {"Space stamping", [&] { g->setActiveCell(1, date); QTest::keyClick(v, Qt::Key_Space); }},
        {"Delete of a cell with text", [&] { g->setActiveCell(1, remark); QTest::keyClick(v, Qt::Key_Delete); }},
    };
    bool first = true;
    for (const auto& [what, gesture] : gestures) {
        SCOPED_TRACE(what);
        gesture();
        if (first) {
            ASSERT_EQ(messages.shown().size(), 1u);
            EXPECT_NE(messages.shown()[0].text.find("啟動參數不完整"), std::string::npos);
            EXPECT_TRUE(toldOnce("本次執行僅可查詢", false));
        } else {
            EXPECT_TRUE(toldOnce("您的權限僅可以查詢！"));
        }
        first = false;
        EXPECT_FALSE(g->isEditing());
        EXPECT_EQ(g->text(1, remark), "x");
        EXPECT_EQ(g->text(1, date), dateBefore);
    }
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 0);
    EXPECT_FALSE(w->lbl未儲存->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("日報登錄作業 - 僅可查詢"));

    // Once the user is known and the rights row is found, the next gesture
    // goes through and the window stops saying "僅可查詢".
    db.exec("insert into 使用者資料明細 (使用者, 工單作業細部, 生產管理細部) values ('王大明', '1111111111', "
            "'00000000000000000000')");
    s.IdentityEstablished = true;
    ClickCell(*g, 1, date);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(g->text(1, date), "1204-14");
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("日報登錄作業"));
    EXPECT_FALSE(w->lbl僅可查詢->isVisible());
}

// Every kind, loaded at the plant's screen size: its open pieces, and each
// view of its grid fitting with no heading cut.
TEST_F(MainWindowTest, EveryKindLoadsAndFitsThePlantsScreenAndWithoutTheDatabaseEveryOperationSaysSo)
{
    auto w = open();
    w->resize(1280, 1024);
    // The toolbar buttons, clicked as the user clicks them.
    auto click = [&](QAction* a) {
        QTest::mouseClick(w->toolbars().Toolbar2->widgetForAction(a), Qt::LeftButton);
        QApplication::processEvents();   // the view lays its columns out again
    };
    // Every shown heading's widest line at the grid's font fits its column
    // within the header's margins.
    auto headingsWhole = [](SpreadGrid& g, const daily::GridLayout& l) {
        const QHeaderView* header = g.tableView()->horizontalHeader();
        const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        const QFontMetrics metrics(g.font());
        for (int col = 1; col <= l.columnCount(); ++col) {
            if (g.colHidden(col))
                continue;
            for (const QString& line : QString::fromStdString(l.heading(col)).split(QLatin1Char('\n')))
                EXPECT_LE(metrics.horizontalAdvance(line) + margins, g.colWidth(col)) << l.heading(col);
        }
    };
    for (const bool large : {false, true}) {
        if (large)
            click(w->toolbars().actLargeFont);
        ASSERT_EQ(w->toolbars().actLargeFont->isChecked(), large);
        for (const auto& k : ProcessKinds()) {
            SCOPED_TRACE(std::string(k.displayName) + (large ? " 大字" : ""));
            load(*w, std::string(k.displayName).c_str());
            SpreadGrid* g = w->currentGrid();
            const int records = k.letter == 'D' ? 2 : 1;   // P0DX's work order is finished
            ASSERT_EQ(w->loadedRecords(k), records);
            EXPECT_TRUE(g->isGridEnabled());
            EXPECT_EQ(g->text(1, 1), TestDatabase::workOrder(k));
            EXPECT_EQ(w->changeFlags(k).rows(), records);
            EXPECT_EQ(w->currentRecordNo(), "1131201001");
            EXPECT_EQ(w->details().lbl客戶->text(), QStringLiteral("大華紙業"));
            if (w->toolbars().actEntryView->isChecked())
                click(w->toolbars().actEntryView);
            ASSERT_FALSE(w->toolbars().actEntryView->isChecked());
            headingsWhole(*g, daily::GridLayoutOf(k));
            // The full layout is wider than the window: the scroll bar says so.
            EXPECT_GT(g->tableView()->horizontalScrollBar()->maximum(), 0);

            click(w->toolbars().actEntryView);
            SCOPED_TRACE("輸入檢視");
            ASSERT_TRUE(w->toolbars().actEntryView->isChecked());
            EXPECT_EQ(g->tableView()->horizontalScrollBar()->maximum(), 0);
            headingsWhole(*g, daily::GridLayoutOf(k));
        }
    }
    EXPECT_TRUE(messages.shown().empty());

    // Once the database is gone, a window opened then says so in its status bar
    // and at every operation.
    std::filesystem::remove(db.path());
    auto without = open();
    EXPECT_TRUE(messages.shown().empty());   // start-up said it already
    EXPECT_TRUE(without->lblDatabasePath->text().startsWith(QStringLiteral("沒有開啟資料庫")));
    QTest::keyClick(without.get(), Qt::Key_O, Qt::AltModifier);
    without->toolbars().actQuery->trigger();
    without->toolbars().actWorkOrder->trigger();
    ASSERT_EQ(messages.shown().size(), 3u);
    for (const auto& m : messages.shown())
        EXPECT_EQ(m.text.rfind("沒有開啟資料庫，本作業沒有執行。", 0), 0u) << m.text;
}

// The kinds' own buttons on one window: 回存工單 appears with the first
// die-cutting row without moving the controls around it, 變更刀號 picks a
// registered die into the row, binding rows offer their instructions.
TEST_F(MainWindowTest, KindButtonsWriteBackChangeTheDieAndOpenBindingInstructions)
{
    auto w = open();
    choose(*w, "G-軋工");   // 變更刀號 stands beside the button
    daily::RecordFilters& f = w->filters();
    ASSERT_FALSE(f.pic回存工單->isVisible());
    auto places = [&] {
        return PlacesOf({f.cbo種類, f.scmd顯示資料, f.scmd刀模輔助, f.fra排序方式, w->recordSide().stack(), &w->details()});
    };
    const std::vector<std::string> before = places();
    QTest::mouseClick(f.scmd顯示資料, Qt::LeftButton);
    const ProcessKind& cutting = *KindByLetter('G');
    ASSERT_EQ(w->loadedRecords(cutting), 1);
    ASSERT_TRUE(f.pic回存工單->isVisible());   // the first row is current
    EXPECT_EQ(places(), before);

    // 變更刀號.
    const int dieCol = daily::GridLayoutOf(cutting).column("刀模代號");
    SpreadGrid* g = w->currentGrid();
    g->setText(1, dieCol, "K-0");   // the filter the lookup starts with
    EXPECT_TRUE(DriveModal<frm刀模輔助視窗>([&] { w->filters().scmd刀模輔助->click(); }, [](frm刀模輔助視窗& dlg) {
        EXPECT_EQ(dlg.txt篩選->text(), QStringLiteral("K-0"));
        ASSERT_EQ(dlg.fml刀模->maxRow(), 2);
        dlg.fml刀模->setActiveCell(2, 1);
        QTest::keyClick(dlg.fml刀模->tableView(), Qt::Key_Return);
    }));
    EXPECT_EQ(g->text(1, dieCol), "K-010");
    EXPECT_TRUE(w->changeFlags(cutting).isFlagged(1, dieCol));
    EXPECT_TRUE(gLookupFilter.empty());

    // Esc picks nothing and leaves the cell alone.
    EXPECT_TRUE(DriveModal<frm刀模輔助視窗>([&] { QTest::keyClick(g->tableView(), Qt::Key_F9); },
                                        [](frm刀模輔助視窗& dlg) { QTest::keyClick(&dlg, Qt::Key_Escape); }));
    EXPECT_EQ(g->text(1, dieCol), "K-010");
    EXPECT_TRUE(messages.shown().empty());

    // 裝訂說明, for binding rows only.
    messages.answer(MsgAnswer::No);   // the picked die is not kept
    load(*w, "D-印刷");
    EXPECT_FALSE(f.scmd裝訂說明->isVisible());
    load(*w, "J-裝訂");
    const ProcessKind& binding = *KindByLetter('J');
    ASSERT_EQ(w->loadedRecords(binding), 1);
    EXPECT_TRUE(f.scmd裝訂說明->isVisible());
    EXPECT_TRUE(DriveModal<frm裝訂說明>([&] { f.scmd裝訂說明->click(); }, [&](frm裝訂說明& dlg) {
        EXPECT_EQ(dlg.record().po, TestDatabase::workOrder(binding));
        EXPECT_EQ(dlg.record().no, 1);
    }));
}
