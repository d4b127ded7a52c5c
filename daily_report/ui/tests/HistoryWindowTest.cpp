// F8 shows what a save will do before it is done, and the change history
// of a row opens from the toolbar or Ctrl+H.
#include "printing/HistoryReport.h"
#include "daily_report/ui/HistoryWindow.h"
#include "daily_report/ui/tests/WindowFixture.h"

#include <QAction>
#include <QPushButton>
#include <QTableWidget>

using namespace qtmv;

namespace {

class HistoryWindowTest : public daily::uitest::WindowFixture {
protected:
    long long historyRows() { return db.count("select * from [日報異動紀錄]"); }
    std::string finishDate() { return db.value("select FDATE from PRINTING_S where ID = '1131201001' and INO = 4"); }
};

TEST_F(HistoryWindowTest, F8PreviewsTheLinesClosingNoWritesNothingYesWritesItAndTheHistoryShowsIt)
{
    FixedClock clock({2024, 12, 4, 14, 5, 0});
    auto w = open();
    w->setClock(clock);
    load(*w, "D-印刷", "二號機");
    ASSERT_EQ(w->loadedRecords(printing), 1);   // P0D line 1: its only open piece
    SpreadGrid* g = w->currentGrid();
    QTableView* v = g->tableView();
    clickCell(*g, 1, pl.finishDateCol);
    const std::string stamp = g->text(1, pl.finishDateCol);
    ASSERT_FALSE(stamp.empty());

    messages.answer(MsgAnswer::No);
    QTest::keyClick(v, Qt::Key_F8);
    ASSERT_EQ(messages.shown().size(), 1u);
    const std::string question = messages.shown()[0].text;
    const std::string head = "確定儲存資料?\n\n";
    ASSERT_TRUE(question.starts_with(head)) << question;
    const std::string list = question.substr(head.size());
    EXPECT_NE(list.find("工單製程結案：P0D 序1"), std::string::npos) << list;
    EXPECT_EQ(finishDate(), "");
    EXPECT_EQ(historyRows(), 0);

    messages.clear();
    messages.answer(MsgAnswer::Yes);
    QTest::keyClick(v, Qt::Key_F8);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, question);
    EXPECT_EQ(messages.shown()[1].text, "資料儲存完畢!\n\n" + list);
    EXPECT_EQ(finishDate(), stamp);

    // Ctrl+H on the row: the history window lists the change and prints it.
    bool printed = false;
    g->setActiveCell(1, 1);
    EXPECT_TRUE(daily::uitest::DriveModal<frm日報異動紀錄>([&] { QTest::keyClick(v, Qt::Key_H, Qt::ControlModifier); },
                                                        [&](frm日報異動紀錄& h) {
        ASSERT_EQ(h.fml異動紀錄->rowCount(), 1);
        EXPECT_EQ(h.fml異動紀錄->item(0, 5)->text(), QStringLiteral("完工日"));
        EXPECT_EQ(h.fml異動紀錄->item(0, 7)->text(), QString::fromStdString(stamp));
        h.runModal = [&](QDialog&) { printed = true; };
        h.scmd列印->click();
        const auto doc = daily::HistoryReport("", h.entries());
        EXPECT_FALSE(doc.pagesWith(QString::fromStdString(stamp)).empty());
    }));
    EXPECT_TRUE(printed);
    // The toolbar button opens it too.
    EXPECT_TRUE(daily::uitest::DriveModal<frm日報異動紀錄>([&] { w->toolbars().actHistory->trigger(); },
                                                        [](frm日報異動紀錄&) {}));
}

} // namespace
