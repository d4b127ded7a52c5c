// The downstream vendor windows driven with keys and clicks: vendor entry,
// the lookup, the confirm read back from the database, rights, the request
// and the result, the printing variant and the single-row order.
#include "vendors/ui/DownstreamVendorWindow.h"

#include "common/EntryText.h"
#include "common/HandOver.h"
#include "lookups/ui/VendorLookups.h"
#include "platform/os/MessageBox.h"
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

void Type(QWidget* w, const QString& text, bool enter = false)
{
    w->setFocus();
    qtmv::test::TypeKeys(w, text);
    if (enter)
        QTest::keyClick(w, Qt::Key_Return);
}

// Pastes as a user does with Ctrl+V.
void Paste(QWidget* w, const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
    w->setFocus();
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
}

class DownstreamVendorWindowTest : public vendors::test::VendorFixture, qtmv::test::WithApp {
protected:
    DownstreamVendorWindowTest()
    {
        session_.ProductionRights = std::string(20, '0');
        savedSession_ = CurrentSession();
        CurrentSession() = session_;
    }
    ~DownstreamVendorWindowTest() override
    {
        w.reset();
        CurrentSession() = savedSession_;
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
        auto* made = new Window(r, &caller);
        w.reset(made);
        w->show();
        return *made;
    }
    template <class Window = frm下游廠商>
    Window& open(const char* kindName)
    {
        return open<Window>(request(kindName));
    }
    QWidget caller;
    std::unique_ptr<frm下游廠商> w;
    Session savedSession_;
    ScriptedMessages messages_;
};

TEST_F(DownstreamVendorWindowTest, ShortNameTypedFillsCodePhoneAndAddress)
{
    auto& d = open("E-上光");
    Type(d.txt廠商代號, QStringLiteral("永豐上光"), true);
    EXPECT_EQ(d.txt廠商代號->text(), "V01");
    EXPECT_EQ(d.txt地址->text(), QStringLiteral("台北市中山路1號"));
    EXPECT_TRUE(d.txt收件人->isHidden());

    Type(d.txt廠商代號1, QStringLiteral("v02"), true);
    EXPECT_EQ(d.txt廠商代號1->text(), "V02");
    EXPECT_EQ(d.lbl廠商簡稱1->text(), QStringLiteral("大華裝訂"));
    EXPECT_EQ(d.txt廠商代號->text(), "V01");
}

TEST_F(DownstreamVendorWindowTest, UnmatchedCodeOpensTheGeneralLookupWithItAsFilter)
{
    auto& d = open("M-運送");
    EXPECT_FALSE(d.txt收件人->isHidden());
    std::string opened, kindSeen, filterSeen;
    d.runModal = [&](QDialog& dlg) {
        opened = dlg.objectName().toStdString();
        kindSeen = gLookupKind;
        filterSeen = gLookupFilter;
        gPick[0] = "V02";
        gPick[4] = "陳小姐";
    };
    Type(d.txt廠商代號, QStringLiteral("大華"), true);
    EXPECT_EQ(opened, "frm廠商輔助畫面1");
    EXPECT_EQ(kindSeen, "所有廠商");
    EXPECT_EQ(filterSeen, "大華");
    EXPECT_EQ(d.txt廠商代號->text(), "V02");
    EXPECT_EQ(d.txt收件人->text(), QStringLiteral("陳小姐"));

    opened.clear();
    QTest::mouseClick(d.scmd廠商代號1, Qt::LeftButton);
    EXPECT_EQ(opened, "frm廠商輔助畫面3");
    EXPECT_EQ(d.txt廠商代號1->text(), "V02");
}

TEST_F(DownstreamVendorWindowTest, ConfirmStoresTheRowAndHandsItBack)
{
    VendorRequest r = request("E-上光");
    r.mainOptions.noCompanyName = true;
    r.options.noAmounts = true;
    auto& d = open(r);
    Type(d.txt廠商代號, QStringLiteral("V01"), true);
    Type(d.txt注意事項, QStringLiteral("小心輕放"));
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);

    EXPECT_EQ(column(varnishing, "下游廠商代號 || '/' || 注意事項"), "V01/小心輕放");
    EXPECT_EQ(d.vendorResult().optionsCode, "1000010");
    EXPECT_TRUE(d.vendorResult().returned);
    EXPECT_EQ(d.vendorResult().fields.note, "小心輕放");
    EXPECT_TRUE(d.vendorResult().stored);
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(DownstreamVendorWindowTest, QueryOnlyUserCannotConfirm)
{
    CurrentSession().ProductionRights = "000000000001";
    auto& d = open("E-上光");
    Type(d.txt廠商代號, QStringLiteral("V01"), true);
    const std::string before = dump();
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);
    EXPECT_EQ(dump(), before);
    EXPECT_FALSE(d.vendorResult().returned);
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "您的權限僅可以查詢！");
}

// Both windows check typed fields alike: a pasted tab or a note over its
// bytes is told and nothing is stored or handed back; the window stays open
// with what was typed.
TEST_F(DownstreamVendorWindowTest, FieldsWithControlCharactersOrTooManyBytesAreRefusedInBothWindows)
{
    const std::string before = dump();
    for (const bool printingVariant : {false, true}) {
        frm下游廠商& d = printingVariant ? static_cast<frm下游廠商&>(open<frm下游廠商_印刷>("D-印刷")) : open("E-上光");
        messages_.clear();
        Paste(d.txt電話, QStringLiteral("02-2222\t#12"));
        QTest::mouseClick(d.scmd確定, Qt::LeftButton);
        QTest::keyClick(d.txt電話, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(d.txt電話, Qt::Key_Delete);
        Type(d.txt注意事項, QString(51, QChar(0x8F15)));   // 102 bytes
        QTest::mouseClick(d.scmd確定, Qt::LeftButton);
        std::vector<std::string> told;
        for (const auto& m : messages_.shown())
            told.push_back(m.text);
        EXPECT_EQ(told, (std::vector<std::string>{ControlCharacterMessage("電話"), TooLongMessage(100)}));
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(d.vendorResult().returned);
        EXPECT_EQ(d.txt注意事項->text().size(), 51);
    }
    EXPECT_EQ(dump(), before);
}

// The row comes in through the request and the confirm hands back what it
// stored, as the database holds it; options are handed back also when the
// row cannot be stored.
TEST_F(DownstreamVendorWindowTest, RequestOpensTheWindowAndTheResultSaysWhatWasStored)
{
    VendorRequest r = request("M-運送");
    r.fields.downCode = "V02";
    r.fields.note = "輕放";
    r.fields.recipient = "陳小姐";
    r.mainOptions.noSalesperson = true;
    r.options.noCustomer = true;
    auto& d = open(r);
    EXPECT_EQ(d.txt工單單號->text() + "/" + d.txt序->text() + "/" + d.txt順序->text(), "P001/1/1");
    EXPECT_EQ(d.txt廠商代號->text(), "V02");
    EXPECT_EQ(d.txt收件人->text(), QStringLiteral("陳小姐"));
    EXPECT_TRUE(d.chk不印客戶->isChecked());
    EXPECT_FALSE(d.chk不印金額->isChecked());
    EXPECT_FALSE(d.vendorResult().returned);

    d.txt注意事項->setFocus();
    QTest::keyClick(d.txt注意事項, Qt::Key_A, Qt::ControlModifier);
    Type(d.txt注意事項, QStringLiteral("易碎 "));
    d.txt收件人->setFocus();
    QTest::keyClick(d.txt收件人, Qt::Key_A, Qt::ControlModifier);
    Type(d.txt收件人, QStringLiteral("林先生"));
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);
    const VendorResult& result = d.vendorResult();
    EXPECT_TRUE(result.returned);
    EXPECT_TRUE(result.stored);
    EXPECT_EQ(result.fields.note, "易碎");
    EXPECT_EQ(result.fields.recipient, "林先生");
    EXPECT_EQ(result.optionsCode, "0101000");
    EXPECT_EQ(column(delivery, "注意事項 || '/' || 收件人"), result.fields.note + "/" + result.fields.recipient);
    EXPECT_EQ(value("select CODE from SYSDB where PNAME = '工務預排'"), result.optionsCode);

    r.preScheduleNo = "D999";
    r.options = {};
    auto& missing = open(r);
    QTest::mouseClick(missing.scmd確定, Qt::LeftButton);
    EXPECT_TRUE(missing.isVisible());
    EXPECT_FALSE(missing.vendorResult().returned);
    EXPECT_FALSE(missing.vendorResult().stored);
    EXPECT_EQ(missing.vendorResult().optionsCode, "0100000");
    EXPECT_EQ(value("select CODE from SYSDB where PNAME = '工務預排'"), "0100000");
}

TEST_F(DownstreamVendorWindowTest, PrintingVariantStoresPaperQuantities)
{
    VendorRequest r = request("D-印刷");
    r.fields.reams = 3;
    auto& d = open<frm下游廠商_印刷>(r);
    ASSERT_TRUE(d.txt用紙令數);
    EXPECT_EQ(d.txt用紙令數->text(), "3");
    d.txt用紙令數->clear();
    Type(d.txt用紙令數, "12.5");
    Type(d.txt用紙張數, "250");
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);
    EXPECT_EQ(d.vendorResult().fields.reams, 12.5);
    EXPECT_EQ(d.vendorResult().fields.sheets, 250);
}

TEST_F(DownstreamVendorWindowTest, SingleOrderPrintsTheRowAndHidesAmountsWhenAsked)
{
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
}

TEST_F(DownstreamVendorWindowTest, PrintButtonPreviewsOrAsksToSaveFirst)
{
    db().exec("update GLAZE_S set VENDER = 'V01' where ID = 'D001'");
    VendorRequest r = request("E-上光");
    r.preScheduleNo.clear();
    int previews = 0;
    const auto countPreviews = [&](QDialog& dlg) { previews += dynamic_cast<report::PreviewDialog*>(&dlg) != nullptr; };
    auto& unsaved = open(r);
    unsaved.runModal = countPreviews;
    QTest::mouseClick(unsaved.scmd列印, Qt::LeftButton);
    EXPECT_EQ(previews, 0);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "請先儲存此筆資料!");

    auto& saved = open("E-上光");
    saved.runModal = countPreviews;
    QTest::mouseClick(saved.scmd列印, Qt::LeftButton);
    EXPECT_EQ(previews, 1);
}

} // namespace
