// The downstream vendor windows driven with keys and clicks: vendor entry,
// the lookups, the request shown and the result handed back, refusals that
// keep the window open, the printing variant and the single-row order.
#include "vendors/ui/DownstreamVendorWindow.h"

#include "common/EntryText.h"
#include "common/HandOver.h"
#include "lookups/ui/VendorLookups.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/ui/tests/TestApp.h"
#include "platform/ui/tests/TypeKeys.h"
#include "vendors/tests/VendorFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace qtmv;
using namespace qtmv::vendors;

namespace {

// Types over the box's text, as a user does after Ctrl+A.
void Type(QWidget* w, const QString& text, bool enter = false)
{
    w->setFocus();
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    qtmv::test::TypeKeys(w, text);
    if (enter)
        QTest::keyClick(w, Qt::Key_Return);
}

std::string Joined(const QStringList& texts) { return texts.join('/').toStdString(); }

class DownstreamVendorWindowTest : public vendors::test::VendorFixture, qtmv::test::WithApp {
protected:
    DownstreamVendorWindowTest()
    {
        session_.ProductionRights = std::string(20, '0');
        CurrentSession() = session_;
    }

    // The request of the kind's row 1 of work order P001, piece D001.
    static VendorRequest request(const char* kindName)
    {
        VendorRequest r;
        r.kind = KindByDisplayName(kindName);
        r.po = "P001";
        r.seq = 1;
        r.order = "1";
        r.preScheduleNo = "D001";
        return r;
    }

    template <class Window = frm下游廠商>
    Window& open(const VendorRequest& r)
    {
        w = std::make_unique<Window>(r, &caller);
        w->show();
        return static_cast<Window&>(*w);
    }
    QWidget caller;
    std::unique_ptr<frm下游廠商> w;
};

// A code or exact short name typed is taken at once; anything else opens the
// general lookup with it as filter, as the "..." button does.
TEST_F(DownstreamVendorWindowTest, VendorTypedOrLookedUpFillsItsFieldsAndAConfirmStoresTheRowAndHandsItBack)
{
    auto& d = open(request("M-運送"));
    EXPECT_FALSE(d.txt收件人->isHidden());
    QStringList opened;   // per lookup: its window, kind and filter
    d.runModal = [&](QDialog& dlg) {
        opened << dlg.objectName() << QString::fromStdString(gLookupKind) << QString::fromStdString(gLookupFilter);
        gPick[0] = "V02";
        gPick[4] = "陳小姐";
    };
    Type(d.txt廠商代號, QStringLiteral("大華"), true);
    QTest::mouseClick(d.scmd廠商代號1, Qt::LeftButton);
    EXPECT_EQ(Joined({d.txt廠商代號->text(), d.txt收件人->text(), d.txt廠商代號1->text()}), "V02/陳小姐/V02");
    EXPECT_EQ(Joined(opened), "frm廠商輔助畫面1/所有廠商/大華/frm廠商輔助畫面3/所有廠商/");

    opened.clear();
    Type(d.txt廠商代號, QStringLiteral("永豐上光"), true);
    Type(d.txt廠商代號1, QStringLiteral("v02"), true);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(Joined({d.txt廠商代號->text(), d.txt地址->text(), d.txt收件人->text(), d.txt廠商代號1->text(),
                      d.lbl廠商簡稱1->text()}),
              "V01/台北市中山路1號/林先生/V02/大華裝訂");

    // The row comes in through the request and the confirm hands back what it
    // stored, as the database holds it; the options are handed back also when
    // the row cannot be stored, and the window then stays open.
    VendorRequest r = request("M-運送");
    r.fields.downCode = "V02";
    r.fields.note = "輕放";
    r.fields.recipient = "陳小姐";
    r.mainOptions.noSalesperson = true;
    r.options.noCustomer = true;
    auto& row = open(r);
    EXPECT_EQ(Joined({row.txt工單單號->text(), row.txt序->text(), row.txt順序->text(), row.txt廠商代號->text(),
                      row.txt收件人->text()}),
              "P001/1/1/V02/陳小姐");
    EXPECT_TRUE(row.chk不印客戶->isChecked());
    EXPECT_FALSE(row.chk不印金額->isChecked());

    Type(row.txt廠商代號, QStringLiteral("V01"), true);
    Type(row.txt注意事項, QStringLiteral("易碎 "));
    Type(row.txt收件人, QStringLiteral("林小姐"));
    QTest::mouseClick(row.scmd確定, Qt::LeftButton);
    EXPECT_EQ(row.result(), QDialog::Accepted);
    const VendorResult& result = row.vendorResult();
    EXPECT_TRUE(result.returned && result.stored);
    const VendorFields& f = result.fields;
    // As Confirm stored them (trimmed): DownstreamVendorTest reads the row back.
    EXPECT_EQ(f.downCode + "/" + f.note + "/" + f.recipient + "/" + result.optionsCode, "V01/易碎/林小姐/0101000");

    r.preScheduleNo = "D999";
    r.options = {};
    auto& missing = open(r);
    QTest::mouseClick(missing.scmd確定, Qt::LeftButton);
    EXPECT_TRUE(missing.isVisible());
    EXPECT_FALSE(missing.vendorResult().returned || missing.vendorResult().stored);
    EXPECT_EQ(missing.vendorResult().optionsCode, "0100000");

    // The printing variant shows and hands back the paper quantities.
    r = request("D-印刷");
    r.fields.reams = 3;
    auto& paper = open<frm下游廠商_印刷>(r);
    ASSERT_TRUE(paper.txt用紙令數);
    EXPECT_EQ(paper.txt用紙令數->text(), "3");
    Type(paper.txt用紙令數, "12.5");
    Type(paper.txt用紙張數, "250");
    QTest::mouseClick(paper.scmd確定, Qt::LeftButton);
    EXPECT_EQ(paper.vendorResult().fields.reams, 12.5);
    EXPECT_EQ(paper.vendorResult().fields.sheets, 250);
}

// A query-only user, a pasted tab and a note over its bytes are told,
// nothing is stored or handed back, and the window stays open with what was
// typed. On the printing variant: the plain window lacks only its paper
// fields and refuses through the same confirm.
TEST_F(DownstreamVendorWindowTest, RefusedConfirmKeepsTheWindowAndItsTypingAndThePrintButtonPreviewsOrAsksToSaveFirst)
{
    const std::string before = dump();
    frm下游廠商& d = open<frm下游廠商_印刷>(request("D-印刷"));
    EXPECT_TRUE(d.txt收件人->isHidden());
    told();
    CurrentSession().ProductionRights = "000000000001";
    Type(d.txt廠商代號, QStringLiteral("V01"), true);
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);
    CurrentSession().ProductionRights = session_.ProductionRights;
    QGuiApplication::clipboard()->setText(QStringLiteral("02-2222\t#12"));
    Type(d.txt電話, {});
    QTest::keyClick(d.txt電話, Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);
    Type(d.txt電話, QStringLiteral("02-2222"));
    Type(d.txt注意事項, QString(51, QChar(0x8F15)));   // 102 bytes
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);
    EXPECT_EQ(told(), (std::vector<std::string>{"您的權限僅可以查詢！", ControlCharacterMessage("電話"),
                                                TooLongMessage(100)}));
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.vendorResult().returned);
    EXPECT_EQ(d.txt廠商代號->text(), "V01");
    EXPECT_EQ(d.txt注意事項->text().size(), 51);
    EXPECT_EQ(dump(), before);

    // The row's order shows its note and address, and its amount unless asked
    // not to; the print button previews it, or asks to save the row first.
    db().exec("update PRINTING_S set VENDER = 'V01', AMT = 4321, 注意事項 = '小心輕放', 地址 = '台北市中山路1號' "
              "where ID = 'D001'");
    ConfirmInput in = input(printing);
    for (const bool hidden : {false, true}) {
        in.options.noAmounts = hidden;
        const auto doc = SingleOrder(in, session_).document;
        ASSERT_TRUE(doc);
        EXPECT_TRUE(doc->find(0, QStringLiteral("小心輕放")));
        EXPECT_TRUE(doc->find(0, QStringLiteral("台北市中山路1號")));
        EXPECT_EQ(doc->pagesWith(QStringLiteral("4,321")).empty(), hidden);
    }

    int previews = 0;
    for (const char* preScheduleNo : {"", "D001"}) {   // the row not saved yet, and saved
        VendorRequest r = request("D-印刷");
        r.preScheduleNo = preScheduleNo;
        auto& d = open<frm下游廠商_印刷>(r);
        d.runModal = [&](QDialog& dlg) { previews += dynamic_cast<report::PreviewDialog*>(&dlg) != nullptr; };
        QTest::mouseClick(d.scmd列印, Qt::LeftButton);
        EXPECT_EQ(previews, r.preScheduleNo.empty() ? 0 : 1) << "pre-schedule number '" << preScheduleNo << "'";
    }
    EXPECT_EQ(told(), std::vector<std::string>{kSaveFirstMessage});
}

} // namespace
