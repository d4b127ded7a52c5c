// The time-consumption window driven with keys: typing lines, the checks
// while typing, lookups, the lock, the calendar, and what a confirmed save
// leaves in the database.
#include "prescheduling/ui/TimeWindow.h"
#include "common/ui/DatePicker.h"

#include "prescheduling/ui/PrintValueWindow.h"

#include "lookups/ui/VendorLookups.h"

#include "common/HandOver.h"
#include "records/saving/tests/SavingFixture.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/SpreadGrid.h"
#include "platform/ui/tests/TestApp.h"
#include "platform/ui/tests/TypeKeys.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QToolButton>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace qtmv;
using W = frm工務預排作業_耗時;

namespace {

class TimeWindowTest : public daily::test::SavingFixture, qtmv::test::WithApp {
protected:
    TimeWindowTest()
    {
        session_.WorkstationUser = "PC1\\amy";
        session_.EmployeeName = "王小美";
        session_.ProductionRights = std::string(20, '0');
        savedSession_ = CurrentSession();
        CurrentSession() = session_;
        workOrder("P001");
        line(printing, "P001", 1);
        piece(printing, "D001", 1, "P001", 1);
        db().exec("insert into [印刷產能資料] (機別, 每時產能) values ('H1', 6000)");
        db().exec("insert into EMPLOYEE (ID, NAME) values ('E01', '陳大文')");
    }
    ~TimeWindowTest() override
    {
        w.reset();
        CurrentSession() = savedSession_;
    }

    // The request of a printing row: work order P001 line 1 of the record.
    presched::TimeRequest request(const std::string& number = "D001")
    {
        presched::TimeRequest r;
        r.po = "P001";
        r.seq = 1;
        r.kind = &printing;
        r.quantity = "10000";
        r.recordNumber = number;
        return r;
    }

    W& open(const std::string& number = "D001") { return open(request(number)); }
    W& open(const presched::TimeRequest& r)
    {
        w = std::make_unique<W>(r, &caller, clock_);
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return *w;
    }

    SpreadGrid& grid() { return *w->fml明細; }

    // Types into the active cell as a user does and commits with Enter.
    void typeCell(const QString& text) { qtmv::test::TypeIntoCell(grid().tableView(), text); }
    void go(int row, int col) { grid().setActiveCell(row, col); }

    void typeLine(int row)
    {
        go(row, W::c製作);
        typeCell("H1");                      // Enter moves on to 開始
        typeCell("1131204 0830");
        typeCell("1131204 1015");
        go(row, W::c完工數量);
        typeCell("9450");
        go(row, W::c經辦);
        typeCell(QStringLiteral("陳大文"));   // a name finds the code
    }

    const ProcessKind& printing = daily::test::KindNamed("D-印刷");
    Session savedSession_;
    QWidget caller;
    std::unique_ptr<W> w;
    ScriptedMessages messages;
};

// What a confirmed save hands back to the row: TimeCellTest.
TEST_F(TimeWindowTest, ChecksWhileTypingTellAndKeepTheText)
{
    open();
    go(3, W::c製作);
    grid().tableView()->setFocus();
    qtmv::test::TypeKey(grid().tableView(), 'H');
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "前一列資料尚未輸入!");
    EXPECT_EQ(grid().text(3, W::c製作), "");
    messages.clear();

    go(1, W::c製作);
    typeCell("ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_EQ(grid().text(1, W::c製作), "ABCDEFGHIJKLMNOPQRST");
    typeCell("1131204 1015");
    typeCell("1131204 0830");
    EXPECT_EQ(grid().text(1, W::c結束), "");               // refused: never a negative time
    go(1, W::c不良數);
    typeCell("3x");
    EXPECT_EQ(grid().text(1, W::c不良數), "");
    if (grid().isEditing())
        QTest::keyClick(grid().editor(), Qt::Key_Escape);
    go(1, W::c不良率);
    typeCell("-1.5");
    EXPECT_EQ(grid().text(1, W::c不良率), "");
    if (grid().isEditing())
        QTest::keyClick(grid().editor(), Qt::Key_Escape);
    go(1, W::c不良率);
    typeCell("1.5");
    EXPECT_EQ(grid().text(1, W::c不良率), "1.50");
    // Pasted with a line break and a tab: refused as the main grid refuses it.
    go(1, W::c說明);
    qtmv::test::TypeKey(grid().tableView(), 'A');
    QApplication::clipboard()->setText(QStringLiteral("夜班\r\n完成\t一半"));
    QTest::keyClick(grid().editor(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(grid().editor(), Qt::Key_Return);
    EXPECT_EQ(grid().text(1, W::c說明), "");
    if (grid().isEditing())
        QTest::keyClick(grid().editor(), Qt::Key_Escape);
    // Counted as the main grid counts them: blanks around take no room.
    go(1, W::c說明);
    typeCell(QString(50, QChar(u'夜')) + "  ");
    EXPECT_EQ(QString::fromStdString(grid().text(1, W::c說明)), QString(50, QChar(u'夜')) + "  ");
    go(1, W::c經辦);
    typeCell("E99");
    EXPECT_EQ(grid().text(1, W::c經辦), "E99");
    ASSERT_EQ(messages.shown().size(), 6u);
    EXPECT_EQ(messages.shown()[0].text, "最多只可輸入20個字元!");
    EXPECT_EQ(messages.shown()[1].text, presched::kEndBeforeStart);
    EXPECT_EQ(messages.shown()[2].text, "請輸入數字!");
    EXPECT_EQ(messages.shown()[3].text, "請輸入數字!");
    EXPECT_EQ(messages.shown()[4].text, "「說明」含有無法儲存的控制字元，請重新輸入!");
    EXPECT_NE(messages.shown()[5].text.find("E99"), std::string::npos);

    // A negative completed quantity is refused before anything is saved.
    go(1, W::c結束);
    typeCell("1131204 1115");
    w->txt完工數量->setFocus();
    w->txt完工數量->selectAll();
    QTest::keyClicks(w->txt完工數量, "-807");
    messages.clear();
    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "完工數量請輸入數字!");
    EXPECT_EQ(value("select count(*) from [預排資料耗時明細]"), "0");
}

// A refused entry leaves nothing of itself: the message, then the cell with
// its old text and the cursor on it, however the edit ended.
TEST_F(TimeWindowTest, RefusedEntryKeepsTheOldTextAndTheCursor)
{
    open();
    typeLine(1);
    messages.clear();
    go(1, W::c結束);
    typeCell("1131204 0700");
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, presched::kEndBeforeStart);
    EXPECT_EQ(grid().text(1, W::c結束), "1131204 1015");
    EXPECT_FALSE(grid().isEditing());
    EXPECT_EQ(grid().activeRow(), 1);
    EXPECT_EQ(grid().activeCol(), W::c結束);
    EXPECT_EQ(grid().text(1, W::c耗時), "1.75");

    // A start after the end, the other way round.
    go(1, W::c開始);
    typeCell("1131204 1100");
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, presched::kEndBeforeStart);
    EXPECT_EQ(grid().text(1, W::c開始), "1131204 0830");
    EXPECT_EQ(grid().activeCol(), W::c開始);

    // Not a date-time.
    typeCell("0830");
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.shown().size(), 3u);
    EXPECT_EQ(messages.shown()[2].text, presched::kBadStart);
    EXPECT_EQ(grid().text(1, W::c開始), "1131204 0830");
    EXPECT_EQ(grid().activeCol(), W::c開始);

    // Ended by a click on another cell: the cursor comes back.
    go(1, W::c不良數);
    grid().tableView()->setFocus();
    qtmv::test::TypeKey(grid().tableView(), '3');
    ASSERT_TRUE(grid().isEditing());
    QTest::keyClick(grid().editor(), Qt::Key_X);
    QTableView* view = grid().tableView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, W::c說明 - 1)).center());
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.shown().size(), 4u);
    EXPECT_EQ(messages.shown()[3].text, "請輸入數字!");
    EXPECT_EQ(grid().text(1, W::c不良數), "");
    EXPECT_EQ(grid().activeRow(), 1);
    EXPECT_EQ(grid().activeCol(), W::c不良數);
}

// 不良率 is 不良數 of the line's 完工數量, as the inspection window works it
// out of the inspected quantity; without a quantity it stays as it is.
TEST_F(TimeWindowTest, DefectRateFollowsDefectsOfTheCompletedQuantity)
{
    open();
    typeLine(1);
    go(1, W::c完工數量);
    typeCell("1000");
    go(1, W::c不良數);
    typeCell("25");
    EXPECT_EQ(grid().text(1, W::c不良率), "2.50");
    go(1, W::c完工數量);
    typeCell("300");
    EXPECT_EQ(grid().text(1, W::c不良率), "8.33");
    go(1, W::c完工數量);
    typeCell("0");   // nothing to divide by: the rate is kept
    EXPECT_EQ(grid().text(1, W::c不良率), "8.33");
    go(1, W::c完工數量);
    typeCell("1000");
    EXPECT_EQ(grid().text(1, W::c不良率), "2.50");
    EXPECT_TRUE(messages.shown().empty());

    w->txt完工日期->setFocus();
    QTest::keyClicks(w->txt完工日期, "1131204");
    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(value("select cast(完工數量 as integer) || '/' || cast(不良數 as integer) || '/' || "
                    "cast(round(不良率 * 10) as integer) from [預排資料耗時明細]"),
              "1000/25/25");
}

TEST_F(TimeWindowTest, LookupsByF9ButtonAndEnterOnAnEmptyCodeCell)
{
    // A printing vendor and a machine of the plant (製作 not 0), listed by code.
    db().exec("insert into VENDER (ID, SNAME, ITEM4, 製作) values ('M01', '海德堡四色機', '0', 1), "
              "('V01', '大同印刷', '1', 0), ('V02', '永豐上光', '0', 0)");
    db().exec("insert into [印刷產能資料] (機別, 每時產能) values ('海德堡四色機', 8000)");
    open();
    std::vector<std::string> asked;
    std::vector<std::string> listed;
    w->runModal = [&](QDialog& d) {
        asked.push_back(d.objectName().toStdString() + "|" + gLookupKind + "|" + gLookupContext + "|" +
                        gLookupFilter);
        if (auto* machines = dynamic_cast<frm廠商輔助畫面5*>(&d)) {
            // The real list, picked with Enter on its first row.
            QTimer::singleShot(0, &d, [&, machines] {
                for (int r = 1; r <= machines->listedRows(); ++r)
                    listed.push_back(machines->MSHFlexGrid1->text(r, 1));
                QTest::keyClick(machines->MSHFlexGrid1->tableView(), Qt::Key_Return);
            });
            d.exec();
            return;
        }
        gPick[0] = "E01";
        gPick[1] = "陳大文";
    };
    go(1, W::c製作);
    grid().tableView()->setFocus();
    QTest::keyClick(grid().tableView(), Qt::Key_F9);
    // Stored as the capacity table and the stored stints hold machines.
    EXPECT_EQ(listed, (std::vector<std::string>{"M01", "V01"}));
    EXPECT_EQ(grid().text(1, W::c製作), "海德堡四色機");
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    go(1, W::c開始);
    typeCell("1131204 0830");
    typeCell("1131204 1015");
    EXPECT_EQ(grid().text(1, W::c標準數量), "14000");
    go(1, W::c經辦);
    QTest::keyClick(grid().tableView(), Qt::Key_F9);
    EXPECT_EQ(grid().text(1, W::c經辦人員), "陳大文");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "frm廠商輔助畫面5|印刷||");
    // Enter on an empty code cell looks up as well.
    go(2, W::c經辦);
    QTest::keyClick(grid().tableView(), Qt::Key_Return);
    EXPECT_EQ(grid().text(2, W::c經辦), "E01");

    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    EXPECT_EQ(value("select 機別 || '/' || 標準數量 from [預排資料耗時明細] where 序 = 1"), "海德堡四色機/14000.0");

    // Closed without a pick: the cell keeps what was typed.
    open();
    w->runModal = [](QDialog&) {};
    go(3, W::c經辦);
    typeCell("E77");
    go(3, W::c經辦);
    QTest::mouseClick(w->scmd輔助, Qt::LeftButton);
    EXPECT_EQ(grid().text(3, W::c經辦), "E77");
}

TEST_F(TimeWindowTest, RecordHeldElsewhereOpensReadOnly)
{
    db().exec("insert into SYSPOLOCK1 (ID, COMPUTER, [USER], 工單單號, 工單序, 單號) "
              "values ('PC2\\bob|77|1', 'PC2', '李大同', 'P001', 1, 'D001')");
    db().exec("insert into [預排資料耗時明細] (單號, 工單單號, 工單序, 序, 製程, 開始) "
              "values ('D001', 'P001', 1, 1, 'D-印刷', '1131201 0800')");
    open();
    ASSERT_EQ(messages.shown().size(), 1u);
    // Who, where and since when (first seen now: the row has no time).
    EXPECT_EQ(messages.shown()[0].text, "另一個使用者正在修改，您暫時無法修改資料！\n\n被【李大同 】鎖定。\n"
                                        "電腦：PC2，鎖定時間：113/12/04 14:05。");
    EXPECT_TRUE(w->readOnly());
    EXPECT_FALSE(w->scmd確定->isEnabled());
    EXPECT_FALSE(w->scmd刪除->isEnabled());
    EXPECT_FALSE(w->act品檢->isEnabled());
    EXPECT_EQ(grid().text(1, W::c開始), "1131201 0800");
    go(1, W::c製作);
    qtmv::test::TypeKey(grid().tableView(), 'X');
    EXPECT_FALSE(grid().isEditing());
    w->reject();
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "1"); // the other user's lock stays

    // Twelve hours on, an administrator is asked and may take it over.
    db().exec("update SYSPOLOCK1 set 鎖定時間 = '1131204 0205'");
    CurrentSession().LoginUser = "王大明";
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    open();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_NE(messages.shown()[0].text.find("電腦：PC2，鎖定時間：113/12/04 02:05"), std::string::npos);
    EXPECT_FALSE(w->readOnly());
    EXPECT_EQ(value("select COMPUTER || '/' || [USER] from SYSPOLOCK1"), "PC1/王小美");
    EXPECT_EQ(value("select 舊值 from [日報異動紀錄] where 欄位 = '鎖定'").substr(0, 9), "李大同");
}

// The program ends at once on the maintenance check, without unloading the
// window: its lock must not outlive it.
TEST_F(TimeWindowTest, ProgramEndedByTheMaintenanceCheckLeavesTheRecordFree)
{
    open();
    typeLine(1);
    ASSERT_EQ(value("select count(*) from SYSPOLOCK1"), "1");
    db().exec("insert into SYSLOCK ([USER]) values ('PC9\\ADMIN')");
    std::string locksAtTheEnd;
    w->endProgram = [&] { locksAtTheEnd = value("select count(*) from SYSPOLOCK1"); };
    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    EXPECT_EQ(locksAtTheEnd, "0");
    EXPECT_EQ(value("select count(*) from [預排資料耗時明細]"), "0");

    // The ended program's window is never unloaded; another computer opens the record.
    const std::unique_ptr<W> ended = std::move(w);
    db().exec("delete from SYSLOCK");
    CurrentSession().WorkstationUser = "PC2\\bob";
    messages.clear();
    open();
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(w->readOnly());
    EXPECT_EQ(value("select COMPUTER from SYSPOLOCK1"), "PC2");
}

TEST_F(TimeWindowTest, LockThatCannotBeTakenLeavesTheWindowReadOnly)
{
    db().exec("insert into [工單品檢明細] (工單單號, 工單序, 製程, 序) values ('P001', 1, 'D-印刷', 1)");
    db().exec("create trigger nolock before insert on SYSPOLOCK1 begin select raise(abort, 'disk full'); end");
    open();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_TRUE(w->readOnly());
    EXPECT_FALSE(w->scmd確定->isEnabled());

    // A TMP record takes no lock; the indicator names what the line has.
    db().exec("drop trigger nolock");
    messages.clear();
    open("TMP0001");
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(w->readOnly());
    EXPECT_EQ(w->lbl記錄->text(), QStringLiteral("有品檢資料"));
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "0");
}

TEST_F(TimeWindowTest, CalendarDeleteAndANewTmpNumber)
{
    open("");
    w->runModal = [](QDialog& d) {
        auto* cal = d.findChild<QCalendarWidget*>("cal日期");
        ASSERT_NE(cal, nullptr);
        // The suite's picker: Chinese names, the year in ROC years.
        EXPECT_EQ(cal->locale(), QLocale(QLocale::Chinese, QLocale::Taiwan));
        if (!RocCalendar()) {
            EXPECT_EQ(cal->findChildren<QToolButton*>("qtmv_calendar_rocyear").size(), 1u);
        }
        emit cal->clicked(QDate(2024, 12, 5));
    };
    QTest::mouseClick(w->cmd日期, Qt::LeftButton);
    EXPECT_EQ(w->txt完工日期->text(), "1131205");

    typeLine(1);
    go(2, W::c製作);
    typeCell("H9");
    go(1, W::c製作);
    QTest::mouseClick(w->scmd刪除, Qt::LeftButton);
    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    EXPECT_EQ(w->timeResult().newNumber, "TMP0001");
    EXPECT_EQ(value("select group_concat(單號 || ':' || 機別) from [預排資料耗時明細]"), "TMP0001:H9");
}

TEST_F(TimeWindowTest, OutputValueOfAPrintingLineIsWorkedOutAndStored)
{
    open();
    typeLine(1);
    w->runModal = [&](QDialog& d) {
        auto* v = dynamic_cast<frm印刷產值*>(&d);
        ASSERT_NE(v, nullptr);
        d.show();   // 令數 from the line's 9450 sheets: in the read-back below
        v->txt色數->setFocus();
        QTest::keyClicks(v->txt色數, "4");
        v->txt單價->setFocus();
        QTest::keyClicks(v->txt單價, "12x");
        QTest::mouseClick(v->scmd確定, Qt::LeftButton);   // refused: not a number
        EXPECT_TRUE(d.isVisible());
        QTest::keyClick(v->txt單價, Qt::Key_Backspace);
        QTest::keyClicks(v->txt單價, "0");
        EXPECT_EQ(v->lbl合計->text(), "9072");
        QTest::mouseClick(v->scmd確定, Qt::LeftButton);
    };
    go(1, W::c產值);
    QTest::keyClick(grid().tableView(), Qt::Key_Return);
    EXPECT_FALSE(w->timeResult().returned);   // the value window's choice is not the time window's result
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "令數、色數、面數與單價請輸入數字!");

    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    EXPECT_EQ(value("select 產值 || '/' || 令數 || '/' || 色數 || '/' || 面數 || '/' || 單價 || '/' || 合計 "
                    "from [預排資料耗時明細]"),
              "9072.0/18.9/4.0/1.0/120.0/9072.0");
}

// The row's values come in through the request, and a confirm hands back
// what it stored: the piece in the database holds the same.
TEST_F(TimeWindowTest, RequestOpensTheWindowAndTheResultSaysWhatWasStored)
{
    presched::TimeRequest r = request();
    r.completionDate = "1131201";
    r.timeConsumed = "0.50";
    open(r);
    EXPECT_EQ(w->recordNumber(), "D001");
    EXPECT_EQ(w->lbl標題->text(), QStringLiteral("D-印刷  工單: P001-1  數量: 10000"));
    EXPECT_EQ(w->txt完工日期->text(), "1131201");
    EXPECT_EQ(w->txt總耗時->text(), "0.50");
    EXPECT_FALSE(w->timeResult().returned);

    typeLine(1);
    // The arithmetic is TimeMathTest's; here only that it reaches the window.
    EXPECT_EQ(grid().text(1, W::c耗時), "1.75");
    EXPECT_EQ(w->txt總耗時->text(), "1.75");
    EXPECT_EQ(w->lbl點數->text(), QStringLiteral("點數: 90.00"));
    w->txt完工日期->setFocus();
    w->txt完工日期->selectAll();
    QTest::keyClicks(w->txt完工日期, "1131204");
    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(w->isVisible());

    const presched::TimeResult& result = w->timeResult();
    EXPECT_TRUE(result.returned);
    EXPECT_TRUE(result.stored);
    EXPECT_EQ(result.total, "1.75");
    EXPECT_EQ(result.completionDate, "1131204");
    EXPECT_EQ(result.completionRemark, "完工數量: 9450");
    EXPECT_EQ(result.newNumber, "");   // the record had its number
    EXPECT_EQ(value("select 耗時 || '/' || FDATE || '/' || 完工說明 from PRINTING_S where ID = 'D001'"),
              result.total + "/" + result.completionDate + "/" + result.completionRemark);
    // The typed line, with the operator's name found as its code; the
    // window's lock is gone with it.
    EXPECT_EQ(value("select 單號 || '/' || 機別 || '/' || 開始 || '/' || 經辦代號 from [預排資料耗時明細] "
                    "where 工單單號 = 'P001'"),
              "D001/H1/1131204 0830/E01");
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "0");
}

// Typed work is not thrown away unasked: Esc, 回前畫面 and the close button
// ask as the main window asks about unsaved cells. Enter (Cancel) stays
// with the lines and the lock, No stores nothing, Yes saves and closes, or
// stays when the save is refused. A value typed back as it was loaded is
// nothing to ask about.
TEST_F(TimeWindowTest, LeavingWithTypedWorkAsksFirst)
{
    db().exec("insert into [預排資料耗時明細] (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量) "
              "values ('D001', 'P001', 1, 1, 'D-印刷', 'H1', '1131203 0800', '1131203 0900', 6000)");
    const std::string stored = "select group_concat(l, ',') from (select 序 || ':' || 機別 || ':' || "
                               "cast(完工數量 as integer) as l from [預排資料耗時明細] order by 序)";
    open();
    go(1, W::c完工數量);
    typeCell("100");
    go(1, W::c完工數量);
    typeCell("6000");
    QTest::keyClick(grid().tableView(), Qt::Key_Escape);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(w->isVisible());

    open();
    typeLine(2);
    ASSERT_TRUE(messages.shown().empty());
    messages.answer(MsgAnswer::Cancel);
    QTest::keyClick(grid().tableView(), Qt::Key_Escape);
    ASSERT_EQ(messages.shown().size(), 1u);
    const MessageRequest asked = messages.shown()[0];
    EXPECT_EQ(asked.text, "尚有資料未儲存，是否先儲存？");
    EXPECT_EQ(asked.title, "詢問");
    EXPECT_EQ(asked.buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(asked.defaultAnswer, MsgAnswer::Cancel);   // what Enter answers
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(grid().text(2, W::c製作), "H1");
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "1");

    messages.answer(MsgAnswer::No);
    QTest::mouseClick(w->ssc回前畫面, Qt::LeftButton);
    EXPECT_EQ(messages.shown().size(), 2u);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->timeResult().returned);
    EXPECT_EQ(value(stored), "1:H1:6000");
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "0");

    // Yes to a save that is refused: the window stays with the line.
    open();
    typeLine(2);
    w->txt完工數量->setFocus();
    w->txt完工數量->selectAll();
    QTest::keyClicks(w->txt完工數量, "-1");
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    QTest::keyClick(w->txt完工數量, Qt::Key_Escape);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, "完工數量請輸入數字!");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(grid().text(2, W::c製作), "H1");
    EXPECT_EQ(value(stored), "1:H1:6000");

    w->txt完工數量->selectAll();
    QTest::keyClicks(w->txt完工數量, "15450");
    messages.clear();
    messages.answer(MsgAnswer::Yes);
    w->close();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "尚有資料未儲存，是否先儲存？");
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->timeResult().stored);
    EXPECT_EQ(value(stored), "1:H1:6000,2:H1:9450");
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "0");
}

// The output-value window starts from the line's figures and hands back the
// cells' texts.
TEST_F(TimeWindowTest, OutputValueWindowTakesTheLineFiguresAndHandsBackTheCells)
{
    frm印刷產值 v(presched::PrintValueRequest{9450, 0, 4, 0, 0});
    v.show();
    EXPECT_EQ(v.txt完工數量->text(), "9450");
    EXPECT_EQ(v.txt令數->text(), "18.9");   // from the sheets: the line has no reams
    EXPECT_EQ(v.txt面數->text(), "1");
    v.txt單價->setFocus();
    QTest::keyClicks(v.txt單價, "120");
    v.txt面數->setFocus();
    v.txt面數->selectAll();
    QTest::keyClicks(v.txt面數, "2");
    QTest::mouseClick(v.scmd確定, Qt::LeftButton);
    const presched::PrintValueResult& r = v.valueResult();
    EXPECT_TRUE(r.returned);
    EXPECT_EQ(r.value, "18144");
    EXPECT_EQ(r.reams + "/" + r.colours + "/" + r.sides + "/" + r.unitPrice, "18.9/4/2/120");

    frm印刷產值 cancelled(presched::PrintValueRequest{500, 3, 4, 2, 100});
    EXPECT_EQ(cancelled.txt令數->text(), "3");
    QTest::mouseClick(cancelled.ssc回前畫面, Qt::LeftButton);
    EXPECT_FALSE(cancelled.valueResult().returned);
}

} // namespace
