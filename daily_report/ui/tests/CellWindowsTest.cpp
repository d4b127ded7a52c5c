// The cells of the process grids that open another window for their row:
// "耗時" the time window, "單筆" the downstream vendor window. The row goes
// in as the request; a confirmed result lands in the row's cells as the
// window stored it, not pending. What the windows do with a request and
// what they store are their own tests' (TimeWindowTest,
// DownstreamVendorWindowTest).
#include "daily_report/ui/tests/WindowFixture.h"
#include "prescheduling/ui/TimeWindow.h"
#include "vendors/ui/DownstreamVendorWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace qtmv;
using W = frm工務預排作業_耗時;

namespace {

using CellWindowsTest = daily::uitest::RecordSideFixture;
using daily::uitest::TypeInto;

// A stint of 1.75 hours on 1131204 that finished `quantity`, typed in.
void TypeStint(W& w, const char* quantity)
{
    for (const auto& [col, text] : {std::pair{W::c開始, "1131204 0830"}, {W::c結束, "1131204 1015"}, {W::c完工數量, quantity}})
        TypeInto(*w.fml明細, 1, col, QString::fromLatin1(text));
}

// One printing row: a confirmed time and a confirmed vendor land in the row
// as the windows stored them; a remark the clerk typed in the row stays when
// the quantity comes back.
TEST_F(CellWindowsTest, ConfirmedTimeAndVendorLandInTheRowAsStoredAndAnUnconfirmedTimeChangesNothing)
{
    db().exec("insert into VENDER (ID, SNAME, TEL1, ADD1) values ('V01', '永豐上光', '02-2222', '台北市')");
    daily::ProcessPage& p = loadOnePiece(daily::test::KindNamed("D-印刷"), "P001", 1, "D001");
    openAndDrive<W>(p, 1, "耗時", [&](W& w) {
        EXPECT_EQ(w.recordNumber(), "D001");   // the row's own record, not the filter box
        TypeStint(w, "500");
        w.txt完工日期->setText("1131204");
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    });
    const auto& l = p.layout();
    EXPECT_EQ(p.grid()->text(1, l.column("耗時")), "1.75");
    EXPECT_EQ(p.grid()->text(1, l.finishDateCol), "1131204");
    EXPECT_EQ(p.grid()->text(1, l.finishRemarkCol), "完工數量: 500");
    // The window stored them: the row shows them as stored, neither pending
    // nor to be taken back (that the piece holds the same: TimeWindowTest).
    EXPECT_EQ(p.pendingCells(), 0);
    EXPECT_FALSE(p.undo());

    // The vendor window.
    openAndDrive<frm下游廠商>(p, 1, "單筆", [&](frm下游廠商& w) {
        w.txt廠商代號->setText("V01");
        QTest::keyClick(w.txt廠商代號, Qt::Key_Return);
        w.txt用紙令數->setText("2.5");
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    });
    for (const auto& [heading, text] : {std::pair<const char*, const char*>{"下游廠商代號", "V01"}, {"下游廠商", "永豐上光"},
                                        {"電話", "02-2222"}, {"地址", "台北市"}, {"用紙令數", "2.5"}}) {
        const int col = p.layout().column(heading);
        ASSERT_GT(col, 0) << heading;
        EXPECT_EQ(p.grid()->text(1, col), text) << heading;
    }
    EXPECT_EQ(p.pendingCells(), 0);   // the window stored them
    EXPECT_FALSE(p.undo());

    // A remark typed in the row.
    const int remarkCol = p.layout().finishRemarkCol;
    p.grid()->setActiveCell(1, remarkCol);
    p.grid()->tableView()->setFocus();
    qtmv::test::TypeKey(p.grid()->tableView(), QChar(u'夜'));
    ASSERT_TRUE(p.grid()->isEditing());
    qtmv::test::TypeKeys(p.grid()->editor(), QStringLiteral("班完成一半"));
    QTest::keyClick(p.grid()->editor(), Qt::Key_Return);
    ASSERT_EQ(p.grid()->text(1, remarkCol), "夜班完成一半");

    openAndDrive<W>(p, 1, "耗時", [&](W& w) {
        TypeStint(w, "807");
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    });
    // The piece held only an earlier quantity, which the time save replaces
    // (TimeRecordTest); the row keeps the clerk's text, and the main save
    // stores it.
    EXPECT_EQ(p.grid()->text(1, remarkCol), "夜班完成一半");
    messages.answer(MsgAnswer::Yes);
    side->save();
    EXPECT_EQ(value("select 完工說明 from PRINTING_S"), "夜班完成一半");

    // Closed without confirming, the time window changes nothing, in another
    // kind's grid either.
    daily::ProcessPage& glued =
        loadOnePiece(daily::test::KindNamed("H-糊工"), "P002", 3, "D009", "車別 = 'G2', 耗時 = '0.50'");

    bool returned = true;
    openAndDrive<W>(glued, 1, "耗時", [&](W& w) {
        const QString heading = w.lbl標題->text();
        EXPECT_TRUE(heading.contains(QStringLiteral("H-糊工")) && heading.contains(QStringLiteral("P002-3")))
            << heading.toStdString();
        EXPECT_EQ(w.txt總耗時->text(), QStringLiteral("0.50"));
        QTest::mouseClick(w.ssc回前畫面, Qt::LeftButton);
        returned = w.timeResult().returned;
    }, true);
    EXPECT_EQ(glued.grid()->text(1, glued.layout().column("耗時")), "0.50");
    EXPECT_FALSE(glued.flags().rowFlagged(1));
    EXPECT_FALSE(returned);
}

TEST_F(CellWindowsTest, EveryGridOpensItsVendorWindowForTheRow)
{
    int n = 0;
    for (const ProcessKind& k : ProcessKinds()) {
        SCOPED_TRACE(k.displayName);
        const std::string po = "P" + std::to_string(++n);
        daily::ProcessPage& p = loadOnePiece(k, po, 2, "D00" + std::to_string(n), "注意事項 = '輕放'");
        QStringList shown;   // window, work order, line, note
        openAndDrive<frm下游廠商>(p, 1, "單筆", [&](frm下游廠商& w) {
            shown << w.objectName() << w.txt工單單號->text() << w.txt序->text() << w.txt注意事項->text();
        });
        const std::string window = k.is(KindId::Printing) ? "frm下游廠商_印刷" : "frm下游廠商";
        EXPECT_EQ(shown.join('/').toStdString(), window + "/" + po + "/2/輕放");
        EXPECT_FALSE(p.flags().rowFlagged(1));
    }
}

} // namespace
