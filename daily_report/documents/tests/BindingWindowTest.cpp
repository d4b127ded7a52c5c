// The binding-instructions window driven with keys: what reaches 工單頁數,
// what the rights positions allow, the questions before losing typing and
// the printed sheet.
#include "daily_report/documents/BindingWindow.h"

#include "common/ui/FormHelpers.h"
#include "daily_report/documents/tests/BindingDb.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/tests/TestApp.h"
#include "platform/ui/tests/TypeKeys.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace qtmv;

namespace {

// Types over the box's text.
void Retype(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    qtmv::test::TypeKeys(box, text);
}

class BindingWindow : public ::testing::Test, qtmv::test::WithApp {
protected:
    BindingWindow() { db.signIn(CurrentSession()); }

    // exec() as the main window calls it; drive() runs once the window is active.
    int run(frm裝訂說明& w, const std::function<void()>& drive)
    {
        w.setEndProgramAction([this] { ++ended; });
        QTimer::singleShot(0, &w, [&] {
            if (!w.isVisible())
                return;
            EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
            drive();
            if (w.isVisible()) {
                ADD_FAILURE() << "the window is still open";
                w.done(QDialog::Rejected);
            }
        });
        return w.exec();
    }

    daily::test::BindingDb db;
    ScriptedMessages messages;
    int ended = 0;
};

} // namespace

TEST_F(BindingWindow, EditsTheInstructionsWithPhrasesAndSavesWithF8)
{
    frm裝訂說明 w("P0001", 1);
    run(w, [&] {
        EXPECT_EQ(w.txt頁數->text(), QStringLiteral("32"));
        Retype(w.txt頁數, QStringLiteral("4O"));   // the letter O is not typed into a number
        EXPECT_EQ(w.txt頁數->text(), QStringLiteral("4"));
        qtmv::test::TypeKeys(w.txt頁數, QStringLiteral("8"));
        QTest::keyClick(w.txt頁數, Qt::Key_Return);   // Enter moves on
        EXPECT_TRUE(w.txt台數->hasFocus());
        // Selected text stays when a phrase is inserted.
        w.txt裝訂說明->setFocus();
        QTest::keyClick(w.txt裝訂說明, Qt::Key_A, Qt::ControlModifier);
        w.lst片語->setFocus();
        w.lst片語->setCurrentRow(1);
        QTest::keyClick(w.lst片語, Qt::Key_Return);
        qtmv::test::TypeKeys(w.txt裝訂說明, QStringLiteral("，加書腰"));
        // A bad number is refused and nothing typed is lost.
        Retype(w.txt折數, QStringLiteral("1.6."));
        QTest::keyClick(w.txt折數, Qt::Key_F8);
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, "折數必須是 0 到 99999 的數字。");
        EXPECT_EQ(w.txt折數->text(), QStringLiteral("1.6."));   // stored nothing: the save's refusal
        Retype(w.txt折數, QStringLiteral("16"));
        QTest::keyClick(w.txt裝訂說明, Qt::Key_F8);
        QTest::keyClick(w.txt裝訂說明, Qt::Key_Escape);   // saved: nothing to ask about
    });
    EXPECT_EQ(db.line(), "48.0|2.0|16.0|膠裝|依頁序裝訂\r\n書背平整\r\n騎馬釘，加書腰");
    EXPECT_EQ(messages.shown().size(), 1u);
}

// The printed sheet is of what the window shows, saved or not.
TEST_F(BindingWindow, AnotherWorkstationsChangeIsKeptUntilTheUserChoosesToOverwriteAndLeavingAsksFirst)
{
    const std::string pdf = db.folder() + "sheet.pdf";
    frm裝訂說明 w("P0001", 1);
    for (MsgAnswer a : {MsgAnswer::No, MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Yes})
        messages.answer(a);
    run(w, [&] {
        Retype(w.txt裝訂方式, QStringLiteral("穿線膠裝"));
        db.exec("update 工單頁數 set 裝訂方式 = '精裝', 台數 = 3 where PO = 'P0001'");
        w.scmd儲存->click();
        EXPECT_EQ(w.txt裝訂方式->text(), QStringLiteral("穿線膠裝"));   // the typing stays
        w.scmd儲存->click();
        EXPECT_EQ(w.txt台數->text(), QStringLiteral("3"));              // the other change shows now
        // Unsaved typing: Esc asks, and No keeps the window and the typing.
        Retype(w.txt裝訂方式, QStringLiteral("精裝"));
        QTest::keyClick(w.txt裝訂方式, Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.txt裝訂方式->text(), QStringLiteral("精裝"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        w.printTo(printer);
        w.scmd離開->click();
    });
    ASSERT_EQ(messages.shown().size(), 4u);
    EXPECT_NE(messages.shown()[0].text.find("裝訂方式"), std::string::npos);
    EXPECT_EQ(db.line(), "32.0|3.0|16.0|穿線膠裝|依頁序裝訂\r\n書背平整");
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QString::fromStdString(pdf), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(10000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* part : {"P0001 - 1", "精裝", "書背平整"})
        EXPECT_TRUE(printed.contains(QString::fromUtf8(part))) << part << " in:\n" << printed.toStdString();
}

TEST_F(BindingWindow, RightsPositionsCloseLockOrHideThePrinting)
{
    CurrentSession().WorkOrderRights[8] = '0';
    frm裝訂說明 closed("P0001", 1);
    EXPECT_EQ(run(closed, [] {}), QDialog::Rejected);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "你的權限無法使用該項功能!");

    db.signIn(CurrentSession());
    CurrentSession().WorkOrderRights[12] = '0';
    CurrentSession().WorkOrderRights[43] = '0';
    frm裝訂說明 readOnly("P0001", 1);
    run(readOnly, [&] {
        EXPECT_TRUE(IsLocked(readOnly.txt裝訂說明));
        qtmv::test::TypeKeys(readOnly.txt裝訂說明, QStringLiteral("x"));
        EXPECT_FALSE(readOnly.scmd儲存->isEnabled());
        EXPECT_TRUE(readOnly.scmd列印->isHidden());
        QTest::keyClick(readOnly.txt頁數, Qt::Key_F8);
        QTest::keyClick(readOnly.txt頁數, Qt::Key_Escape);   // nothing to ask about
    });
    EXPECT_EQ(messages.shown().size(), 1u);   // no save tried (refused without writing: BindingInstructionsTest)

    frm裝訂說明 missing("P9999", 1);
    EXPECT_EQ(run(missing, [] {}), QDialog::Rejected);
    EXPECT_EQ(messages.shown().back().text, "找不到工單單號： P9999");
}
