// The time-consumption window driven with keys: typing lines, the checks
// while typing, lookups, the lock, the calendar, and what a confirmed save
// leaves in the database.
#include "prescheduling/ui/TimeWindow.h"

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
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

using namespace qtmv;
using W = frm工務預排作業_耗時;
using Texts = std::vector<std::string>;

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
    void typeAt(int row, int col, const QString& text)
    {
        go(row, col);
        typeCell(text);
    }
    // Types over what a field holds.
    static void typeOver(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    // The texts of the messages shown since the last call.
    Texts told()
    {
        Texts t;
        for (const MessageRequest& m : messages.shown())
            t.push_back(m.text);
        messages.clear();
        return t;
    }

    void typeLine(int row)
    {
        typeAt(row, W::c製作, "H1");   // Enter moves on to 開始
        typeCell("1131204 0830");
        typeCell("1131204 1015");
        typeAt(row, W::c完工數量, "9450");
        typeAt(row, W::c經辦, QStringLiteral("陳大文"));   // a name finds the code
    }

    const ProcessKind& printing = daily::test::KindNamed("D-印刷");
    Session savedSession_;
    QWidget caller;
    std::unique_ptr<W> w;
    ScriptedMessages messages;
};

// A refused entry leaves nothing of itself: the message, then the cell with
// its old text and the cursor on it, however the edit ended. Other entries
// are taken, some of them cut or told about.
TEST_F(TimeWindowTest, ChecksWhileTypingKeepTheOldTextAndTheCursorAndLookupsFillTheCells)
{
    open();
    go(3, W::c製作);
    grid().tableView()->setFocus();
    qtmv::test::TypeKey(grid().tableView(), 'H');
    EXPECT_EQ(told(), Texts{"前一列資料尚未輸入!"});
    EXPECT_EQ(grid().text(3, W::c製作), "");

    typeLine(1);
    ASSERT_EQ(told(), Texts{});
    // Counted as the main grid counts them: blanks around take no room.
    const QString full = QString(50, QChar(u'夜')) + "  ";
    struct Entry {
        int col;
        QString typed;
        std::string shown;     // the cell's text after it
        std::string message;   // "" for none
        bool refused;
    };
    const Entry entries[] = {
        {W::c結束, "1131204 0700", "1131204 1015", presched::kEndBeforeStart, true},
        {W::c開始, "1131204 1100", "1131204 0830", presched::kEndBeforeStart, true},
        {W::c開始, "0830", "1131204 0830", presched::kBadStart, true},
        {W::c不良率, "-1.5", "", "請輸入數字!", true},
        {W::c不良率, "1.5", "1.50", "", false},
        {W::c說明, full, full.toStdString(), "", false},
        {W::c經辦, "E99", "E99", "查無此經辦人員「E99」，請重新輸入或按 F9 查詢!", false},
        {W::c製作, "ABCDEFGHIJKLMNOPQRSTU", "ABCDEFGHIJKLMNOPQRST", "最多只可輸入20個字元!", false}};
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.typed.toStdString());
        typeAt(1, e.col, e.typed);
        QCoreApplication::processEvents();
        EXPECT_EQ(told(), e.message.empty() ? Texts{} : Texts{e.message});
        EXPECT_EQ(grid().text(1, e.col), e.shown);
        if (e.refused) {
            EXPECT_FALSE(grid().isEditing());
            EXPECT_EQ(std::pair(grid().activeRow(), grid().activeCol()), std::pair(1, e.col));
        }
    }

    // Pasted with a line break and a tab: refused as the main grid refuses it.
    go(1, W::c說明);
    qtmv::test::TypeKey(grid().tableView(), 'A');
    QApplication::clipboard()->setText(QStringLiteral("夜班\r\n完成\t一半"));
    QTest::keyClick(grid().editor(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(grid().editor(), Qt::Key_Return);
    EXPECT_EQ(told(), Texts{"「說明」含有無法儲存的控制字元，請重新輸入!"});
    EXPECT_EQ(grid().text(1, W::c說明), full.toStdString());

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
    EXPECT_EQ(told(), Texts{"請輸入數字!"});
    EXPECT_EQ(grid().text(1, W::c不良數), "");
    EXPECT_EQ(std::pair(grid().activeRow(), grid().activeCol()), std::pair(1, int(W::c不良數)));

    // Lookups by F9, by the button and by Enter on an empty code cell, in a
    // window opened afresh.
    // A printing vendor and a machine of the plant (製作 not 0), listed by code.
    db().exec("insert into VENDER (ID, SNAME, ITEM4, 製作) values ('M01', '海德堡四色機', '0', 1), "
              "('V01', '大同印刷', '1', 0), ('V02', '永豐上光', '0', 0)");
    db().exec("insert into [印刷產能資料] (機別, 每時產能) values ('海德堡四色機', 8000)");
    open();
    std::vector<std::string> asked;
    w->runModal = [&](QDialog& d) {
        asked.push_back(d.objectName().toStdString() + "|" + gLookupKind + "|" + gLookupContext + "|" +
                        gLookupFilter);
        if (auto* machines = dynamic_cast<frm廠商輔助畫面5*>(&d)) {
            // The real list (which vendors and machines: LookupQueriesTest),
            // picked with Enter on its first row, the machine.
            QTimer::singleShot(0, &d, [&, machines] {
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
    EXPECT_EQ(grid().text(1, W::c製作), "海德堡四色機");
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    typeAt(1, W::c開始, "1131204 0830");
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

    // Closed without a pick: the cell keeps what was typed.
    open();
    w->runModal = [](QDialog&) {};
    typeAt(1, W::c經辦, "E77");
    go(1, W::c經辦);
    QTest::mouseClick(w->scmd輔助, Qt::LeftButton);
    EXPECT_EQ(grid().text(1, W::c經辦), "E77");
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
    // The ended program's window is never unloaded: nor does it take the lock again.
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "0");
}

// A lock that cannot be taken, or one held elsewhere, leaves the window
// read-only; a TMP record takes no lock.
TEST_F(TimeWindowTest, RecordThatCannotBeLockedOpensReadOnly)
{
    db().exec("insert into [工單品檢明細] (工單單號, 工單序, 製程, 序) values ('P001', 1, 'D-印刷', 1)");
    db().exec("create trigger nolock before insert on SYSPOLOCK1 begin select raise(abort, 'disk full'); end");
    open();
    EXPECT_EQ(told().size(), 1u);   // the failure
    EXPECT_TRUE(w->readOnly());   // what read-only disables: the held lock's case below

    // A TMP record takes no lock; the indicator names what the line has.
    db().exec("drop trigger nolock");
    open("TMP0001");
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(w->readOnly());
    EXPECT_EQ(w->lbl記錄->text(), QStringLiteral("有品檢資料"));
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "0");

    // Held by another user.
    db().exec("insert into SYSPOLOCK1 (ID, COMPUTER, [USER], 工單單號, 工單序, 單號) "
              "values ('PC2\\bob|77|1', 'PC2', '李大同', 'P001', 1, 'D001')");
    db().exec("insert into [預排資料耗時明細] (單號, 工單單號, 工單序, 序, 製程, 開始) "
              "values ('D001', 'P001', 1, 1, 'D-印刷', '1131201 0800')");
    open();
    // Who, where and since when (first seen now: the row has no time).
    EXPECT_EQ(told(), Texts{"另一個使用者正在修改，您暫時無法修改資料！\n\n被【李大同 】鎖定。\n"
                            "電腦：PC2，鎖定時間：113/12/04 14:05。"});
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

    // Twelve hours on, an administrator is asked and may take it over (the
    // question and what a take-over writes: TimeRecordTest).
    db().exec("update SYSPOLOCK1 set 鎖定時間 = '1131204 0205'");
    CurrentSession().LoginUser = "王大明";
    messages.answer(MsgAnswer::Yes);
    open();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_FALSE(w->readOnly());
    EXPECT_EQ(value("select COMPUTER || '/' || [USER] from SYSPOLOCK1"), "PC1/王小美");
}

TEST_F(TimeWindowTest, CalendarDeleteAndANewTmpNumber)
{
    open("");
    w->runModal = [](QDialog& d) {
        auto* cal = d.findChild<QCalendarWidget*>("cal日期");
        ASSERT_NE(cal, nullptr);
        // The suite's picker (DatePickerTest), also where start-up did not set it up.
        EXPECT_EQ(cal->locale(), QLocale(QLocale::Chinese, QLocale::Taiwan));
        emit cal->clicked(QDate(2024, 12, 5));
    };
    QTest::mouseClick(w->cmd日期, Qt::LeftButton);
    EXPECT_EQ(w->txt完工日期->text(), "1131205");

    typeLine(1);
    typeAt(2, W::c製作, "H9");
    go(1, W::c製作);
    QTest::mouseClick(w->scmd刪除, Qt::LeftButton);
    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    EXPECT_EQ(w->timeResult().newNumber, "TMP0001");
    EXPECT_EQ(value("select group_concat(單號 || ':' || 機別) from [預排資料耗時明細]"), "TMP0001:H9");
}

// The value window opens with the line's figures, refuses what is not a
// number and hands back the cells, which the save stores; closed without
// confirming it changes nothing.
TEST_F(TimeWindowTest, OutputValueOfAPrintingLineIsWorkedOutAndStored)
{
    open();
    typeLine(1);
    bool confirm = true;
    w->runModal = [&](QDialog& d) {
        auto* v = dynamic_cast<frm印刷產值*>(&d);
        ASSERT_NE(v, nullptr);
        d.show();
        const QString shown = v->txt完工數量->text() + "/" + v->txt令數->text() + "/" + v->txt色數->text() + "/" +
                              v->txt面數->text() + "/" + v->txt單價->text();
        if (!confirm) {
            EXPECT_EQ(shown, "1000/18.9/4/2/120");   // the reams as stored, not from the sheets
            QTest::mouseClick(v->ssc回前畫面, Qt::LeftButton);
            return;
        }
        EXPECT_EQ(shown, "9450/18.9//1/");   // reams from the sheets, one side
        typeOver(v->txt色數, "4");
        typeOver(v->txt面數, "2");
        typeOver(v->txt單價, "12x");
        QTest::mouseClick(v->scmd確定, Qt::LeftButton);   // refused: not a number
        EXPECT_TRUE(d.isVisible());
        QTest::keyClick(v->txt單價, Qt::Key_Backspace);
        QTest::keyClicks(v->txt單價, "0");
        EXPECT_EQ(v->lbl合計->text(), "18144");
        QTest::mouseClick(v->scmd確定, Qt::LeftButton);
    };
    go(1, W::c產值);
    QTest::keyClick(grid().tableView(), Qt::Key_Return);
    EXPECT_FALSE(w->timeResult().returned);   // the value window's choice is not the time window's result
    EXPECT_EQ(told(), Texts{"令數、色數、面數與單價請輸入數字!"});
    typeAt(1, W::c完工數量, "1000");
    confirm = false;
    go(1, W::c產值);
    QTest::keyClick(grid().tableView(), Qt::Key_Return);

    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    EXPECT_EQ(value("select 產值 || '/' || 令數 || '/' || 色數 || '/' || 面數 || '/' || 單價 || '/' || 合計 "
                    "from [預排資料耗時明細]"),
              "18144.0/18.9/4.0/2.0/120.0/18144.0");
}

// The row's values come in through the request, and a confirm hands back
// what it stored: the piece in the database holds the same. 不良率 is 不良數
// of the line's 完工數量, as the inspection window works it out of the
// inspected quantity; without a quantity it stays as it is. (What the row
// makes of the result: TimeCellTest.)
TEST_F(TimeWindowTest, RequestOpensTheWindowAndTheResultSaysWhatWasStored)
{
    presched::TimeRequest r = request();
    r.completionDate = "1131201";
    r.timeConsumed = "0.50";
    open(r);
    // Its record is the one the line is stored under (below).
    EXPECT_EQ(w->lbl標題->text(), QStringLiteral("D-印刷  工單: P001-1  數量: 10000"));
    EXPECT_EQ(w->txt完工日期->text(), "1131201");
    EXPECT_EQ(w->txt總耗時->text(), "0.50");

    typeLine(1);
    // The arithmetic is TimeMathTest's; here only that it reaches the window.
    EXPECT_EQ(grid().text(1, W::c耗時), "1.75");
    EXPECT_EQ(w->txt總耗時->text(), "1.75");
    EXPECT_EQ(w->lbl點數->text(), QStringLiteral("點數: 90.00"));
    typeAt(1, W::c不良數, "25");
    for (const auto& [quantity, rate] : {std::pair{"300", "8.33"}, {"0", "8.33"}, {"1000", "2.50"}}) {
        SCOPED_TRACE(quantity);
        typeAt(1, W::c完工數量, quantity);
        EXPECT_EQ(grid().text(1, W::c不良率), rate);
    }
    typeOver(w->txt完工日期, "1131204");
    QTest::mouseClick(w->scmd確定, Qt::LeftButton);
    EXPECT_TRUE(messages.shown().empty());

    // Closed, stored and handed back: the leaving case and CellWindowsTest.
    const presched::TimeResult& result = w->timeResult();
    // The lines' quantity as the remark; no new number: the record had its own.
    EXPECT_EQ(result.total + "/" + result.completionDate + "/" + result.completionRemark + "/" + result.newNumber,
              "1.75/1131204/完工數量: 1000/");
    EXPECT_EQ(value("select 耗時 || '/' || FDATE || '/' || 完工說明 from PRINTING_S where ID = 'D001'"),
              result.total + "/" + result.completionDate + "/" + result.completionRemark);
    // The typed line, with the operator's name found as its code. (The lock
    // gone once the window closes: the leaving case.)
    EXPECT_EQ(value("select 單號 || '/' || 機別 || '/' || 開始 || '/' || 經辦代號 || '/' || cast(完工數量 as integer) || "
                    "'/' || cast(不良數 as integer) || '/' || cast(round(不良率 * 10) as integer) "
                    "from [預排資料耗時明細] where 工單單號 = 'P001'"),
              "D001/H1/1131204 0830/E01/1000/25/25");
}

// Typed work is not thrown away unasked: Esc, 回前畫面 and the close button
// ask as the main window asks about unsaved cells. No stores nothing, Yes
// saves and closes, or stays, with the lines and the lock, when the save is
// refused. A value typed back as it was loaded is nothing to ask about.
TEST_F(TimeWindowTest, LeavingWithTypedWorkAsksFirst)
{
    db().exec("insert into [預排資料耗時明細] (單號, 工單單號, 工單序, 序, 製程, 機別, 開始, 結束, 完工數量) "
              "values ('D001', 'P001', 1, 1, 'D-印刷', 'H1', '1131203 0800', '1131203 0900', 6000)");
    const std::string stored = "select group_concat(l, ',') from (select 序 || ':' || 機別 || ':' || "
                               "cast(完工數量 as integer) as l from [預排資料耗時明細] order by 序)";
    const std::string question = "尚有資料未儲存，是否先儲存？";
    open();
    typeAt(1, W::c完工數量, "100");
    typeAt(1, W::c完工數量, "6000");
    QTest::keyClick(grid().tableView(), Qt::Key_Escape);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(w->isVisible());

    // The shared question, and Cancel staying with the lines: QualityWindowTest.
    open();
    typeLine(2);
    messages.answer(MsgAnswer::No);
    QTest::mouseClick(w->ssc回前畫面, Qt::LeftButton);
    EXPECT_EQ(told(), Texts{question});
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(w->timeResult().returned);
    EXPECT_EQ(value(stored), "1:H1:6000");
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "0");

    // Yes to a save that is refused: the window stays with the line.
    open();
    typeLine(2);
    typeOver(w->txt完工數量, "-1");
    messages.answer(MsgAnswer::Yes);
    QTest::keyClick(w->txt完工數量, Qt::Key_Escape);
    EXPECT_EQ(told(), (Texts{question, "完工數量請輸入數字!"}));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(grid().text(2, W::c製作), "H1");
    EXPECT_EQ(value(stored), "1:H1:6000");
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "1");   // the window keeps its lock

    typeOver(w->txt完工數量, "15450");
    messages.answer(MsgAnswer::Yes);
    w->close();
    EXPECT_EQ(told(), Texts{question});
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->timeResult().stored);
    EXPECT_EQ(value(stored), "1:H1:6000,2:H1:9450");
    EXPECT_EQ(value("select count(*) from SYSPOLOCK1"), "0");
}

} // namespace
