#include "platform/ui/SpreadGrid.h"
#include "platform/ui/tests/TestApp.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <tuple>

namespace {

using qtmv::SpreadGrid;

class SpreadGridTest : public ::testing::Test, protected qtmv::test::WithApp {
protected:
    void SetUp() override
    {
        window.resize(800, 400);
        auto* layout = new QVBoxLayout(&window);
        grid = new SpreadGrid(&window);
        layout->addWidget(grid);
        grid->setHeadings({"工單單號", "完工日", "正", "說明", "客戶"});
        grid->setMaxRow(20);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
        grid->setActiveCell(1, 1);
    }

    QTableView* view() const { return grid->tableView(); }
    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(grid->editor()); }
    // A key pressed on the grid with the cell (row, col) active.
    void press(int row, int col, Qt::Key key)
    {
        grid->setActiveCell(row, col);
        QTest::keyClick(view(), key);
    }
    QPoint cellCenter(QTableView* v, int row, int col) const
    {
        return v->visualRect(v->model()->index(row - 1, col - 1)).center();
    }

    QWidget window;
    SpreadGrid* grid = nullptr;
};

TEST_F(SpreadGridTest, TypingStartsEditWithTheKeyAndEnterCommitsAndMovesOn)
{
    grid->setColumnEditable(2, true);
    grid->setColumnEditable(4, true);
    QSignalSpy changed(grid, &SpreadGrid::cellChanged);

    press(1, 4, Qt::Key_A);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("a"));
    QTest::sendKeyEvent(QTest::Click, editor(), Qt::Key_unknown, QStringLiteral("備"), Qt::NoModifier);
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->text(1, 4), "a備");
    EXPECT_EQ(grid->activeRow(), 1);
    EXPECT_EQ(grid->activeCol(), 5);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0), (QList<QVariant>{1, 4}));

    // Chinese typed on the grid itself opens the editor with it.
    grid->setActiveCell(2, 2);
    QTest::sendKeyEvent(QTest::Click, view(), Qt::Key_unknown, QStringLiteral("完"), Qt::NoModifier);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("完"));
    grid->cancelEdit();
    EXPECT_EQ(grid->text(2, 2), "");

    // A non-editable column takes no typing.
    press(2, 3, Qt::Key_7);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->text(2, 3), "");
}

TEST_F(SpreadGridTest, StartEditHookSetsTheStartingTextOrCancels)
{
    grid->setColumnEditable(3, true);
    grid->setText(3, 3, "1,200");
    bool cancel = false;
    QString typed;
    grid->setStartEditHook([&](qtmv::EditStart& e) {
        typed = e.typed;
        if (cancel)
            return false;
        e.text = grid->qtext(e.row, e.col) + e.typed;
        return true;
    });
    press(3, 3, Qt::Key_5);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(typed, QStringLiteral("5"));
    EXPECT_EQ(editor()->text(), QStringLiteral("1,2005"));
    grid->cancelEdit();
    EXPECT_EQ(grid->text(3, 3), "1,200");

    cancel = true;
    QTest::keyClick(view(), Qt::Key_F2);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_FALSE(grid->startEdit(3, 3));
}

TEST_F(SpreadGridTest, EndEditRefusalKeepsTheOldTextAndRunsOnce)
{
    QLineEdit elsewhere(&window);
    elsewhere.show();
    grid->setColumnEditable(4, true);
    grid->setText(2, 4, "舊");
    int calls = 0;
    grid->setEndEditHook([&](qtmv::EditEnd& e) {
        ++calls;
        EXPECT_EQ(e.oldText, QStringLiteral("舊"));
        elsewhere.setFocus();   // as a message box would take it
        if (e.text.size() > 3)
            return false;
        e.text = e.text.toUpper();
        return true;
    });
    QSignalSpy changed(grid, &SpreadGrid::cellChanged);

    ASSERT_TRUE(grid->startEdit(2, 4));
    editor()->setText(QStringLiteral("太長的說明"));
    EXPECT_FALSE(grid->finishEdit());
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->text(2, 4), "舊");
    EXPECT_EQ(changed.count(), 0);

    // Accepted, possibly changed by the hook.
    ASSERT_TRUE(grid->startEdit(2, 4));
    editor()->setText(QStringLiteral("ok"));
    EXPECT_TRUE(grid->finishEdit());
    EXPECT_EQ(grid->text(2, 4), "OK");
    EXPECT_EQ(changed.count(), 1);

    // Moving to another cell commits through the same hook.
    grid->setText(2, 4, "舊");
    ASSERT_TRUE(grid->startEdit(2, 4));
    editor()->setText(QStringLiteral("ab"));
    grid->setActiveCell(5, 1);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->text(2, 4), "AB");
    EXPECT_EQ(calls, 3);
}

TEST_F(SpreadGridTest, KeyFilterDropsOrChangesKeys)
{
    grid->setColumnEditable(3, true);
    grid->setColumnEditable(4, true);
    grid->setText(1, 3, "12");
    std::vector<QString> seen;
    grid->setKeyPressHook([&](qtmv::GridKey& k) {
        seen.push_back(k.text);
        if (k.col == 3)   // digits and the point only
            return k.text == QStringLiteral("\b") || k.text == QStringLiteral("\r")
                || (k.text.size() == 1 && (k.text[0].isDigit() || k.text[0] == u'.'));
        k.text = k.text.toUpper();
        return true;
    });

    press(1, 3, Qt::Key_X);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->text(1, 3), "12");

    QTest::keyClick(view(), Qt::Key_5);
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), Qt::Key_Y);
    QTest::keyClick(editor(), Qt::Key_Period);
    EXPECT_EQ(editor()->text(), QStringLiteral("5."));
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(grid->text(1, 3), "5.");
    EXPECT_EQ(seen.back(), QStringLiteral("\r"));

    press(1, 4, Qt::Key_A);
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), Qt::Key_B);
    EXPECT_EQ(editor()->text(), QStringLiteral("AB"));
}

TEST_F(SpreadGridTest, ListColumnsEditWithAFilledDropDown)
{
    grid->setColumnEditable(5, true);
    grid->setColumnChoices(5, {"OK", "NG"});
    grid->setText(1, 5, "OK");
    ASSERT_TRUE(grid->startEdit(1, 5));
    auto* combo = qobject_cast<QComboBox*>(grid->editor());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), QStringLiteral("OK"));
    QTest::keyClick(combo, Qt::Key_Down);   // steps through the list, stays open
    ASSERT_TRUE(grid->isEditing());
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(grid->text(1, 5), "NG");

    // The fill hook sees the cell's text first, as the code-list filler needs.
    QString seen;
    grid->setListFillHook([&](int, int, QComboBox& c) {
        seen = c.currentText();
        c.addItem(seen);
        c.addItem(QStringLiteral("機台2"));
    });
    ASSERT_TRUE(grid->startEdit(1, 5));
    combo = qobject_cast<QComboBox*>(grid->editor());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(seen, QStringLiteral("NG"));
    combo->setCurrentIndex(1);   // picked from the list: taken at once
    emit combo->activated(1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->text(1, 5), "機台2");
}

TEST_F(SpreadGridTest, KeyDownHookSeesDeleteF2AndF9)
{
    grid->setColumnEditable(2, true);
    grid->setText(4, 2, "1204-14");
    grid->setText(4, 3, "keep");
    std::vector<qtmv::GridKey> keys;
    grid->setKeyDownHook([&](const qtmv::GridKey& k) {
        keys.push_back(k);
        if (k.key == Qt::Key_F2 || k.key == Qt::Key_F9)
            return true;
        if (k.key == Qt::Key_Delete && k.col == 2) {
            grid->setText(k.row, k.col, "");
            return true;
        }
        return false;
    });

    press(4, 2, Qt::Key_F2);
    EXPECT_FALSE(grid->isEditing());   // swallowed: no editor by F2
    QTest::keyClick(view(), Qt::Key_Delete);
    EXPECT_EQ(grid->text(4, 2), "");
    ASSERT_GE(keys.size(), 2u);
    EXPECT_EQ(std::make_tuple(keys[1].key, keys[1].row, keys[1].col), std::make_tuple(int(Qt::Key_Delete), 4, 2));

    // Delete in a column that is not editable changes nothing.
    press(4, 3, Qt::Key_Delete);
    EXPECT_EQ(grid->text(4, 3), "keep");

    // In the editor Delete edits the text; function keys still reach the hook.
    keys.clear();
    ASSERT_TRUE(grid->startEdit(4, 2));
    editor()->setText(QStringLiteral("abc"));
    editor()->setCursorPosition(0);
    QTest::keyClick(editor(), Qt::Key_Delete);
    EXPECT_EQ(editor()->text(), QStringLiteral("bc"));
    QTest::keyClick(editor(), Qt::Key_F9);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key, Qt::Key_F9);
    EXPECT_TRUE(keys[0].editing);
    grid->cancelEdit();

    // Without a hook Delete clears an editable cell and reports the change.
    grid->setKeyDownHook({});
    grid->setText(5, 2, "x");
    QSignalSpy changed(grid, &SpreadGrid::cellChanged);
    press(5, 2, Qt::Key_Delete);
    EXPECT_EQ(grid->text(5, 2), "");
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(SpreadGridTest, ClicksReportRowAndColumnAndHeadingsAsZero)
{
    QSignalSpy clicks(grid, &SpreadGrid::cellClicked);
    QSignalSpy presses(grid, &SpreadGrid::mousePressed);

    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellCenter(view(), 5, 2));
    QHeaderView* top = view()->horizontalHeader();
    QTest::mouseClick(top->viewport(), Qt::LeftButton, {},
                      QPoint(top->sectionViewportPosition(2) + top->sectionSize(2) / 2, top->height() / 2));
    QHeaderView* side = view()->verticalHeader();
    QTest::mouseClick(side->viewport(), Qt::LeftButton, {},
                      QPoint(side->width() / 2, side->sectionViewportPosition(6) + side->sectionSize(6) / 2));

    ASSERT_EQ(clicks.count(), 3);
    EXPECT_EQ(clicks.at(0), (QList<QVariant>{5, 2}));
    EXPECT_EQ(clicks.at(1), (QList<QVariant>{0, 3}));
    EXPECT_EQ(clicks.at(2), (QList<QVariant>{7, 0}));
    EXPECT_EQ(presses.count(), 3);
    EXPECT_EQ(grid->activeRow(), 5);   // a heading click does not move the cell
    EXPECT_EQ(grid->activeCol(), 2);

    // The frozen part reports its cells the same way.
    grid->setFrozenColumns(2);
    QTableView* frozen = grid->frozenView();
    QTest::mouseClick(frozen->viewport(), Qt::LeftButton, {}, cellCenter(frozen, 3, 1));
    ASSERT_EQ(clicks.count(), 4);
    EXPECT_EQ(clicks.at(3), (QList<QVariant>{3, 1}));
    EXPECT_EQ(grid->activeRow(), 3);
}

TEST_F(SpreadGridTest, DisabledGridRefusesEditingAndTurnsGrey)
{
    grid->setColumnEditable(4, true);
    grid->setText(2, 4, "text");
    grid->setGridEnabled(false);
    EXPECT_NE(grid->gridBackground(), QColor(Qt::white));
    EXPECT_FALSE(grid->startEdit(2, 4));
    press(2, 4, Qt::Key_Z);
    QTest::keyClick(view(), Qt::Key_Delete);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->text(2, 4), "text");

    grid->setGridEnabled(true);
    EXPECT_TRUE(grid->startEdit(2, 4));
}

TEST_F(SpreadGridTest, FrozenColumnsStayVisibleAndEditInPlace)
{
    grid->setMaxCol(40);
    grid->setFrozenColumns(3);
    QTableView* frozen = grid->frozenView();
    ASSERT_TRUE(frozen->isVisible());
    EXPECT_EQ(frozen->width(), 3 * SpreadGrid::kDefaultColumnWidth);

    grid->setActiveCell(1, 40);
    QCoreApplication::processEvents();
    const QRect last = view()->visualRect(view()->model()->index(0, 39));
    EXPECT_GE(last.left(), frozen->width());   // not under the frozen part
    EXPECT_LE(last.right(), view()->viewport()->width());
    EXPECT_LT(view()->columnViewportPosition(0), 0);   // the main view scrolled
    EXPECT_EQ(frozen->columnViewportPosition(0), 0);
    EXPECT_EQ(frozen->geometry().left(), view()->viewport()->geometry().left());

    // Left from the first scrolling column reaches the frozen ones.
    press(1, 4, Qt::Key_Left);
    EXPECT_EQ(grid->activeCol(), 3);

    // Down far in a frozen column scrolls both parts together.
    grid->setMaxRow(300);
    grid->setActiveCell(250, 1);
    QCoreApplication::processEvents();
    EXPECT_GT(view()->verticalScrollBar()->value(), 0);
    EXPECT_EQ(frozen->verticalScrollBar()->value(), view()->verticalScrollBar()->value());

    grid->setColumnEditable(1, true);
    ASSERT_TRUE(grid->startEdit(250, 1));
    EXPECT_EQ(grid->editor()->parentWidget(), frozen->viewport());
    editor()->setText(QStringLiteral("A1130"));
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(grid->text(250, 1), "A1130");
    EXPECT_EQ(grid->activeCol(), 2);
    EXPECT_TRUE(view()->hasFocus());
}

} // namespace
