#include "vendors/ui/DownstreamVendorWindow.h"

#include "app/core/Session.h"
#include "common/HandOver.h"
#include "records/saving/Saving.h"
#include "lookups/core/VendorQueries.h"
#include "lookups/ui/VendorLookups.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Value.h"
#include "platform/os/Failure.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/text/Text.h"
#include "platform/ui/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace qtmv;
using namespace qtmv::vendors;

namespace {

constexpr const char* kTitle = "下游廠商";

std::string text(const QLineEdit* e) { return e ? e->text().toStdString() : std::string(); }

bool ticked(const QWidget* caller, const char* name)
{
    const auto* c = caller ? caller->findChild<QCheckBox*>(QString::fromUtf8(name)) : nullptr;
    return c && c->isChecked();
}

std::string numberText(double v) { return v == 0 ? std::string() : jet::realText(v); }

void setTicked(QWidget* w, const char* name, bool on)
{
    if (auto* c = w ? w->findChild<QCheckBox*>(QString::fromUtf8(name)) : nullptr)
        c->setChecked(on);
}

} // namespace

void qtmv::vendors::applyPrintOptions(QWidget* mainWindow, const std::string& code)
{
    if (!mainWindow)
        return;
    MainPrintOptions m;
    PrintOptions p;
    readOptionsCode(code, m, p);
    mainWindow->setProperty("Sstr_系統預設_列印", u8(code));
    setTicked(mainWindow, "chk單筆不印公司名稱", m.noCompanyName);
    setTicked(mainWindow, "chk單筆不印業務員", m.noSalesperson);
    setTicked(mainWindow, "chk預排表不印金額", m.scheduleNoAmounts);
    setTicked(mainWindow, "chk單筆不印客戶", p.noCustomer);
    setTicked(mainWindow, "chk單筆不印品名", p.noProductName);
    setTicked(mainWindow, "chk單筆不印金額", p.noAmounts);
}

void qtmv::vendors::loadPrintOptions(QWidget* mainWindow)
{
    jet::Connection conn;
    conn.open(session().ConnectionString);
    const std::string code = storedOptionsCode(conn);
    if (!code.empty())
        applyPrintOptions(mainWindow, code);
}

frm下游廠商::frm下游廠商(QWidget* caller) : frm下游廠商(caller, false) {}

frm下游廠商_印刷::frm下游廠商_印刷(QWidget* caller) : frm下游廠商(caller, true)
{
    setObjectName(QStringLiteral("frm下游廠商_印刷"));
}

frm下游廠商::frm下游廠商(QWidget* caller, bool printingVariant) : QDialog(caller), caller_(caller)
{
    setObjectName(QStringLiteral("frm下游廠商"));
    setWindowTitle(u8(kTitle));
    setModal(true);
    const auto* kinds = caller ? caller->findChild<QComboBox*>(QStringLiteral("cbo種類")) : nullptr;
    kind_ = kinds ? kindByDisplayName(kinds->currentText().toStdString()) : nullptr;
    if (!kind_)
        kind_ = &kindOf(printingVariant ? KindId::Printing : KindId::Other);
    buildUi(printingVariant);
    load();
}

void frm下游廠商::buildUi(bool printingVariant)
{
    auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromUtf8(name));
        return e;
    };
    auto label = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromUtf8(name));
        return l;
    };
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(u8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setAutoDefault(false);
        return b;
    };
    auto check = [this](const char* name, const char* caption) {
        auto* c = new QCheckBox(u8(caption), this);
        c->setObjectName(QString::fromUtf8(name));
        return c;
    };
    txt工單單號 = edit("txt工單單號");
    txt序 = edit("txt序");
    txt順序 = edit("txt順序");
    for (QLineEdit* e : {txt工單單號, txt序, txt順序})
        e->setReadOnly(true);
    txt廠商代號 = edit("txt廠商代號");
    lbl廠商簡稱 = label("lbl廠商簡稱");
    txt地址 = edit("txt地址");
    txt電話 = edit("txt電話");
    txt注意事項 = edit("txt注意事項");
    txt廠商代號1 = edit("txt廠商代號1");
    lbl廠商簡稱1 = label("lbl廠商簡稱1");
    lbl收件人 = label("lbl收件人");
    lbl收件人->setText(u8("收件人:"));
    txt收件人 = edit("txt收件人");
    scmd廠商代號 = button("scmd廠商代號", "...");
    scmd廠商代號1 = button("scmd廠商代號1", "...");

    auto* grid = new QGridLayout;
    int r = 0;
    auto row = [&](const char* caption, QWidget* a, QWidget* b = nullptr, QWidget* c = nullptr) {
        grid->addWidget(new QLabel(u8(caption), this), r, 0);
        grid->addWidget(a, r, 1);
        if (b)
            grid->addWidget(b, r, 2);
        if (c)
            grid->addWidget(c, r, 3);
        ++r;
    };
    row("工單單號:", txt工單單號, txt序, txt順序);
    row("下游廠商:", txt廠商代號, scmd廠商代號, lbl廠商簡稱);
    row("地址:", txt地址);
    row("電話:", txt電話);
    row("注意事項:", txt注意事項);
    row("上游廠商:", txt廠商代號1, scmd廠商代號1, lbl廠商簡稱1);
    grid->addWidget(lbl收件人, r, 0);
    grid->addWidget(txt收件人, r++, 1);
    if (printingVariant) {
        txt用紙令數 = edit("txt用紙令數");
        txt用紙張數 = edit("txt用紙張數");
        row("用紙令數:", txt用紙令數);
        row("用紙張數:", txt用紙張數);
    }

    chk以張印 = check("chk以張印", "以張印");
    chk不印客戶 = check("chk不印客戶", "不印客戶");
    chk不印品名 = check("chk不印品名", "不印品名");
    chk不印金額 = check("chk不印金額", "不印金額");
    auto* options = new QHBoxLayout;
    for (QCheckBox* c : {chk以張印, chk不印客戶, chk不印品名, chk不印金額})
        options->addWidget(c);

    scmd確定 = button("scmd確定", "確 定");
    ssc回前畫面 = button("ssc回前畫面", "回前畫面");
    scmd列印 = button("scmd列印", "列 印");
    scmd列印1 = button("scmd列印1", "列印1");
    // The order's second layout does not exist in this program yet.
    scmd列印1->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {scmd確定, scmd列印, scmd列印1, ssc回前畫面})
        buttons->addWidget(b);

    auto* root = new QVBoxLayout(this);
    root->addLayout(grid);
    root->addLayout(options);
    root->addLayout(buttons);

    connect(txt廠商代號, &QLineEdit::returnPressed, this, [this] { Guarded(kTitle, [&] { enterCode(true); }); });
    connect(txt廠商代號1, &QLineEdit::returnPressed, this, [this] { Guarded(kTitle, [&] { enterCode(false); }); });
    connect(scmd廠商代號, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { lookUpCode(true); }); });
    connect(scmd廠商代號1, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { lookUpCode(false); }); });
    connect(scmd確定, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { confirm(); }); });
    connect(scmd列印, &QPushButton::clicked, this, [this] { Guarded(kTitle, [&] { print(); }); });
    connect(ssc回前畫面, &QPushButton::clicked, this, &QDialog::reject);
}

void frm下游廠商::load()
{
    gReturned = false;
    adding_ = caller_ && caller_->property("Sstr_操作模式").toString() == QStringLiteral("新增");
    Guarded(kTitle, [&] {
        jet::Connection conn;
        conn.open(session().ConnectionString);
        fields_ = fieldsToShow(conn, *kind_, gDownstream, adding_);
    });
    const bool recipient = showsRecipient(*kind_);
    lbl收件人->setVisible(recipient);
    txt收件人->setVisible(recipient);
    chk以張印->setEnabled(printsBySheet(*kind_));
    showFields(fields_);
    txt工單單號->setText(u8(gPick[0]));
    txt序->setText(u8(gPick[1]));
    txt順序->setText(u8(gPick[2]));
    rowNumber_ = Trim(gPick[3]);
    chk不印客戶->setChecked(ticked(caller_, "chk單筆不印客戶"));
    chk不印品名->setChecked(ticked(caller_, "chk單筆不印品名"));
    chk不印金額->setChecked(ticked(caller_, "chk單筆不印金額"));
    mainOptions_.noSalesperson = ticked(caller_, "chk單筆不印業務員");
    mainOptions_.noCompanyName = ticked(caller_, "chk單筆不印公司名稱");
    mainOptions_.scheduleNoAmounts = ticked(caller_, "chk預排表不印金額");
}

void frm下游廠商::showFields(const VendorFields& f)
{
    txt廠商代號->setText(u8(f.downCode));
    lbl廠商簡稱->setText(u8(f.downName));
    txt地址->setText(u8(f.address));
    txt電話->setText(u8(f.phone));
    txt注意事項->setText(u8(f.note));
    txt廠商代號1->setText(u8(f.upCode));
    lbl廠商簡稱1->setText(u8(f.upName));
    txt收件人->setText(u8(f.recipient));
    if (txt用紙令數) {
        txt用紙令數->setText(u8(numberText(f.reams)));
        txt用紙張數->setText(u8(numberText(f.sheets)));
    }
}

ConfirmInput frm下游廠商::input() const
{
    ConfirmInput in;
    in.kind = kind_;
    const auto* number = caller_ ? caller_->findChild<QLineEdit*>(QStringLiteral("txt預排單號")) : nullptr;
    in.preScheduleNo = !rowNumber_.empty() ? rowNumber_ : Trim(text(number));
    in.po = Trim(text(txt工單單號));
    in.seq = static_cast<int>(Val(text(txt序)));
    in.adding = adding_;
    in.loaded = fields_;
    VendorFields& f = in.fields;
    f.downCode = text(txt廠商代號);
    f.downName = lbl廠商簡稱->text().toStdString();
    f.address = text(txt地址);
    f.phone = text(txt電話);
    f.note = text(txt注意事項);
    f.upCode = text(txt廠商代號1);
    f.upName = lbl廠商簡稱1->text().toStdString();
    f.recipient = text(txt收件人);
    if (txt用紙令數) {
        f.reams = Val(text(txt用紙令數));
        f.sheets = Val(text(txt用紙張數));
    }
    in.mainOptions = mainOptions_;
    in.options.bySheet = chk以張印->isChecked();
    in.options.noCustomer = chk不印客戶->isChecked();
    in.options.noProductName = chk不印品名->isChecked();
    in.options.noAmounts = chk不印金額->isChecked();
    return in;
}

void frm下游廠商::takePick(bool downstream)
{
    VendorFields f = input().fields;
    if (downstream)
        takeDownstream(f, *kind_);
    else
        takeUpstream(f);
    showFields(f);
}

void frm下游廠商::enterCode(bool downstream)
{
    const std::string typed = Trim(text(downstream ? txt廠商代號 : txt廠商代號1));
    bool found = false;
    {
        jet::Connection conn;
        conn.open(session().ConnectionString);
        found = findVendor(conn, typed);
    }
    if (!found) {
        gLookupKind = std::string(lookups::kAllVendors);
        gLookupFilter = typed;
        frm廠商輔助畫面1 dlg(this);
        runModal(dlg);
    }
    if (Trim(gPick[0]).empty())
        return; // no vendor chosen: the box keeps what was typed
    takePick(downstream);
}

void frm下游廠商::lookUpCode(bool downstream)
{
    gLookupKind = std::string(lookups::kAllVendors);
    gLookupFilter = Trim(text(downstream ? txt廠商代號 : txt廠商代號1));
    clearPick();
    {
        frm廠商輔助畫面3 dlg(this);
        runModal(dlg);
    }
    if (Trim(gPick[0]).empty())
        return;
    takePick(downstream);
}

void frm下游廠商::confirm()
{
    daily::SaveContext ctx{session(), systemClock(), endProgram};
    const ConfirmOutcome o = vendors::confirm(input(), ctx);
    if (!o.optionsCode.empty())
        applyPrintOptions(caller_, o.optionsCode);
    if (o.status == ConfirmStatus::Saved)
        gSaveMark.assign(1, 'S'); // g++ 12 warns falsely (-Wrestrict) on assigning the literal
    if (!o.returned)
        return;
    gDownstream = o.fields;
    gReturned = true;
    accept();
}

void frm下游廠商::print()
{
    auto doc = singleOrder(input(), session());
    if (!doc)
        return;
    report::PreviewDialog dlg(std::move(*doc), this);
    runModal(dlg);
}
