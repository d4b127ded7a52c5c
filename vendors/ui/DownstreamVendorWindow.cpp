#include "vendors/ui/DownstreamVendorWindow.h"

#include "app/core/Session.h"
#include "common/HandOver.h"
#include "records/saving/Saving.h"
#include "lookups/core/VendorQueries.h"
#include "lookups/ui/VendorLookups.h"
#include "platform/jet/Value.h"
#include "common/Failure.h"
#include "platform/report/ui/PreviewDialog.h"
#include "platform/text/Text.h"
#include "reports/OutsourcingOrder.h"
#include "platform/ui/QtText.h"

#include <QCheckBox>
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

std::string Text(const QLineEdit* e) { return e ? e->text().toStdString() : std::string(); }

std::string NumberText(double v) { return v == 0 ? std::string() : jet::RealText(v); }

} // namespace

frm下游廠商::frm下游廠商(const VendorRequest& request, QWidget* parent) : frm下游廠商(request, parent, false) {}

frm下游廠商_印刷::frm下游廠商_印刷(const VendorRequest& request, QWidget* parent) : frm下游廠商(request, parent, true)
{
    setObjectName(QStringLiteral("frm下游廠商_印刷"));
}

frm下游廠商::frm下游廠商(const VendorRequest& request, QWidget* parent, bool printingVariant)
    : QDialog(parent), request_(request)
{
    setObjectName(QStringLiteral("frm下游廠商"));
    setWindowTitle(U8(kTitle));
    setModal(true);
    kind_ = request_.kind;
    if (!kind_)
        kind_ = &KindOf(printingVariant ? KindId::Printing : KindId::Other);
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
        auto* b = new QPushButton(U8(caption), this);
        b->setObjectName(QString::fromUtf8(name));
        b->setAutoDefault(false);
        return b;
    };
    auto check = [this](const char* name, const char* caption) {
        auto* c = new QCheckBox(U8(caption), this);
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
    lbl收件人->setText(U8("收件人:"));
    txt收件人 = edit("txt收件人");
    scmd廠商代號 = button("scmd廠商代號", "...");
    scmd廠商代號1 = button("scmd廠商代號1", "...");

    auto* grid = new QGridLayout;
    int r = 0;
    auto row = [&](const char* caption, QWidget* a, QWidget* b = nullptr, QWidget* c = nullptr) {
        grid->addWidget(new QLabel(U8(caption), this), r, 0);
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
    fields_ = FieldsToShow(*kind_, request_.fields);
    const bool recipient = ShowsRecipient(*kind_);
    lbl收件人->setVisible(recipient);
    txt收件人->setVisible(recipient);
    chk以張印->setEnabled(PrintsBySheet(*kind_));
    showFields(fields_);
    txt工單單號->setText(U8(request_.po));
    txt序->setText(U8(std::to_string(request_.seq)));
    txt順序->setText(U8(request_.order));
    chk以張印->setChecked(request_.options.bySheet);
    chk不印客戶->setChecked(request_.options.noCustomer);
    chk不印品名->setChecked(request_.options.noProductName);
    chk不印金額->setChecked(request_.options.noAmounts);
}

void frm下游廠商::showFields(const VendorFields& f)
{
    txt廠商代號->setText(U8(f.downCode));
    lbl廠商簡稱->setText(U8(f.downName));
    txt地址->setText(U8(f.address));
    txt電話->setText(U8(f.phone));
    txt注意事項->setText(U8(f.note));
    txt廠商代號1->setText(U8(f.upCode));
    lbl廠商簡稱1->setText(U8(f.upName));
    txt收件人->setText(U8(f.recipient));
    if (txt用紙令數) {
        txt用紙令數->setText(U8(NumberText(f.reams)));
        txt用紙張數->setText(U8(NumberText(f.sheets)));
    }
}

ConfirmInput frm下游廠商::input() const
{
    ConfirmInput in;
    in.kind = kind_;
    in.preScheduleNo = Trim(request_.preScheduleNo);
    in.po = Trim(Text(txt工單單號));
    in.seq = request_.seq;
    in.loaded = fields_;
    VendorFields& f = in.fields;
    f.downCode = Text(txt廠商代號);
    f.downName = lbl廠商簡稱->text().toStdString();
    f.address = Text(txt地址);
    f.phone = Text(txt電話);
    f.note = Text(txt注意事項);
    f.upCode = Text(txt廠商代號1);
    f.upName = lbl廠商簡稱1->text().toStdString();
    f.recipient = Text(txt收件人);
    if (txt用紙令數) {
        f.reams = Val(Text(txt用紙令數));
        f.sheets = Val(Text(txt用紙張數));
    }
    in.mainOptions = request_.mainOptions;
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
        TakeDownstream(f, *kind_);
    else
        TakeUpstream(f);
    showFields(f);
}

void frm下游廠商::enterCode(bool downstream)
{
    const std::string typed = Trim(Text(downstream ? txt廠商代號 : txt廠商代號1));
    if (!FindVendor(CurrentSession(), typed)) {
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
    gLookupFilter = Trim(Text(downstream ? txt廠商代號 : txt廠商代號1));
    ClearPick();
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
    daily::SaveContext ctx{CurrentSession(), TheSystemClock(), endProgram};
    const ConfirmOutcome o = vendors::Confirm(input(), ctx);
    // Stored options reach the caller also when the row was not stored and
    // the window stays open.
    if (!o.optionsCode.empty())
        result_.optionsCode = o.optionsCode;
    result_.stored = o.result.saved() && o.returned;
    if (!o.returned)
        return;
    result_.returned = true;
    result_.fields = o.fields;
    accept();
}

void frm下游廠商::print()
{
    SingleOrderOutcome order = SingleOrder(input(), CurrentSession());
    if (!order.document) {
        MsgBox(order.notice, "訊息", MsgIcon::Information);
        return;
    }
    report::PreviewDialog dlg(std::move(*order.document), this);
    const ConfirmInput in = input();
    dlg.setDocumentName(QString::fromStdString(reports::OrderTitle(*in.kind, SingleOrderParams(in))));
    runModal(dlg);
}
