#include "common/ui/CodeCombo.h"
#include "common/ui/FormHelpers.h"
#include "common/ui/KeyEventFilter.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/tests/TestApp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

using namespace qtmv;

namespace {

class FormHelpers : public ::testing::Test, protected qtmv::test::WithApp {};

QStringList Items(const QComboBox& c)
{
    QStringList l;
    for (int i = 0; i < c.count(); ++i)
        l << c.itemText(i);
    return l;
}

} // namespace

TEST_F(FormHelpers, PrepareFormControlsKeepsTaggedFields)
{
    QWidget form;
    auto* keep = new QLineEdit("保留", &form);
    keep->setProperty("tag", "-1");
    auto* clear = new QLineEdit("清除", &form);
    auto* combo = new QComboBox(&form);
    combo->addItems({"A", "B"});
    auto* keptCombo = new QComboBox(&form);
    keptCombo->setEditable(true);
    keptCombo->addItems({"X", "Y"});
    keptCombo->setProperty("tag", -1);

    PrepareFormControls(&form);
    EXPECT_EQ(keep->text(), "保留");
    EXPECT_EQ(clear->text(), "");
    EXPECT_EQ(combo->count(), 0);
    EXPECT_EQ(Items(*keptCombo), (QStringList{"X", "Y"}));
    EXPECT_EQ(keptCombo->currentText(), "X"); // its own editor is part of it
}

TEST_F(FormHelpers, LockedControlsRefuseChangesComboKeepsItsList)
{
    QComboBox combo;
    combo.setEditable(true);
    combo.addItems({"Y", "N"});
    combo.lineEdit()->selectAll();
    LockControl(&combo);

    EXPECT_TRUE(IsLocked(&combo));
    EXPECT_EQ(Items(combo), (QStringList{"Y", "N"}));
    EXPECT_FALSE(combo.lineEdit()->hasSelectedText());
    EXPECT_FALSE(combo.focusPolicy() & Qt::TabFocus);
    QTest::keyClick(&combo, Qt::Key_Down);
    QTest::keyClick(&combo, Qt::Key_N);
    EXPECT_EQ(combo.currentText(), "Y");

    LockControlYellow(&combo);
    const QColor locked = combo.palette().color(QPalette::Base);
    UnlockControl(&combo);
    EXPECT_FALSE(IsLocked(&combo));
    EXPECT_TRUE(combo.focusPolicy() & Qt::TabFocus);
    EXPECT_NE(combo.palette().color(QPalette::Base), locked);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.currentText(), "N");

    QLineEdit edit("1131204");
    LockControlGrey(&edit);
    QTest::keyClicks(&edit, "9");
    EXPECT_EQ(edit.text(), "1131204");
}

TEST_F(FormHelpers, CenterFormStaysOnScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // A window as wide as the screen, one as tall: never left of or above it.
    const struct { QSize size; QPoint at; } cases[] = {
        {{screen.width(), 300}, {screen.x(), screen.y() + (screen.height() - 300 - 28) / 2}},
        {{400, screen.height()}, {screen.x() + (screen.width() - 400) / 2, screen.y()}}};
    for (const auto& c : cases) {
        QWidget w;
        w.resize(c.size);
        CenterForm(&w);
        EXPECT_EQ(w.pos(), c.at) << c.size.width() << "x" << c.size.height();
    }
}

TEST_F(FormHelpers, SendKeysMovesFocus)
{
    QWidget form; // Tab follows the order the fields are made in
    auto* first = new QLineEdit(&form);
    auto* second = new QLineEdit(&form);
    auto* third = new QLineEdit(&form);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setFocus();

    ASSERT_TRUE(SendKeysToFocus("{TAB}", true));
    EXPECT_TRUE(second->hasFocus());
    ASSERT_TRUE(SendKeysToFocus("ab{TAB}c", false));
    EXPECT_TRUE(second->hasFocus()); // delivered after the caller's handler
    QCoreApplication::processEvents();
    EXPECT_EQ(second->text(), "ab");
    EXPECT_TRUE(third->hasFocus());
    EXPECT_EQ(third->text(), "c");
    EXPECT_FALSE(SendKeysToFocus("{TAB", true));
}

TEST_F(FormHelpers, FillCodeComboAndUnknownList)
{
    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText("N");
    // The typed value heads the list.
    ASSERT_TRUE(FillCodeCombo("D-印刷", "印刷尺寸", &combo, true, {{"31*43", "菊全"}}));
    EXPECT_EQ(Items(combo), (QStringList{"N", "31*43"}));
    EXPECT_EQ(combo.currentText(), "N");
    EXPECT_EQ(CodeComboItem(&combo, 1), "31*43" + QString(100, ' ') + "||菊全");

    ScriptedMessages shown;
    EXPECT_FALSE(FillCodeCombo("D-印刷", "沒有", &combo, true, {}));
    EXPECT_EQ(Items(combo), (QStringList{"N"}));
    EXPECT_EQ(shown.shown().size(), 1u);
}

TEST_F(FormHelpers, InstalledKeyFilter)
{
    QLineEdit date, code;
    InstallKeyFilter(&date, KeyFilterMode::Digits);
    InstallKeyFilter(&code, KeyFilterMode::Upper);
    QTest::keyClicks(&date, "11a3.");
    QTest::keyClick(&date, Qt::Key_Backspace);
    QTest::keyClicks(&code, "tmp-01");
    EXPECT_EQ(date.text(), "11");
    EXPECT_EQ(code.text(), "TMP-01");
    QKeyEvent arrow(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);   // not a typed key: passes untouched
    EXPECT_EQ(FilterKeyEvent(arrow, KeyFilterMode::NoTyping), -1);
}
