// The daily report window driven as the shop floor drives it: keys, clicks
// and message answers, on a small plant database.
#include "common/HandOver.h"
#include "daily_report/documents/BindingWindow.h"
#include "daily_report/ui/DetailsPanel.h"
#include "daily_report/ui/PrintPage.h"
#include "daily_report/ui/QueryDialog.h"
#include "daily_report/ui/RecordSide.h"
#include "daily_report/ui/StatusClock.h"
#include "daily_report/ui/tests/WindowFixture.h"
#include "lookups/ui/DieLookup.h"
#include "app/core/Locks.h"
#include "platform/jet/Connection.h"
#include "vendors/core/DownstreamVendor.h"
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
#include <QToolBar>

#include <cstdio>
#include <filesystem>

using namespace qtmv;
using daily::uitest::TestDatabase;

namespace {

// Types text into a cell as the keyboard does and commits it with Enter.
void TypeInto(SpreadGrid& g, int row, int col, const std::string& text)
{
    g.setFocus();
    g.setActiveCell(row, col);
    QTest::keyClick(g.tableView(), text[0]);   // opens the cell editor
    if (text.size() > 1)
        QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(text.substr(1)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// Where a control stands in its window, as "x,y wxh".
std::string PlaceOf(const QWidget* w)
{
    const QPoint at = w->mapTo(w->window(), QPoint(0, 0));
    return std::to_string(at.x()) + "," + std::to_string(at.y()) + " " + std::to_string(w->width()) + "x"
           + std::to_string(w->height());
}

QColor Background(SpreadGrid& g, int row, int col)
{
    return g.tableView()->model()->index(row - 1, col - 1).data(Qt::BackgroundRole).value<QBrush>().color();
}

using MainWindowTest = daily::uitest::WindowFixture;
using daily::uitest::DriveModal;

} // namespace

TEST_F(MainWindowTest, FirstActivationRegistersFillsTheKindsAndShowsPrinting)
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
}

TEST_F(MainWindowTest, EveryKindLoadsItsOpenPieces)
{
    auto w = open();
    for (const auto& k : ProcessKinds()) {
        load(*w, std::string(k.displayName).c_str());
        SpreadGrid* g = w->grid(k);
        const int expected = k.letter == 'D' ? 2 : 1;   // P0DX's work order is finished
        ASSERT_EQ(w->loadedRecords(k), expected) << k.displayName;
        EXPECT_TRUE(g->isGridEnabled());
        EXPECT_EQ(g->text(1, 1), TestDatabase::workOrder(k)) << k.displayName;
        EXPECT_EQ(w->changeFlags(k).rows(), expected);
        EXPECT_EQ(w->currentRecordNo(), "1131201001");
        EXPECT_EQ(w->details().lbl客戶->text(), QStringLiteral("大華紙業"));
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(MainWindowTest, MachineAndNumberBoxesNarrowTheLoad)
{
    auto w = open();
    EXPECT_EQ(w->filters().cbo車別->currentText(), QStringLiteral("二號機"));   // the user's own press
    w->filters().scmd顯示資料->click();
    EXPECT_EQ(w->loadedRecords(printing), 1);

    choose(*w, "D-印刷", "一號機");
    w->filters().txt預排日期->setText(QStringLiteral("1131202"));
    w->filters().scmd顯示資料->click();
    ASSERT_EQ(w->loadedRecords(printing), 1);
    EXPECT_EQ(w->currentGrid()->text(1, 1), "P0D2");
    // An empty list says which kind, press and date gave nothing.
    w->filters().txt預排日期->setText(QStringLiteral("1131203"));
    w->filters().scmd顯示資料->click();
    EXPECT_EQ(w->loadedRecords(printing), 0);
    const std::string status = w->StatusBar1->currentMessage().toStdString();
    EXPECT_NE(status.find("共 0 筆"), std::string::npos) << status;
    EXPECT_NE(status.find("D-印刷、車別「一號機」、預排日「1131203」沒有未完工的排程資料"), std::string::npos) << status;

    w->filters().txt預排日期->clear();
    w->filters().txt預排單號->setText(QStringLiteral("1131299999"));
    w->filters().scmd顯示資料->click();
    EXPECT_EQ(w->loadedRecords(printing), 0);
}

TEST_F(MainWindowTest, NothingLoadedDisablesTheGridAndSavingSoF8DoesNothing)
{
    db.exec("delete from PRINTING_S");
    auto w = open();
    load(*w, "D-印刷");
    SpreadGrid* g = w->currentGrid();
    EXPECT_EQ(g->maxRow(), 1);
    EXPECT_FALSE(g->isGridEnabled());
    EXPECT_FALSE(w->toolbars().actSave->isEnabled());
    QTest::keyClick(w->filters().cbo種類, Qt::Key_F8);
    EXPECT_TRUE(messages.shown().empty());   // no "確定儲存資料?"
}

TEST_F(MainWindowTest, TheCloseBoxAsksAndYesLeavesAndEndsTheRegistration)
{
    auto w = open();
    messages.answer(MsgAnswer::Yes);
    w->close();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "確定離開日報登錄作業嗎？");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(db.value("select count(*) from SYSUSER1"), "0");
}

TEST_F(MainWindowTest, HandOffWritesTheCurrentWorkOrderInBig5)
{
    auto w = open();
    load(*w, "D-印刷");
    w->currentGrid()->setActiveCell(2, 1, true);
    w->toolbars().actWorkOrder->trigger();
    EXPECT_EQ(daily::uitest::ReadFile(db.folder() + "QTMVTMP.TXT"), "\xB9\x77\xB1\xC6\r\nP0D2\r\nD-\xA6\x4C\xA8\xEA\r\n");
    // The work-order program is not installed here: launching it is reported.
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().back().title, "錯誤");
    EXPECT_FALSE(ended);

    // Under maintenance the launch shows the holder and ends this program.
    db.exec("insert into SYSLOCK ([USER]) values ('PC1\\ADMIN')");
    messages.clear();
    w->toolbars().actWorkOrder->trigger();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].title, "系統維護");
    EXPECT_TRUE(ended);
}

TEST_F(MainWindowTest, HandOffRefusedWithoutKindOrRight)
{
    auto w = open();
    w->filters().cbo種類->setCurrentIndex(-1);
    w->toolbars().actWorkOrder->trigger();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "請選擇一項類別!");
    EXPECT_FALSE(std::filesystem::exists(db.folder() + "QTMVTMP.TXT"));

    CurrentSession().WorkOrderRights = "0111";
    choose(*w, "D-印刷");
    w->toolbars().actWorkOrder->trigger();
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, "你的權限無法使用該項功能!");
    EXPECT_FALSE(std::filesystem::exists(db.folder() + "QTMVTMP.TXT"));
}

TEST_F(MainWindowTest, ProductionRightsPosition14HidesTheValueTable)
{
    CurrentSession().ProductionRights = "00000000000001";
    auto w = open();
    EXPECT_FALSE(w->toolbars().actPrint->isVisible());
    EXPECT_FALSE(w->toolbars().actPrint1->isVisible());

    // An administrator is never restricted.
    CurrentSession().LoginUser = "王大明";
    auto admin = open();
    EXPECT_TRUE(admin->toolbars().actPrint->isVisible());
}

TEST_F(MainWindowTest, CompanyRulesForBindingColumnsAndScheduleAmounts)
{
    CurrentSession().CompanyName = "聿禾彩色印刷";
    auto w = open();
    SpreadGrid* binding = w->grid(*KindByLetter('J'));
    for (int col = 16; col <= 19; ++col)
        EXPECT_TRUE(binding->colHidden(col)) << col;
    EXPECT_FALSE(binding->colHidden(20));
    EXPECT_FALSE(w->printPage().chk預排表印金額->isChecked());

    CurrentSession().CompanyName = "岱恆紙器";
    auto other = open();
    EXPECT_FALSE(other->grid(*KindByLetter('J'))->colHidden(16));
    EXPECT_TRUE(other->printPage().chk預排表印金額->isChecked());
}

TEST_F(MainWindowTest, QueryPutsTheGridOnTheWorkOrderOrSaysItIsMissing)
{
    auto w = open();
    load(*w, "D-印刷");
    auto query = [&](const std::function<void(frm工務預排明細查詢&)>& drive) {
        EXPECT_TRUE(DriveModal<frm工務預排明細查詢>([&] { w->toolbars().actQuery->trigger(); }, drive));
    };
    auto type = [](const char* number) {
        return [number](frm工務預排明細查詢& dlg) {
            QTest::keyClicks(dlg.txt訂單單號, number);
            QTest::keyClick(dlg.txt訂單單號, Qt::Key_Return);
        };
    };
    query(type("p0d2"));
    EXPECT_EQ(gQueryOrderNo, "P0D2");
    SpreadGrid* g = w->currentGrid();
    EXPECT_EQ(g->activeRow(), 2);
    EXPECT_EQ(g->activeCol(), 2);   // then on as after Enter
    EXPECT_TRUE(messages.shown().empty());

    query(type("zz9"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "找不到工單單號： ZZ9");

    // Cancel leaves everything as it was.
    g->setActiveCell(1, 3);
    query([](frm工務預排明細查詢& dlg) { dlg.scmd取消->click(); });
    EXPECT_FALSE(gReturned);
    EXPECT_EQ(g->activeCol(), 3);
}

TEST_F(MainWindowTest, ChangeDieButtonPicksARegisteredDieIntoTheRow)
{
    auto w = open();
    load(*w, "G-軋工");
    const ProcessKind& cutting = *KindByLetter('G');
    ASSERT_EQ(w->loadedRecords(cutting), 1);
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
}

TEST_F(MainWindowTest, AHandlerThatFailsLeavesTheWindowUsable)
{
    // A clock that fails the way a broken library might: not a data-access error.
    struct BrokenClock : Clock {
        DateTime now() const override { throw std::out_of_range("clock"); }
    } broken;
    FixedClock good({2024, 12, 4, 14, 5, 0});
    auto w = open();
    load(*w, "D-印刷");
    SpreadGrid* g = w->currentGrid();
    w->setClock(broken);
    clickCell(*g, 1, pl.finishDateCol);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text.rfind("程式發生未預期的錯誤。", 0), 0u);
    EXPECT_FALSE(w->changeFlags(printing).isFlagged(1, pl.finishDateCol));

    // Still enabled, not busy: the next click stamps.
    w->setClock(good);
    EXPECT_TRUE(w->isEnabled());
    EXPECT_FALSE(w->recordSide().busy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    clickCell(*g, 1, pl.finishDateCol);
    EXPECT_EQ(g->text(1, pl.finishDateCol), "1204-14");
}

TEST_F(MainWindowTest, BindingRowsOfferTheirBindingInstructions)
{
    auto w = open();
    daily::RecordFilters& f = w->filters();
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

TEST_F(MainWindowTest, MaintenanceLockEndsTheProgramBeforeLoading)
{
    auto w = open();
    db.exec("insert into SYSLOCK ([USER]) values ('PC9\\ADMIN')");
    w->filters().scmd顯示資料->click();
    EXPECT_TRUE(ended);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].title, "系統維護");
    EXPECT_EQ(w->loadedRecords(printing), 0);
}

TEST_F(MainWindowTest, ADatabaseThatCannotBeReachedIsToldOnceByNameAndTypedWorkStays)
{
    auto w = open();
    load(*w, "D-印刷", "二號機");
    const std::string away = db.path() + ".away";
    ASSERT_EQ(std::rename(db.path().c_str(), away.c_str()), 0);   // the share is gone
    auto toldOnce = [&] {
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].title, kUnreachableDatabaseTitle);
        EXPECT_NE(messages.shown()[0].text.find(db.path()), std::string::npos);
        messages.clear();
    };
    messages.clear();
    w->toolbars().actRefresh->trigger();   // "刷新"
    toldOnce();
    EXPECT_EQ(w->loadedRecords(printing), 1);

    // F8 says the same once, before any question; the stamp stays pending.
    SpreadGrid* g = w->currentGrid();
    g->setActiveCell(1, pl.finishDateCol);
    QTest::keyClick(g->tableView(), Qt::Key_Space);
    QTest::keyClick(g->tableView(), Qt::Key_F8);
    toldOnce();
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 1);
    ASSERT_EQ(std::rename(away.c_str(), db.path().c_str()), 0);
}

TEST_F(MainWindowTest, ClockShowsTheTimeAndFlashesOnTheFullHour)
{
    // The ticks are driven by hand on a fixed clock: no waiting on timers.
    FixedClock clock({2024, 12, 4, 15, 0, 0});
    auto w = std::make_unique<frm日報登錄作業_工單>();
    w->setClock(clock);
    w->show();
    daily::StatusClock& c = w->statusClock();
    c.Timer1[0]->stop();
    c.Timer1[1]->stop();
    c.tick();
    EXPECT_EQ(c.lbl系統時間->text(), QStringLiteral("03 : 00"));
    ASSERT_TRUE(c.Timer1[1]->isActive());   // the full hour starts the flash
    for (int i = 0; i < 7 && c.Timer1[1]->isActive(); ++i)
        c.flashTick();
    EXPECT_FALSE(c.Timer1[1]->isActive());
    EXPECT_FALSE(c.lbl系統時間->isVisible());   // the flash ends hidden
    clock.set({2024, 12, 4, 15, 1, 0});
    c.tick();                                  // the next second shows it again
    EXPECT_TRUE(c.lbl系統時間->isVisible());
    EXPECT_EQ(c.lbl系統時間->text(), QStringLiteral("03 : 01"));
}

TEST_F(MainWindowTest, StoredVendorPrintOptionsAreTickedOnTheFirstActivation)
{
    db.exec("insert into SYSDB (PNAME, CODE) values ('工務預排', '1101010')");
    auto w = open();
    auto ticked = [&](const char* name) {
        const auto* c = w->findChild<QCheckBox*>(QString::fromUtf8(name));
        EXPECT_NE(c, nullptr) << name;
        return c && c->isChecked();
    };
    for (const auto& [name, on] : {std::pair{"chk單筆不印公司名稱", true}, {"chk單筆不印業務員", true},
                                   {"chk預排表不印金額", false}, {"chk單筆不印客戶", true},
                                   {"chk單筆不印品名", false}, {"chk單筆不印金額", true}})
        EXPECT_EQ(ticked(name), on) << name;
    // The downstream vendor windows start from them.
    const vendors::VendorRequest r = w->recordSide().vendorRequest(w->page(KindOf(kDefaultKind)), 1);
    EXPECT_EQ(vendors::OptionsCode(r.mainOptions, r.options), "1101010");
}

// The vendor window opened from a row starts from the print page's options,
// and the options it stores are ticked there for the next one.
TEST_F(MainWindowTest, VendorWindowStartsFromThePrintOptionsAndTheStoredOnesAreTicked)
{
    auto w = open();
    load(*w, "E-上光");
    const ProcessKind& varnishing = *KindByLetter('E');
    ASSERT_EQ(w->loadedRecords(varnishing), 1);
    auto box = [&](const char* name) { return w->printPage().findChild<QCheckBox*>(QString::fromUtf8(name)); };
    box("chk單筆不印客戶")->setChecked(true);
    box("chk單筆不印業務員")->setChecked(true);

    QTableView* v = w->grid(varnishing)->tableView();
    const int col = w->page(varnishing).layout().column("單筆");
    ASSERT_GT(col, 0);
    const QPoint cell = v->visualRect(v->model()->index(0, col - 1)).center();
    bool startedTicked = false;
    EXPECT_TRUE(DriveModal<frm下游廠商>(
        [&] { QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell); },
        [&](frm下游廠商& d) {
            startedTicked = d.chk不印客戶->isChecked() && !d.chk不印金額->isChecked();
            QTest::mouseClick(d.chk不印客戶, Qt::LeftButton);
            QTest::mouseClick(d.chk不印金額, Qt::LeftButton);
            QTest::mouseClick(d.scmd確定, Qt::LeftButton);
        }));
    EXPECT_TRUE(startedTicked);
    EXPECT_EQ(db.value("select CODE from SYSDB where PNAME = '工務預排'"), "0100010");
    EXPECT_FALSE(box("chk單筆不印客戶")->isChecked());
    EXPECT_TRUE(box("chk單筆不印金額")->isChecked());
    EXPECT_TRUE(box("chk單筆不印業務員")->isChecked());
}

// --- The clerk's day: typed work kept, checked and reachable by keys -----------------

TEST_F(MainWindowTest, TypedCellsAreSettledBeforeALoadASortAKindSwitchOrLeaving)
{
    auto w = open();
    load(*w, "D-印刷", "二號機");
    SpreadGrid* g = w->currentGrid();
    TypeInto(*g, 1, pl.finishRemarkCol, "ok");

    // Cancel stays, whichever way the typed cell was to be thrown away.
    messages.setDefaultAnswer(MsgAnswer::Cancel);
    QTest::keyClick(w.get(), Qt::Key_O, Qt::AltModifier);                  // "確 定"
    QTest::mouseClick(w->filters().opt排序方式[3], Qt::LeftButton);        // a sort option
    w->toolbars().actRefresh->trigger();                                    // "刷新"
    w->filters().cbo種類->setFocus();
    QTest::keyClick(w->filters().cbo種類, Qt::Key_Down);                    // another kind
    QTest::keyClick(g->tableView(), Qt::Key_Escape);                        // leaving
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
    QTest::keyClick(g->tableView(), Qt::Key_Escape);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, "確定離開日報登錄作業嗎？");
    EXPECT_EQ(messages.shown()[1].defaultAnswer, MsgAnswer::No);
    EXPECT_TRUE(w->isVisible());

    // Yes saves first and then loads: the text is in the database.
    messages.clear();
    messages.setDefaultAnswer(MsgAnswer::Yes);
    QTest::keyClick(w.get(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(db.value("select 完工說明 from PRINTING_S where ID = '1131201001' and INO = 4"), "ok");
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 0);
}

TEST_F(MainWindowTest, PendingCellsAreColouredCountedUndoneAndClearedBySaving)
{
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    auto w = open();
    w->setClock(clock);
    load(*w, "D-印刷", "二號機");
    SpreadGrid* g = w->currentGrid();
    const int date = pl.finishDateCol, remark = pl.finishRemarkCol;
    const QColor plain = Background(*g, 1, date);

    g->setActiveCell(1, date);
    QTest::keyClick(g->tableView(), Qt::Key_Space);   // the finish stamp from the keyboard
    EXPECT_EQ(g->text(1, date), "1204-14");
    TypeInto(*g, 1, remark, "ok");
    EXPECT_NE(Background(*g, 1, date), plain);
    EXPECT_EQ(Background(*g, 1, remark), Background(*g, 1, date));
    EXPECT_EQ(w->lbl未儲存->text(), QStringLiteral("未儲存 2 格"));
    EXPECT_TRUE(w->lbl未儲存->isVisible());
    g->setActiveCell(1, date);
    QTest::keyClick(g->tableView(), Qt::Key_Delete);

    // Ctrl+Z takes the steps back one by one, flags included.
    QTest::keyClick(g->tableView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(g->text(1, date), "1204-14");
    QTest::keyClick(g->tableView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(g->text(1, remark), "");
    EXPECT_FALSE(w->changeFlags(printing).isFlagged(1, remark));
    QTest::keyClick(g->tableView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(g->text(1, date), "");
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 0);
    EXPECT_EQ(Background(*g, 1, date), plain);
    EXPECT_FALSE(w->lbl未儲存->isVisible());

    // F4 stamps too; a save takes the colour away and leaves nothing to undo.
    g->setActiveCell(1, date);
    QTest::keyClick(g->tableView(), Qt::Key_F4);
    QTest::keyClick(g->tableView(), Qt::Key_F8);
    EXPECT_EQ(db.value("select FDATE from PRINTING_S where ID = '1131201001' and INO = 4"), "1204-14");
    EXPECT_EQ(Background(*g, 1, date), plain);
    EXPECT_FALSE(w->lbl未儲存->isVisible());
    QTest::keyClick(g->tableView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(g->text(1, date), "1204-14");

    // F8 with nothing flagged says so and asks nothing.
    messages.clear();
    QTest::keyClick(g->tableView(), Qt::Key_F8);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "沒有需要儲存的資料。");
}

TEST_F(MainWindowTest, EntriesAreCheckedAndTheLengthShowsWhileTyping)
{
    auto w = open();
    load(*w, "D-印刷", "二號機");
    SpreadGrid* g = w->currentGrid();

    // A letter in "數量" is dropped and flags nothing.
    const int qty = pl.column("數量");
    const std::string before = g->text(1, qty);
    g->setActiveCell(1, qty);
    QTest::keyClick(g->tableView(), Qt::Key_A);
    EXPECT_EQ(g->text(1, qty), before);
    EXPECT_FALSE(w->changeFlags(printing).isFlagged(1, qty));
    // Delete on "完工日" clears and flags.
    g->setText(1, pl.finishDateCol, "1204-09");
    g->setActiveCell(1, pl.finishDateCol);
    QTest::keyClick(g->tableView(), Qt::Key_Delete);
    EXPECT_EQ(g->text(1, pl.finishDateCol), "");
    EXPECT_TRUE(w->changeFlags(printing).isFlagged(1, pl.finishDateCol));

    // "完工日" refuses an impossible day with a message.
    TypeInto(*g, 1, pl.finishDateCol, "0230-10");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find("完工日"), std::string::npos);
    EXPECT_EQ(g->text(1, pl.finishDateCol), "");

    // The printing "完工說明" holds 50 bytes: the count shows while typing,
    // and what a cut takes off is said.
    g->setActiveCell(1, pl.finishRemarkCol);
    QTest::keyClick(g->tableView(), Qt::Key_A);
    EXPECT_NE(w->lbl輸入提示->text().indexOf(QStringLiteral("1/50")), -1) << w->lbl輸入提示->text().toStdString();
    QTest::keyClicks(QApplication::focusWidget(), QString(50, QLatin1Char('b')) + QStringLiteral("cd"));
    messages.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "最多只可輸入50個字元!");
    EXPECT_EQ(g->text(1, pl.finishRemarkCol), "a" + std::string(49, 'b'));
    EXPECT_NE(w->lbl輸入提示->text().indexOf(QStringLiteral("「bcd」")), -1) << w->lbl輸入提示->text().toStdString();
    QTest::qWait(0);
    EXPECT_EQ(g->activeCol(), pl.finishRemarkCol);   // back on the cut cell

    // The date box takes a real seven-digit date only.
    messages.clear();
    w->filters().txt預排日期->setText(QStringLiteral("1131302"));
    QTest::keyClick(w.get(), Qt::Key_O, Qt::AltModifier);
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().back().text, "日期錯誤，請輸入七碼的年月日，例如 1131204!");
    EXPECT_EQ(g->text(1, pl.finishRemarkCol), "a" + std::string(49, 'b'));   // not reloaded
}

TEST_F(MainWindowTest, KeyboardLeavesTheGridPressesButtonsAndReachesTheFilters)
{
    auto w = open();
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

    QTest::keyClick(g->tableView(), Qt::Key_Tab, Qt::ControlModifier);
    QWidget* next = QApplication::focusWidget();
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(g->isAncestorOf(next));
    g->setFocus();
    QTest::keyClick(g->tableView(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QWidget* previous = QApplication::focusWidget();
    ASSERT_NE(previous, nullptr);
    EXPECT_FALSE(g->isAncestorOf(previous));
    EXPECT_NE(previous, next);
}

TEST_F(MainWindowTest, APressTheKindLacksStartsEmpty)
{
    db.exec("update EMPLOYEE set 車別 = '一號機' where ID = 'A001'");
    auto w = open();
    EXPECT_EQ(w->filters().cbo車別->currentText(), QStringLiteral("一號機"));
    // The die-cutting kind has no "一號機": its press box starts empty.
    choose(*w, "G-軋工");
    EXPECT_EQ(w->filters().cbo車別->currentText(), QString());
    w->filters().scmd顯示資料->click();
    EXPECT_EQ(w->loadedRecords(*KindByLetter('G')), 1);
}

TEST_F(MainWindowTest, WithoutADatabaseTheStatusBarAndEveryOperationSaySo)
{
    std::filesystem::remove(db.path());
    auto w = open();
    EXPECT_TRUE(messages.shown().empty());   // start-up said it already
    EXPECT_TRUE(w->lblDatabasePath->text().startsWith(QStringLiteral("沒有開啟資料庫")));
    QTest::keyClick(w.get(), Qt::Key_O, Qt::AltModifier);
    w->toolbars().actQuery->trigger();
    w->toolbars().actWorkOrder->trigger();
    ASSERT_EQ(messages.shown().size(), 3u);
    for (const auto& m : messages.shown())
        EXPECT_EQ(m.text.rfind("沒有開啟資料庫，本作業沒有執行。", 0), 0u) << m.text;
}

TEST_F(MainWindowTest, EntryViewWidthsAndLargeFontAreRememberedPerUserAndKind)
{
    const int paper = pl.column("紙品"), front = pl.column("正");
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
    }
    // The next start: printing in the entry view with the dragged width,
    // die-cutting still in the full layout, the larger font kept.
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

    // Another employee on the same workstation has his own settings.
    CurrentSession().EmployeeId = "B002";
    auto other = open();
    EXPECT_FALSE(other->grid(printing)->colHidden(paper));
}

TEST_F(MainWindowTest, ACutShortLaunchLineSaysQueryOnlyAndRefusesEveryEditGesture)
{
    Session& s = CurrentSession();
    s.IdentityEstablished = s.RightsEstablished = false;
    s.RightsProblem = "啟動參數不完整，無法確認使用者身分。";
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    auto w = open();
    w->setClock(clock);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("日報登錄作業 - 僅可查詢"));
    EXPECT_TRUE(w->lbl僅可查詢->isVisible());
    EXPECT_EQ(w->lbl僅可查詢->text(), QStringLiteral("僅可查詢"));
    EXPECT_TRUE(w->lbl僅可查詢->toolTip().contains(QStringLiteral("啟動參數不完整")));

    // Looking still works.
    load(*w, "D-印刷", "二號機");
    ASSERT_EQ(w->loadedRecords(printing), 1);
    EXPECT_TRUE(messages.shown().empty());
    SpreadGrid* g = w->currentGrid();
    const int date = pl.finishDateCol, remark = pl.finishRemarkCol;
    const std::string dateBefore = g->text(1, date), remarkBefore = g->text(1, remark);

    // A click that would stamp the finish date: one message with the reason.
    clickCell(*g, 1, date);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_NE(messages.shown()[0].text.find("啟動參數不完整"), std::string::npos) << messages.shown()[0].text;
    EXPECT_NE(messages.shown()[0].text.find("本次執行僅可查詢"), std::string::npos) << messages.shown()[0].text;
    EXPECT_EQ(g->text(1, date), dateBefore);

    // A key typed into a text cell: no editor, no text, one message.
    messages.clear();
    g->setFocus();
    g->setActiveCell(1, remark);
    QTest::keyClick(g->tableView(), Qt::Key_A);
    EXPECT_FALSE(g->isEditing());
    EXPECT_EQ(g->text(1, remark), remarkBefore);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "您的權限僅可以查詢！");

    // A double click that would open the editor, Space (the keyboard's
    // finish stamp) and Delete of a cell with text: each told once, nothing
    // changed.
    messages.clear();
    QTableView* v = g->tableView();
    // As the system sends a double click: a click, then the second press.
    const QPoint remarkCell = v->visualRect(v->model()->index(0, remark - 1)).center();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, remarkCell);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, remarkCell);
    EXPECT_FALSE(g->isEditing());
    EXPECT_EQ(messages.shown().size(), 1u);
    messages.clear();
    g->setActiveCell(1, date);
    QTest::keyClick(v, Qt::Key_Space);
    EXPECT_EQ(messages.shown().size(), 1u);
    g->setText(1, remark, "x");
    messages.clear();
    g->setActiveCell(1, remark);
    QTest::keyClick(g->tableView(), Qt::Key_Delete);
    EXPECT_EQ(g->text(1, remark), "x");
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(g->text(1, date), dateBefore);
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 0);
    EXPECT_FALSE(w->lbl未儲存->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("日報登錄作業 - 僅可查詢"));

    // Once the user is known and the rights row is found, the next gesture
    // goes through and the window stops saying "僅可查詢".
    db.exec("insert into 使用者資料明細 (使用者, 工單作業細部, 生產管理細部) values ('王大明', '1111111111', "
            "'00000000000000000000')");
    s.IdentityEstablished = true;
    messages.clear();
    clickCell(*g, 1, date);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(g->text(1, date), "1204-14");
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("日報登錄作業"));
    EXPECT_FALSE(w->lbl僅可查詢->isVisible());
}

TEST_F(MainWindowTest, AQueryOnlyUserIsMarkedFromTheStartAndAFullUserIsNot)
{
    {
        auto w = open();
        EXPECT_EQ(w->windowTitle(), QStringLiteral("日報登錄作業"));
        EXPECT_FALSE(w->lbl僅可查詢->isVisible());
    }
    CurrentSession().ProductionRights = "00000000000100000000";   // "1" at 12: query only
    auto w = open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("日報登錄作業 - 僅可查詢"));
    EXPECT_TRUE(w->lbl僅可查詢->isVisible());
    EXPECT_EQ(w->lbl僅可查詢->toolTip(), QStringLiteral("您的權限僅可以查詢！"));
    load(*w, "D-印刷", "二號機");
    SpreadGrid* g = w->currentGrid();
    const std::string before = g->text(1, pl.finishDateCol);
    clickCell(*g, 1, pl.finishDateCol);
    EXPECT_EQ(g->text(1, pl.finishDateCol), before);
    EXPECT_EQ(w->changeFlags(printing).flaggedCount(), 0);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "您的權限僅可以查詢！");
}

TEST_F(MainWindowTest, AtThePlantsScreenSizeEveryEntryViewFitsAndNoHeadingIsCut)
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
    auto headingsWhole = [](SpreadGrid& g, const daily::GridLayout& l, const std::string& where) {
        const QHeaderView* header = g.tableView()->horizontalHeader();
        const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        const QFontMetrics metrics(g.font());
        for (int col = 1; col <= l.columnCount(); ++col) {
            if (g.colHidden(col))
                continue;
            for (const QString& line : QString::fromStdString(l.heading(col)).split(QLatin1Char('\n')))
                EXPECT_LE(metrics.horizontalAdvance(line) + margins, g.colWidth(col)) << where << " " << l.heading(col);
        }
    };
    for (const bool large : {false, true}) {
        if (large)
            click(w->toolbars().actLargeFont);
        ASSERT_EQ(w->toolbars().actLargeFont->isChecked(), large);
        for (const auto& k : ProcessKinds()) {
            const std::string where = std::string(k.displayName) + (large ? " 大字" : "");
            load(*w, std::string(k.displayName).c_str());
            SpreadGrid* g = w->currentGrid();
            const daily::GridLayout& l = daily::GridLayoutOf(k);
            if (w->toolbars().actEntryView->isChecked())
                click(w->toolbars().actEntryView);
            ASSERT_FALSE(w->toolbars().actEntryView->isChecked()) << where;
            headingsWhole(*g, l, where + " 全部欄位");
            // The full layout is wider than the window: the scroll bar says so.
            EXPECT_GT(g->tableView()->horizontalScrollBar()->maximum(), 0) << where;

            click(w->toolbars().actEntryView);
            ASSERT_TRUE(w->toolbars().actEntryView->isChecked()) << where;
            EXPECT_EQ(g->tableView()->horizontalScrollBar()->maximum(), 0) << where << " 輸入檢視";
            headingsWhole(*g, l, where + " 輸入檢視");
        }
    }
}

TEST_F(MainWindowTest, TheWriteBackButtonAppearsWithoutMovingTheControlsAroundIt)
{
    auto w = open();
    choose(*w, "G-軋工");   // 變更刀號 stands beside the button
    daily::RecordFilters& f = w->filters();
    ASSERT_FALSE(f.pic回存工單->isVisible());
    const std::vector<QWidget*> around{f.cbo種類, f.scmd顯示資料, f.scmd刀模輔助, f.fra排序方式,
                                       w->recordSide().stack(), &w->details()};
    auto places = [&] {
        QApplication::processEvents();   // pending layout requests
        std::vector<std::string> r;
        for (QWidget* x : around)
            r.push_back(PlaceOf(x));
        return r;
    };
    const std::vector<std::string> before = places();

    QTest::mouseClick(f.scmd顯示資料, Qt::LeftButton);
    ASSERT_EQ(w->loadedRecords(*KindByLetter('G')), 1);
    ASSERT_TRUE(f.pic回存工單->isVisible());   // the first row is current
    const std::vector<std::string> after = places();
    for (std::size_t i = 0; i < around.size(); ++i)
        EXPECT_EQ(after[i], before[i]) << around[i]->objectName().toStdString();
}

TEST_F(MainWindowTest, SizePlaceAndMaximisedStateAreRememberedPerUser)
{
    const QRect dragged(60, 40, 1100, 820);
    {
        auto w = open();
        EXPECT_EQ(w->size(), QSize(1024, 720));   // the first start: the default size
        w->setGeometry(dragged);                  // as the user drags the window's edges
        messages.answer(MsgAnswer::Yes);
        w->close();
    }
    {
        auto w = open();
        EXPECT_FALSE(w->isMaximized());
        EXPECT_EQ(w->geometry(), dragged);
        w->showMaximized();
        messages.answer(MsgAnswer::Yes);
        w->close();
    }
    auto w = open();
    EXPECT_TRUE(w->isMaximized());
    // Back from maximised, the window goes where it was before.
    EXPECT_EQ(w->normalGeometry(), dragged);

    // Another employee on the same workstation starts from the default.
    CurrentSession().EmployeeId = "B002";
    auto other = open();
    EXPECT_FALSE(other->isMaximized());
    EXPECT_EQ(other->size(), QSize(1024, 720));
}

