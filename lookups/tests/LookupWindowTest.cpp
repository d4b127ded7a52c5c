// The lookup windows driven as the shop floor drives them, with keys and
// the mouse, on the demo plant: what the caller finds in gPick afterwards.
#include "app/core/Session.h"
#include "common/HandOver.h"
#include "db/tests/TestDb.h"
#include "lookups/ui/DieLookup.h"
#include "lookups/ui/PeopleLookups.h"
#include "lookups/ui/VendorLookups.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/SpreadGrid.h"
#include "platform/ui/tests/TestApp.h"
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
using qtmv::db::test::Db;
using qtmv::db::test::TempPath;
using Codes = std::vector<std::string>;

namespace {

const std::string& demoPlant()
{
    static const TempPath path("lookup-windows");
    static const bool written = [] {
        demo::DemoOptions o;
        o.workOrders = 60;
        demo::writeDemoPlant(path.str(), o);
        return true;
    }();
    (void)written;
    static const std::string file = path.str();
    return file;
}

// Shows the window modally as its caller does, runs drive() once it is
// active, and returns exec()'s result. A window that drive() left open is a
// failure (and is closed so the test goes on).
int runModal(QDialog& w, const std::function<void()>& drive)
{
    bool driven = false;
    QTimer::singleShot(0, &w, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        drive();
        driven = true;
        if (w.isVisible()) {
            ADD_FAILURE() << "the lookup is still open";
            w.reject();
        }
    });
    const int result = w.exec();
    EXPECT_TRUE(driven);
    return result;
}

// Types text as a user does: Chinese characters through the input path the
// offscreen platform accepts, the rest as key clicks.
void type(QWidget* w, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(w, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), {});
    }
}

void search(lookups::LookupWindow& w, const QString& text)
{
    w.txt篩選->selectAll();
    QTest::keyClick(w.txt篩選, Qt::Key_Backspace);
    type(w.txt篩選, text);
    QTest::keyClick(w.txt篩選, Qt::Key_Return);
}

Codes listed(const lookups::LookupWindow& w, int col = 1)
{
    Codes out;
    for (int r = 1; r <= w.listedRows(); ++r)
        out.push_back(w.MSHFlexGrid1->text(r, col));
    return out;
}

QPoint rowCentre(const lookups::LookupWindow& w, int row)
{
    QTableView* v = w.MSHFlexGrid1->tableView();
    return v->visualRect(v->model()->index(row - 1, 0)).center();
}

void rightClickRow(lookups::LookupWindow& w, int row)
{
    QTest::mouseClick(w.MSHFlexGrid1->tableView()->viewport(), Qt::RightButton, {}, rowCentre(w, row));
}

void pressInList(lookups::LookupWindow& w, Qt::Key key)
{
    QTest::keyClick(w.MSHFlexGrid1->tableView(), key);
}

class LookupWindows : public ::testing::Test, qtmv::test::WithApp {
protected:
    LookupWindows()
    {
        Session& s = session();
        s = Session{};
        s.ConnectionString =
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + demoPlant() + ";Jet OLEDB:Database Password=x";
        s.LoginUser = "王大明";
        s.EmployeeId = "A001";
        gLookupKind.clear();
        gLookupFilter.clear();
        gLookupContext.clear();
        gLookupStaffGroup.clear();
        gReturned = false;
        gPick.fill("stale");   // a lookup must never report an earlier pick
    }

    Db plant{demoPlant()};
    ScriptedMessages messages;
};

} // namespace

TEST_F(LookupWindows, Vendor1FiltersByTypedTextAndHandsThePickedRowToTheCaller)
{
    gLookupKind = "印刷";
    frm廠商輔助畫面1 w;
    EXPECT_TRUE(gPick[0].empty());
    EXPECT_TRUE(w.cbo種類->isHidden());
    EXPECT_TRUE(w.chk只秀設備->isHidden());
    const int result = runModal(w, [&] {
        // Active vendors and machines of the kind; the disabled V023 is not offered.
        EXPECT_EQ(listed(w), (Codes{"M01", "M02", "M03", "M04", "V007", "V008", "V028"}));
        search(w, QStringLiteral("金龍"));
        ASSERT_EQ(listed(w), Codes{"V008"});
        EXPECT_EQ(gLookupFilter, "金龍");
        QTest::keyClick(w.txt篩選, Qt::Key_Down);
        pressInList(w, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(gPick[0], "V008");
    EXPECT_EQ(gPick[1], "金龍彩印");
    EXPECT_EQ(gPick[2], "5");             // hidden columns travel too
    EXPECT_EQ(gPick[8], "月結60天");
    EXPECT_EQ(gPick[9], "");
    EXPECT_EQ(w.MSHFlexGrid1->colWidthTwips(3), 0);
    EXPECT_GT(w.MSHFlexGrid1->colWidthTwips(2), 0);
}

TEST_F(LookupWindows, Vendor1WithoutHitListsTheWholeKindAndEscReportsNothing)
{
    gLookupKind = "紙品";
    gLookupFilter = "舊城";   // only the disabled V024 has it
    frm廠商輔助畫面1 w;
    const int result = runModal(w, [&] {
        EXPECT_EQ(listed(w), (Codes{"V004", "V005", "V006", "V022", "V026"}));
        EXPECT_EQ(w.txt篩選->text(), QString());
        EXPECT_TRUE(w.StatusBar1->currentMessage().contains(QStringLiteral("舊城")));
        QTest::keyClick(w.txt篩選, Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(gPick[0], "");
}

TEST_F(LookupWindows, Vendor1RightClickPicksTheRowUnderThePointerNotTheHeading)
{
    gLookupKind = "印刷";
    frm廠商輔助畫面1 w;
    runModal(w, [&] {
        QHeaderView* header = w.MSHFlexGrid1->tableView()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::RightButton, {}, QPoint(20, header->height() / 2));
        EXPECT_TRUE(w.isVisible());
        // Below the last row: nothing either.
        QWidget* viewport = w.MSHFlexGrid1->tableView()->viewport();
        QTest::mouseClick(viewport, Qt::RightButton, {}, QPoint(20, viewport->height() - 3));
        EXPECT_TRUE(w.isVisible());
        rightClickRow(w, 3);
    });
    EXPECT_EQ(gPick[0], "M03");
    EXPECT_EQ(gPick[1], "三菱雙色機");
}

TEST_F(LookupWindows, Vendor1AllKindsKeepsTheRowAcrossSearchesAndScrollsThreeRowsANotch)
{
    gLookupKind = "所有廠商";
    frm廠商輔助畫面1 w;
    runModal(w, [&] {
        EXPECT_FALSE(w.cbo種類->isHidden());
        EXPECT_EQ(w.cbo種類->count(), 15);
        const int all = w.listedRows();
        EXPECT_EQ(all, static_cast<int>(plant.count("select * from VENDER where ifnull(停用, '') in ('0', '')")));
        QTableView* view = w.MSHFlexGrid1->tableView();
        QTest::keyClick(w.txt篩選, Qt::Key_Down);
        for (int i = 0; i < 4; ++i)
            pressInList(w, Qt::Key_Down);
        EXPECT_EQ(w.MSHFlexGrid1->activeRow(), 5);
        w.scmd確定->click();
        EXPECT_EQ(w.MSHFlexGrid1->activeRow(), 5);
        EXPECT_EQ(w.MSHFlexGrid1->highlightedRow(), 5);

        QWheelEvent down(QPointF(30, 30), view->viewport()->mapToGlobal(QPointF(30, 30)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &down);
        EXPECT_EQ(view->rowAt(0), 3);
        QApplication::sendEvent(view->viewport(), &down);
        EXPECT_EQ(view->rowAt(0), 6);

        // G-軋工 in the kind combo: only die-cutting vendors; row 5 is beyond them.
        w.cbo種類->setFocus();
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(w.cbo種類, Qt::Key_Down);
        EXPECT_EQ(w.cbo種類->currentText(), QStringLiteral("G-軋工"));
        EXPECT_EQ(listed(w), (Codes{"M08", "M09", "V012"}));
        EXPECT_EQ(w.MSHFlexGrid1->activeRow(), 3);
        QTest::keyClick(w.cbo種類, Qt::Key_Escape);
    });
    EXPECT_EQ(gPick[0], "");
}

TEST_F(LookupWindows, Vendor1OffersMachinesOnlyToTheEquipmentContext)
{
    gLookupKind = "印刷";
    gLookupContext = "設備";
    frm廠商輔助畫面1 w;
    runModal(w, [&] {
        ASSERT_FALSE(w.chk只秀設備->isHidden());
        w.chk只秀設備->setFocus();
        QTest::keyClick(w.chk只秀設備, Qt::Key_Space);
        EXPECT_EQ(listed(w), (Codes{"M01", "M02", "M03", "M04"}));
        pressInList(w, Qt::Key_Return);
    });
    EXPECT_EQ(gPick[0], "M01");
}

TEST_F(LookupWindows, TypedWildcardsAndQuotesFindTheVendorTheyName)
{
    gLookupKind = "所有廠商";
    frm廠商輔助畫面1 w;
    runModal(w, [&] {
        search(w, QStringLiteral("100%"));
        EXPECT_EQ(listed(w), Codes{"V026"});
        search(w, QStringLiteral("A_1"));
        EXPECT_EQ(listed(w), Codes{"V028"});
        search(w, QStringLiteral("Mary's"));
        EXPECT_EQ(listed(w), Codes{"V027"});
        // Letters go in upper case; a click into the box selects it all for the next search.
        QTest::keyClick(w.txt篩選, Qt::Key_Down);
        QTest::mouseClick(w.txt篩選, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::qWait(1);
        EXPECT_EQ(w.txt篩選->selectedText(), QStringLiteral("MARY'S"));
        pressInList(w, Qt::Key_Return);
    });
    EXPECT_EQ(gPick[1], "Mary's設計");
}

TEST_F(LookupWindows, Vendor3ChoosesItsOwnKindShowsDisabledVendorsAndHasNoFallback)
{
    gLookupKind = "印刷";
    gLookupFilter = "宏達";   // not taken by this window
    frm廠商輔助畫面3 w;
    runModal(w, [&] {
        EXPECT_EQ(w.txt篩選->text(), QString());
        EXPECT_EQ(gLookupKind, "B-製版");
        EXPECT_EQ(listed(w), (Codes{"M15", "V002", "V003", "V025"}));   // V025 is disabled
        w.cbo種類->setFocus();
        QTest::keyClick(w.cbo種類, Qt::Key_Down);
        EXPECT_EQ(gLookupKind, "D-印刷");
        EXPECT_EQ(listed(w), (Codes{"M01", "M02", "M03", "M04", "V007", "V008", "V023", "V028"}));
        search(w, QStringLiteral("沒有這家"));
        EXPECT_EQ(w.listedRows(), 0);
        EXPECT_EQ(w.MSHFlexGrid1->maxRow(), 0);
        EXPECT_EQ(w.txt篩選->text(), QStringLiteral("沒有這家"));
        pressInList(w, Qt::Key_Return);   // nothing to pick
        EXPECT_TRUE(w.isVisible());
        search(w, QStringLiteral("老字號"));
        rightClickRow(w, 1);
    });
    EXPECT_EQ(gPick[0], "V023");
    EXPECT_EQ(gPick[7], plant.value("select ADD1 from VENDER where ID = 'V023'"));
    EXPECT_EQ(gPick[8], "");
}

TEST_F(LookupWindows, Vendor5ListsTheKindWithEveryMachine)
{
    gLookupKind = "裝訂";
    gLookupFilter = "精誠";
    frm廠商輔助畫面5 w;
    runModal(w, [&] {
        EXPECT_EQ(listed(w), Codes{"V016"});
        search(w, QStringLiteral("不存在"));
        EXPECT_EQ(w.listedRows(), 22);   // the twenty machines, V015 and V016
        EXPECT_EQ(w.txt篩選->text(), QString());
        rightClickRow(w, 22);
    });
    EXPECT_EQ(gPick[0], "V016");
    EXPECT_EQ(gPick[8], "");
}

TEST_F(LookupWindows, PlacesItselfBesideTheCallerOrTheCallersCaller)
{
    QWidget main;
    main.setObjectName(QStringLiteral("frm日報登錄作業_工單"));
    main.setGeometry(60, 40, 1000, 700);
    main.show();
    QWidget downstream(&main, Qt::Window);
    downstream.setObjectName(QStringLiteral("frm下游廠商"));
    downstream.setGeometry(300, 300, 500, 400);
    downstream.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&downstream));

    gLookupKind = "印刷";
    frm廠商輔助畫面1 first(&main);
    runModal(first, [&] { QTest::keyClick(first.txt篩選, Qt::Key_Escape); });
    EXPECT_EQ(first.frameGeometry().right() + 1, main.frameGeometry().right() + 1 - 13);
    EXPECT_EQ(first.frameGeometry().top(), main.frameGeometry().top() + 87);

    frm廠商輔助畫面1 skipping(&downstream);   // looks past the downstream window
    runModal(skipping, [&] { QTest::keyClick(skipping.txt篩選, Qt::Key_Escape); });
    EXPECT_EQ(skipping.pos(), first.pos());

    frm廠商輔助畫面5 scheduling(&downstream);   // window 5 does not
    runModal(scheduling, [&] { QTest::keyClick(scheduling.txt篩選, Qt::Key_Escape); });
    EXPECT_EQ(scheduling.frameGeometry().top(), downstream.frameGeometry().top() + 87);
}

TEST_F(LookupWindows, EmployeeLookupsListUsualOrDeliveryStaffButNobodyWhoLeft)
{
    frm業務員輔助視窗1 usual;
    runModal(usual, [&] {
        const Codes all = listed(usual);
        for (const char* gone : {"A007", "A017", "A023", "A031"})
            EXPECT_EQ(std::count(all.begin(), all.end(), gone), 0) << gone;
        for (const char* driver : {"A026", "A027"})
            EXPECT_EQ(std::count(all.begin(), all.end(), driver), 0) << driver;
        EXPECT_EQ(std::count(all.begin(), all.end(), "A033"), 1);   // null department and leaving date
        search(usual, QStringLiteral("陳志明"));
        pressInList(usual, Qt::Key_Return);
    });
    EXPECT_EQ((Codes{gPick[0], gPick[1], gPick[2], gPick[3]}), (Codes{"A002", "陳志明", "A010", "楊文雄"}));

    gLookupStaffGroup = "Y";
    frm業務員輔助視窗1 delivery;
    runModal(delivery, [&] {
        EXPECT_EQ(listed(delivery), (Codes{"A026", "A027", "A032", "A033"}));
        rightClickRow(delivery, 3);
    });
    EXPECT_EQ(gPick[1], "孫國華");

    gLookupStaffGroup.clear();
    gLookupFilter = "吳雅婷";   // has left: the usual staff without the filter
    frm業務員輔助視窗 plain;
    runModal(plain, [&] {
        EXPECT_EQ(plain.txt篩選->text(), QString());
        EXPECT_EQ(plain.MSHFlexGrid1->maxCol(), 2);
        EXPECT_EQ(plain.listedRows(), static_cast<int>(plant.count(
                                          "select * from EMPLOYEE where ifnull(ODATE, '') = '' and "
                                          "ifnull(部門, '') <> '運送部'")));
        QTest::keyClick(plain.MSHFlexGrid1->tableView(), Qt::Key_Escape);
    });
    EXPECT_EQ(gPick[0], "");
}

TEST_F(LookupWindows, CustomerLookupOfARestrictedUserListsOnlyHisCustomers)
{
    session().LoginUser.clear();
    session().EmployeeId = "A002";
    frm客戶輔助視窗 w;
    runModal(w, [&] {
        const Codes expected = [&] {
            Codes out;
            for (const auto& row : plant.rows(
                     "select ID from CUST where ifnull(停用, '') in ('0', '') and (ifnull(EMPNO, '') in ('', 'A002') "
                     "or ID in (select ID from CUSTE where EMPNO = 'A002')) order by ID"))
                out.push_back(row[0]);
            return out;
        }();
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(listed(w), expected);
        const int row = static_cast<int>(std::find(expected.begin(), expected.end(),
                                                   plant.value("select min(ID) from CUST where EMPNO = 'A002' "
                                                               "and ifnull(停用, '') <> '1'")) -
                                         expected.begin()) + 1;
        ASSERT_LE(row, w.listedRows());
        rightClickRow(w, row);
    });
    EXPECT_EQ(gPick[2], "A002");
    EXPECT_EQ(gPick[3], "陳志明");
    EXPECT_EQ(gPick[13], plant.value("select NAME from CUST where ID = '" + gPick[0] + "'"));
}

TEST_F(LookupWindows, DieLookupPicksAValidDieByItsCode)
{
    const std::string code = plant.value("select 刀模代號 from 刀模管理資料 where 作廢 <> 'Y' order by 序 limit 1");
    gLookupFilter = code;
    frm刀模輔助視窗 w;
    EXPECT_FALSE(gReturned);
    const int result = runModal(w, [&] {
        ASSERT_GE(w.listedRows(), 1);
        EXPECT_EQ(w.fml刀模->text(1, 1), code);
        QTest::keyClick(w.txt篩選, Qt::Key_Down);
        pressInList(w, Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(gReturned);
    EXPECT_EQ(gPick[0], code);
}

TEST_F(LookupWindows, DieLookupOffersVoidDiesOnlyOnRequestAndAsksBeforeTakingOne)
{
    const std::string voided = plant.value("select 刀模代號 from 刀模管理資料 where 作廢 = 'Y' order by 序 desc limit 1");
    ASSERT_FALSE(voided.empty());
    gLookupFilter = voided;
    frm刀模輔助視窗 w;
    messages.answer(MsgAnswer::No);
    runModal(w, [&] {
        // Only the void die has the code: the list falls back to every valid die.
        EXPECT_EQ(w.txt篩選->text(), QString());
        const Codes valid = listed(w);
        EXPECT_EQ(w.listedRows(), static_cast<int>(plant.count("select * from 刀模管理資料 where 作廢 <> 'Y'")));
        EXPECT_EQ(std::count(valid.begin(), valid.end(), voided), 0);
        w.chk含作廢->setFocus();
        QTest::keyClick(w.chk含作廢, Qt::Key_Space);
        EXPECT_EQ(w.listedRows(), static_cast<int>(plant.count("select * from 刀模管理資料")));
        search(w, QString::fromStdString(voided));
        ASSERT_EQ(listed(w), Codes{voided});
        pressInList(w, Qt::Key_Return);
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].title, "詢問");
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(gPick[0], "");
        QTest::keyClick(w.txt篩選, Qt::Key_Escape);
    });
    EXPECT_FALSE(gReturned);
}

TEST_F(LookupWindows, DieLookupFiltersByACustomerPickedInTheCustomerLookup)
{
    const std::string customer = plant.value(
        "select 客戶代號 from 刀模管理資料 where 作廢 <> 'Y' group by 客戶代號 order by count(*) desc limit 1");
    const std::string sname = plant.value("select SNAME from CUST where ID = '" + customer + "'");
    frm刀模輔助視窗 w;
    runModal(w, [&] {
        const int all = w.listedRows();
        QTimer::singleShot(0, &w, [&] {
            auto* nested = dynamic_cast<frm客戶輔助視窗*>(QApplication::activeModalWidget());
            ASSERT_NE(nested, nullptr);
            search(*nested, QString::fromStdString(customer));
            QTest::keyClick(nested->txt篩選, Qt::Key_Down);
            pressInList(*nested, Qt::Key_Return);
        });
        w.scmd客戶->click();
        EXPECT_EQ(w.txt客戶代號->text().toStdString(), customer);
        EXPECT_EQ(w.lbl客戶簡稱->text().toStdString(), sname);
        EXPECT_EQ(gPick[0], "");   // the customer was this window's filter, not a pick
        EXPECT_LT(w.listedRows(), all);
        for (int r = 1; r <= w.listedRows(); ++r)
            EXPECT_EQ(w.fml刀模->text(r, 11), customer);
        QTest::keyClick(w.txt篩選, Qt::Key_Escape);
    });
    EXPECT_FALSE(gReturned);
    EXPECT_EQ(gPick[0], "");
}
