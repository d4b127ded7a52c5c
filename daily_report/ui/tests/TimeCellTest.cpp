// The "耗時" cell of the process grids: the window opens for the row, and a
// confirmed result lands in the row's cells as the window stored it.
#include "daily_report/ui/tests/WindowFixture.h"
#include "platform/ui/tests/TypeKeys.h"
#include "prescheduling/ui/TimeWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace qtmv;
using W = frm工務預排作業_耗時;

namespace {

using TimeCellTest = daily::uitest::RecordSideFixture;

void TypeInto(W& w, int col, const char* text)
{
    w.fml明細->setActiveCell(1, col);
    qtmv::test::TypeIntoCell(w.fml明細->tableView(), QString::fromLatin1(text));
}

TEST_F(TimeCellTest, ConfirmedResultGoesIntoThePrintingRowAsStored)
{
    daily::ProcessPage& p = loadOnePrintingPiece();

    std::string handedRecord;
    openAndDrive<W>(p, 1, "耗時", [&](W& w) {
        handedRecord = w.recordNumber();
        TypeInto(w, W::c開始, "1131204 0830");
        TypeInto(w, W::c結束, "1131204 1015");
        TypeInto(w, W::c完工數量, "500");
        w.txt完工日期->setText("1131204");
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    });
    EXPECT_EQ(handedRecord, "D001"); // the row's own record, not the filter box
    const auto& l = p.layout();
    EXPECT_EQ(p.grid()->text(1, l.column("耗時")), "1.75");
    EXPECT_EQ(p.grid()->text(1, l.finishDateCol), "1131204");
    // The window stored them: the row shows them as stored, neither pending
    // nor to be taken back, and the piece holds the same.
    EXPECT_EQ(p.pendingCells(), 0);
    EXPECT_FALSE(p.flags().rowFlagged(1));
    EXPECT_FALSE(p.undo());
    EXPECT_EQ(p.grid()->text(1, l.finishRemarkCol), "完工數量: 500");
    EXPECT_EQ(value("select 耗時 || '/' || FDATE || '/' || 完工說明 from PRINTING_S"), "1.75/1131204/完工數量: 500");
}

TEST_F(TimeCellTest, RemarkTypedInTheRowStaysWhenTheQuantityComesBack)
{
    daily::ProcessPage& p = loadOnePrintingPiece();
    const int remarkCol = p.layout().finishRemarkCol;
    p.grid()->setActiveCell(1, remarkCol);
    p.grid()->tableView()->setFocus();
    qtmv::test::TypeKey(p.grid()->tableView(), QChar(u'夜'));
    ASSERT_TRUE(p.grid()->isEditing());
    qtmv::test::TypeKeys(p.grid()->editor(), QStringLiteral("班完成一半"));
    QTest::keyClick(p.grid()->editor(), Qt::Key_Return);
    ASSERT_EQ(p.grid()->text(1, remarkCol), "夜班完成一半");

    openAndDrive<W>(p, 1, "耗時", [&](W& w) {
        TypeInto(w, W::c開始, "1131204 0830");
        TypeInto(w, W::c結束, "1131204 1015");
        TypeInto(w, W::c完工數量, "807");
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    });
    // The piece had no remark yet: it takes the quantity; the row keeps the
    // clerk's text, and the main save stores it.
    EXPECT_EQ(value("select 完工說明 from PRINTING_S"), "完工數量: 807");
    EXPECT_EQ(p.grid()->text(1, remarkCol), "夜班完成一半");
    messages.answer(MsgAnswer::Yes);
    side->save();
    EXPECT_EQ(value("select 完工說明 from PRINTING_S"), "夜班完成一半");
}

TEST_F(TimeCellTest, ClosedWithoutConfirmingChangesNothingInOtherGridsEither)
{
    const ProcessKind& gluing = daily::test::KindNamed("H-糊工");
    workOrder("P002");
    line(gluing, "P002", 3);
    piece(gluing, "D009", 1, "P002", 3);
    db().exec("update PASTE_S set 車別 = 'G2', 耗時 = '0.50' where ID = 'D009'");
    daily::ProcessPage& p = loadKind("H-糊工");
    ASSERT_EQ(p.records(), 1);
    const int timeCol = p.layout().column("耗時");

    std::string heading, total;
    bool returned = true;
    openAndDrive<W>(p, 1, "耗時", [&](W& w) {
        heading = w.lbl標題->text().toStdString();
        total = w.txt總耗時->text().toStdString();
        QTest::mouseClick(w.ssc回前畫面, Qt::LeftButton);
        returned = w.timeResult().returned;
    }, true);
    EXPECT_NE(heading.find("H-糊工"), std::string::npos);
    EXPECT_NE(heading.find("P002-3"), std::string::npos);
    EXPECT_EQ(total, "0.50");
    EXPECT_EQ(p.grid()->text(1, timeCol), "0.50");
    EXPECT_FALSE(p.flags().rowFlagged(1));
    EXPECT_FALSE(returned);
}

} // namespace
