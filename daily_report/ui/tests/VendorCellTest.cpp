// The "單筆" cell of the process grids: the downstream vendor window opens
// for the row with its values, and a confirmed result lands in the row's
// cells as stored (the window saved it), not pending.
#include "vendors/ui/DownstreamVendorWindow.h"

#include "daily_report/ui/tests/WindowFixture.h"

#include <QLineEdit>
#include <QPushButton>

using namespace qtmv;

namespace {

class VendorCellTest : public daily::uitest::RecordSideFixture {
protected:
    VendorCellTest()
    {
        db().exec("insert into VENDER (ID, SNAME, TEL1, ADD1) values ('V01', '永豐上光', '02-2222', '台北市')");
    }
};

TEST_F(VendorCellTest, EveryGridOpensItsWindowForTheRow)
{
    int n = 0;
    for (const ProcessKind& k : ProcessKinds()) {
        const std::string po = "P" + std::to_string(++n);
        workOrder(po);
        line(k, po, 2);
        piece(k, "D00" + std::to_string(n), 1, po, 2);
        db().exec("update [" + std::string(k.scheduledTable) + "] set 注意事項 = '輕放' where PO = '" + po + "'");
        daily::ProcessPage& p = loadKind(k.displayName);
        ASSERT_EQ(p.records(), 1) << k.displayName;
        QStringList shown;   // window, work order, line, note
        openAndDrive<frm下游廠商>(p, 1, "單筆", [&](frm下游廠商& w) {
            shown << w.objectName() << w.txt工單單號->text() << w.txt序->text() << w.txt注意事項->text();
        });
        const std::string window = k.is(KindId::Printing) ? "frm下游廠商_印刷" : "frm下游廠商";
        EXPECT_EQ(shown.join('/').toStdString(), window + "/" + po + "/2/輕放") << k.displayName;
        EXPECT_FALSE(p.flags().rowFlagged(1)) << k.displayName;
    }
}

TEST_F(VendorCellTest, ConfirmedVendorLandsInTheRowAsStored)
{
    daily::ProcessPage& p = loadOnePrintingPiece();
    openAndDrive<frm下游廠商>(p, 1, "單筆", [&](frm下游廠商& w) {
        w.txt廠商代號->setText("V01");
        QTest::keyClick(w.txt廠商代號, Qt::Key_Return);
        w.txt用紙令數->setText("2.5");
        QTest::mouseClick(w.scmd確定, Qt::LeftButton);
    });
    const daily::GridLayout& l = p.layout();
    for (const auto& [heading, text] : {std::pair<const char*, const char*>{"下游廠商代號", "V01"},
                                        {"下游廠商", "永豐上光"},
                                        {"電話", "02-2222"},
                                        {"地址", "台北市"},
                                        {"用紙令數", "2.5"}}) {
        const int col = l.column(heading);
        ASSERT_GT(col, 0) << heading;
        EXPECT_EQ(p.grid()->text(1, col), text) << heading;
        EXPECT_FALSE(p.flags().isFlagged(1, col)) << heading;   // the window stored it
    }
    EXPECT_EQ(value("select 下游廠商代號 || '/' || 用紙令數 from PRINTING_S"), "V01/2.5");
    EXPECT_EQ(p.pendingCells(), 0);
    EXPECT_FALSE(p.undo());
}

} // namespace
