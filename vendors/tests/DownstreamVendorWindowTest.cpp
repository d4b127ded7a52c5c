// The downstream vendor windows driven with keys and clicks: vendor entry,
// the lookup, the confirm read back from the database, rights, mode "新增",
// the printing variant and the single-row order.
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
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace qtmv;
using namespace qtmv::vendors;

namespace {

void type(QWidget* w, const QString& text, bool enter = false)
{
    w->setFocus();
    qtmv::test::typeKeys(w, text);
    if (enter)
        QTest::keyClick(w, Qt::Key_Return);
}

// Pastes as a user does with Ctrl+V.
void paste(QWidget* w, const QString& text)
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
        savedSession_ = session();
        session() = session_;
        kinds = new QComboBox(&caller);
        kinds->setObjectName("cbo種類");
        for (const ProcessKind& k : processKinds())
            kinds->addItem(QString::fromUtf8(k.displayName.data(), static_cast<qsizetype>(k.displayName.size())));
        number = new QLineEdit(QStringLiteral("D001"), &caller);
        number->setObjectName("txt預排單號");
        for (const char* name : {"chk單筆不印客戶", "chk單筆不印品名", "chk單筆不印金額", "chk單筆不印業務員",
                                 "chk單筆不印公司名稱", "chk預排表不印金額"}) {
            auto* c = new QCheckBox(&caller);
            c->setObjectName(QString::fromUtf8(name));
        }
    }
    ~DownstreamVendorWindowTest() override
    {
        w.reset();
        session() = savedSession_;
        gDownstream = {};
        gSaveMark.clear();
        gReturned = false;
    }

    template <class Window = frm下游廠商>
    Window& open(const char* kindName)
    {
        kinds->setCurrentText(QString::fromUtf8(kindName));
        clearPick();
        gPick[0] = "P001";
        gPick[1] = "1";
        gPick[2] = "1";
        auto* made = new Window(&caller);
        w.reset(made);
        w->show();
        return *made;
    }
    QCheckBox* mainBox(const char* name) { return caller.findChild<QCheckBox*>(QString::fromUtf8(name)); }
    QWidget caller;
    QComboBox* kinds = nullptr;
    QLineEdit* number = nullptr;
    std::unique_ptr<frm下游廠商> w;
    Session savedSession_;
    ScriptedMessages messages_;
};

TEST_F(DownstreamVendorWindowTest, ShortNameTypedFillsCodePhoneAndAddress)
{
    auto& d = open("E-上光");
    type(d.txt廠商代號, QStringLiteral("永豐上光"), true);
    EXPECT_EQ(d.txt廠商代號->text(), "V01");
    EXPECT_EQ(d.txt地址->text(), QStringLiteral("台北市中山路1號"));
    EXPECT_TRUE(d.txt收件人->isHidden());

    type(d.txt廠商代號1, QStringLiteral("v02"), true);
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
    type(d.txt廠商代號, QStringLiteral("大華"), true);
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
    mainBox("chk單筆不印公司名稱")->setChecked(true);
    mainBox("chk單筆不印金額")->setChecked(true);
    auto& d = open("E-上光");
    type(d.txt廠商代號, QStringLiteral("V01"), true);
    type(d.txt注意事項, QStringLiteral("小心輕放"));
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);

    EXPECT_EQ(column(varnishing, "下游廠商代號 || '/' || 注意事項"), "V01/小心輕放");
    EXPECT_EQ(caller.property("Sstr_系統預設_列印").toString(), "1000010");
    EXPECT_TRUE(gReturned);
    EXPECT_EQ(gDownstream.note, "小心輕放");
    EXPECT_EQ(gSaveMark, "S");
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(DownstreamVendorWindowTest, QueryOnlyUserCannotConfirm)
{
    session().ProductionRights = "000000000001";
    auto& d = open("E-上光");
    type(d.txt廠商代號, QStringLiteral("V01"), true);
    const std::string before = dump();
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);
    EXPECT_EQ(dump(), before);
    EXPECT_FALSE(gReturned);
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
        paste(d.txt電話, QStringLiteral("02-2222\t#12"));
        QTest::mouseClick(d.scmd確定, Qt::LeftButton);
        QTest::keyClick(d.txt電話, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(d.txt電話, Qt::Key_Delete);
        type(d.txt注意事項, QString(51, QChar(0x8F15)));   // 102 bytes
        QTest::mouseClick(d.scmd確定, Qt::LeftButton);
        std::vector<std::string> told;
        for (const auto& m : messages_.shown())
            told.push_back(m.text);
        EXPECT_EQ(told, (std::vector<std::string>{ControlCharacterMessage("電話"), TooLongMessage(100)}));
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(gReturned);
        EXPECT_EQ(d.txt注意事項->text().size(), 51);
    }
    EXPECT_EQ(dump(), before);
}

TEST_F(DownstreamVendorWindowTest, AddingProposesTheNoteAndWritesNothing)
{
    caller.setProperty("Sstr_操作模式", QStringLiteral("新增"));
    auto& d = open("E-上光");
    EXPECT_EQ(d.txt注意事項->text(), QStringLiteral("交貨前請先來電聯絡。"));
    type(d.txt廠商代號, QStringLiteral("V01"), true);
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);   // the logic test reads back that nothing is written
    EXPECT_TRUE(gReturned);
    EXPECT_EQ(gDownstream.note, "交貨前請先來電聯絡。");
    EXPECT_EQ(gSaveMark, "");
}

TEST_F(DownstreamVendorWindowTest, PrintingVariantStoresPaperQuantities)
{
    gDownstream.reams = 3;
    auto& d = open<frm下游廠商_印刷>("D-印刷");
    ASSERT_TRUE(d.txt用紙令數);
    EXPECT_EQ(d.txt用紙令數->text(), "3");
    d.txt用紙令數->clear();
    type(d.txt用紙令數, "12.5");
    type(d.txt用紙張數, "250");
    QTest::mouseClick(d.scmd確定, Qt::LeftButton);
    EXPECT_EQ(gDownstream.reams, 12.5);
    EXPECT_EQ(gDownstream.sheets, 250);
}

TEST_F(DownstreamVendorWindowTest, SingleOrderPrintsTheRowAndHidesAmountsWhenAsked)
{
    db().exec("update PRINTING_S set VENDER = 'V01', AMT = 4321, 注意事項 = '小心輕放', 地址 = '台北市中山路1號' "
              "where ID = 'D001'");
    ConfirmInput in = input(printing);
    for (const bool hidden : {false, true}) {
        in.options.noAmounts = hidden;
        const auto doc = singleOrder(in, session_);
        ASSERT_TRUE(doc);
        EXPECT_TRUE(doc->find(0, QStringLiteral("小心輕放")));
        EXPECT_TRUE(doc->find(0, QStringLiteral("台北市中山路1號")));
        EXPECT_EQ(doc->pagesWith(QStringLiteral("4,321")).empty(), hidden);
    }
}

TEST_F(DownstreamVendorWindowTest, PrintButtonPreviewsOrAsksToSaveFirst)
{
    db().exec("update GLAZE_S set VENDER = 'V01' where ID = 'D001'");
    number->clear();
    auto& d = open("E-上光");
    int previews = 0;
    d.runModal = [&](QDialog& dlg) { previews += dynamic_cast<report::PreviewDialog*>(&dlg) != nullptr; };
    QTest::mouseClick(d.scmd列印, Qt::LeftButton);
    EXPECT_EQ(previews, 0);
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "請先儲存此筆資料!");

    number->setText("D001");
    QTest::mouseClick(d.scmd列印, Qt::LeftButton);
    EXPECT_EQ(previews, 1);
}

} // namespace
