// The lookup windows driven as the shop floor drives them, with keys and
// the mouse, on the demo plant: what the caller finds in gPick afterwards.
#include "app/core/Session.h"
#include "common/HandOver.h"
#include "db/testing/FreshDatabase.h"
#include "lookups/ui/DieLookup.h"
#include "lookups/ui/PeopleLookups.h"
#include "lookups/ui/VendorLookups.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/SpreadGrid.h"
#include "platform/ui/tests/TestApp.h"
#include "platform/ui/tests/TypeKeys.h"
#include "tools/demo-db/DemoPlant.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>

using namespace qtmv;
using qtmv::lookups::LookupWindow;
using Codes = std::vector<std::string>;

namespace {

// One demo plant for the whole program: the lookups only read it.
db::test::FreshDatabase& DemoPlant()
{
    static db::test::FreshDatabase plant([](const std::string& path) {
        demo::DemoOptions o;
        o.workOrders = 60;
        demo::WriteDemoPlant(path, o);
    });
    return plant;
}

// Shows the window modally as its caller does and runs drive() once it is
// active; a window drive() left open is a failure (and is closed).
int RunModal(QDialog& w, const std::function<void()>& drive)
{
    QTimer::singleShot(0, &w, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        drive();
        if (w.isVisible()) {
            ADD_FAILURE() << "the lookup is still open";
            w.reject();
        }
    });
    return w.exec();
}

// Types into the filter box (Chinese through the input path the offscreen
// platform accepts) and presses Enter.
void Search(LookupWindow& w, const QString& text)
{
    w.txt篩選->selectAll();
    QTest::keyClick(w.txt篩選, Qt::Key_Backspace);
    qtmv::test::TypeKeys(w.txt篩選, text);
    QTest::keyClick(w.txt篩選, Qt::Key_Return);
}

Codes Listed(const LookupWindow& w, int col = 1)
{
    Codes out;
    for (int r = 1; r <= w.listedRows(); ++r)
        out.push_back(w.MSHFlexGrid1->text(r, col));
    return out;
}

void RightClickRow(LookupWindow& w, int row)
{
    QTableView* v = w.MSHFlexGrid1->tableView();
    QTest::mouseClick(v->viewport(), Qt::RightButton, {}, v->visualRect(v->model()->index(row - 1, 0)).center());
}

void Press(LookupWindow& w, Qt::Key key) { QTest::keyClick(w.MSHFlexGrid1->tableView(), key); }

class LookupWindows : public ::testing::Test, qtmv::test::WithApp {
protected:
    LookupWindows()
    {
        Session& s = CurrentSession();
        s = plant.session();
        s.LoginUser = "王大明";
        gLookupKind = gLookupFilter = gLookupContext = gLookupStaffGroup = "";
        gReturned = false;
        gPick.fill("stale");   // a lookup must never report an earlier pick
    }

    db::test::FreshDatabase& plant = DemoPlant();
    ScriptedMessages messages;
};

} // namespace

// A search sets the filter and Down, Enter hand the whole row over; a filter
// only a disabled vendor has lists the kind (the box emptied, the text told)
// and Esc hands nothing.
TEST_F(LookupWindows, Vendor1HandsTheWholePickedRowOverFallsBackToTheKindAndRightClickPicksARow)
{
    gLookupKind = "印刷";
    frm廠商輔助畫面1 w;
    EXPECT_EQ(RunModal(w, [&] {
                  Search(w, QStringLiteral("金龍"));
                  EXPECT_EQ(gLookupFilter, "金龍");
                  QTest::keyClick(w.txt篩選, Qt::Key_Down);
                  Press(w, Qt::Key_Return);
              }),
              QDialog::Accepted);
    EXPECT_EQ((Codes{gPick[0], gPick[1], gPick[2], gPick[8], gPick[9]}),
              (Codes{"V008", "金龍彩印", "5", "月結60天", ""}));   // hidden columns travel too

    gLookupKind = "紙品";
    gLookupFilter = "舊城";   // only the disabled V024 has it
    frm廠商輔助畫面1 paper;
    EXPECT_EQ(RunModal(paper, [&] {
                  // The kind's list instead (its rows: LookupQueriesTest, and as
                  // listed: the all-kinds case below).
                  EXPECT_EQ(paper.txt篩選->text(), QString());
                  EXPECT_TRUE(paper.StatusBar1->currentMessage().contains(QStringLiteral("舊城")));
                  QTest::keyClick(paper.txt篩選, Qt::Key_Escape);
              }),
              QDialog::Rejected);
    EXPECT_EQ(gPick[0], "");

    // A right click picks the row under the pointer, not the heading.
    gLookupFilter = "";
    gLookupKind = "印刷";
    gLookupContext = "設備";
    frm廠商輔助畫面1 machines;
    RunModal(machines, [&] {
        QHeaderView* header = machines.MSHFlexGrid1->tableView()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::RightButton, {}, QPoint(20, header->height() / 2));
        QWidget* below = machines.MSHFlexGrid1->tableView()->viewport();
        QTest::mouseClick(below, Qt::RightButton, {}, QPoint(20, below->height() - 3));
        EXPECT_TRUE(machines.isVisible());
        // Machines only, for the equipment context.
        machines.chk只秀設備->setFocus();
        QTest::keyClick(machines.chk只秀設備, Qt::Key_Space);
        EXPECT_EQ(Listed(machines), (Codes{"M01", "M02", "M03", "M04"}));
        RightClickRow(machines, 3);
    });
    EXPECT_EQ(gPick[0], "M03");
}

TEST_F(LookupWindows, Vendor1AllKindsKeepsTheRowAcrossSearchesAndScrollsThreeRowsANotch)
{
    gLookupKind = "所有廠商";
    frm廠商輔助畫面1 w;
    RunModal(w, [&] {
        EXPECT_EQ(w.listedRows(), plant.count("select * from VENDER where ifnull(停用, '') in ('0', '')"));
        QTest::keyClick(w.txt篩選, Qt::Key_Down);
        for (int i = 0; i < 4; ++i)
            Press(w, Qt::Key_Down);
        w.scmd確定->click();
        EXPECT_EQ(w.MSHFlexGrid1->activeRow(), 5);
        EXPECT_EQ(w.MSHFlexGrid1->highlightedRow(), 5);

        QTableView* view = w.MSHFlexGrid1->tableView();
        QWheelEvent notch(QPointF(30, 30), view->viewport()->mapToGlobal(QPointF(30, 30)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &notch);
        EXPECT_EQ(view->rowAt(0), 3);
        QApplication::sendEvent(view->viewport(), &notch);
        EXPECT_EQ(view->rowAt(0), 6);

        // G-軋工 in the kind combo: three vendors, so the last row is current.
        w.cbo種類->setFocus();
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(w.cbo種類, Qt::Key_Down);
        EXPECT_EQ(w.MSHFlexGrid1->activeRow(), 3);
        // A text no G-軋工 vendor has: the kind's whole list, the text kept.
        Search(w, QStringLiteral("金龍"));
        EXPECT_EQ(Listed(w), (Codes{"M08", "M09", "V012"}));
        EXPECT_EQ(w.txt篩選->text(), QStringLiteral("金龍"));
        // Letters go in upper case; a click into the box selects it all.
        Search(w, QStringLiteral("v01"));
        QTest::mouseClick(w.txt篩選, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::qWait(1);
        EXPECT_EQ(w.txt篩選->selectedText(), QStringLiteral("V01"));
        QTest::keyClick(w.cbo種類, Qt::Key_Escape);
    });
}

TEST_F(LookupWindows, Vendor3ChoosesItsOwnKindShowsDisabledVendorsAndHasNoFallback)
{
    gLookupFilter = "宏達";   // not taken by this window
    frm廠商輔助畫面3 w;
    RunModal(w, [&] {
        EXPECT_EQ(w.txt篩選->text(), QString());
        EXPECT_EQ(Listed(w), (Codes{"M15", "V002", "V003", "V025"}));   // B-製版; V025 is disabled
        w.cbo種類->setFocus();
        QTest::keyClick(w.cbo種類, Qt::Key_Down);
        EXPECT_EQ(gLookupKind, "D-印刷");
        Search(w, QStringLiteral("沒有這家"));
        Press(w, Qt::Key_Return);   // nothing listed, nothing to pick
        EXPECT_TRUE(w.isVisible());
        Search(w, QStringLiteral("老字號"));
        RightClickRow(w, 1);
    });
    EXPECT_EQ((Codes{gPick[0], gPick[7], gPick[8]}),
              (Codes{"V023", plant.value("select ADD1 from VENDER where ID = 'V023'"), ""}));
}

TEST_F(LookupWindows, EmployeeLookupsListTheirStaffButNobodyWhoLeftAndTheCustomerLookupFollowsTheUser)
{
    frm業務員輔助視窗1 usual;
    RunModal(usual, [&] { Search(usual, QStringLiteral("陳志明")); Press(usual, Qt::Key_Return); });
    EXPECT_EQ((Codes{gPick[0], gPick[1], gPick[2], gPick[3]}), (Codes{"A002", "陳志明", "A010", "楊文雄"}));

    gLookupStaffGroup = "Y";
    gLookupFilter = "鍾志強";   // a driver who left: the delivery staff without the filter
    frm業務員輔助視窗 delivery;
    RunModal(delivery, [&] { RightClickRow(delivery, 3); });
    EXPECT_EQ(gPick[1], "孫國華");

    // Which customers a restricted user sees is the query test's; here the
    // session reaches the query and a picked row reaches the caller.
    gLookupStaffGroup = gLookupFilter = "";
    CurrentSession().LoginUser.clear();
    CurrentSession().EmployeeId = "A002";
    CurrentSession().RightsEstablished = true;
    CurrentSession().ProductionRights = "000000000000001";
    const std::string own = plant.value("select min(ID) from CUST where EMPNO = 'A002' and 停用 <> '1'");
    frm客戶輔助視窗 w;
    RunModal(w, [&] {
        EXPECT_LT(w.listedRows(), plant.count("select * from CUST where ifnull(停用, '') in ('0', '')"));
        const Codes all = Listed(w);
        RightClickRow(w, static_cast<int>(std::find(all.begin(), all.end(), own) - all.begin()) + 1);
    });
    EXPECT_EQ((Codes{gPick[0], gPick[2], gPick[3]}), (Codes{own, "A002", "陳志明"}));
}

// A valid die picked through the main window's cell: MainWindowTest.
TEST_F(LookupWindows, DieLookupAsksBeforeAVoidDieAndFiltersByACustomerPickedInTheCustomerLookup)
{
    const std::string voided = plant.value("select 刀模代號 from 刀模管理資料 where 作廢 = 'Y' order by 序 desc limit 1");
    gLookupFilter = voided;
    gReturned = true;   // left by an earlier pick
    frm刀模輔助視窗 w;
    messages.answer(MsgAnswer::No);
    RunModal(w, [&] {
        // Only the void die has the code: every valid die instead.
        EXPECT_EQ(w.listedRows(), plant.count("select * from 刀模管理資料 where 作廢 <> 'Y'"));
        w.chk含作廢->setFocus();
        QTest::keyClick(w.chk含作廢, Qt::Key_Space);
        Search(w, QString::fromStdString(voided));
        ASSERT_EQ(Listed(w), Codes{voided});
        Press(w, Qt::Key_Return);
        EXPECT_EQ(messages.shown().at(0).title, "詢問");
        EXPECT_TRUE(w.isVisible());
        QTest::keyClick(w.txt篩選, Qt::Key_Escape);
    });
    EXPECT_FALSE(gReturned);
    EXPECT_EQ(gPick[0], "");

    // A customer picked in the customer lookup filters the dies.
    gLookupFilter = "";
    gPick.fill("stale");
    const std::string customer = plant.value(
        "select 客戶代號 from 刀模管理資料 where 作廢 <> 'Y' group by 客戶代號 order by count(*) desc limit 1");
    frm刀模輔助視窗 dies;
    RunModal(dies, [&] {
        const int all = dies.listedRows();
        QTimer::singleShot(0, &dies, [&] {
            auto* nested = dynamic_cast<frm客戶輔助視窗*>(QApplication::activeModalWidget());
            ASSERT_NE(nested, nullptr);
            Search(*nested, QString::fromStdString(customer));
            QTest::keyClick(nested->txt篩選, Qt::Key_Down);
            Press(*nested, Qt::Key_Return);
        });
        dies.scmd客戶->click();
        EXPECT_EQ(dies.txt客戶代號->text().toStdString(), customer);
        EXPECT_EQ(dies.lbl客戶簡稱->text().toStdString(), plant.value("select SNAME from CUST where ID = '" + customer + "'"));
        EXPECT_LT(dies.listedRows(), all);
        EXPECT_EQ(Listed(dies, 11), Codes(static_cast<std::size_t>(dies.listedRows()), customer));
        QTest::keyClick(dies.txt篩選, Qt::Key_Escape);
    });
    EXPECT_EQ(gPick[0], "");   // the customer was this window's filter, not a pick
}
