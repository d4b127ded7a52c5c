#include "prescheduling/ui/PrintValueWindow.h"

#include "platform/jet/Value.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"
#include "platform/ui/QtText.h"
#include "prescheduling/core/TimeMath.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace qtmv;
using namespace qtmv::presched;

namespace {

std::string NumberText(double v) { return v == 0 ? std::string() : jet::RealText(v); }

// A number box: empty is 0; anything but a plain non-negative number is refused.
bool ReadNumber(const QLineEdit* box, double& out)
{
    const std::string t = Trim(box->text().toStdString());
    out = 0;
    if (t.empty())
        return true;
    bool point = false;
    for (char c : t) {
        if (c == '.' && !point)
            point = true;
        else if (c < '0' || c > '9')
            return false;
    }
    out = Val(t);
    return true;
}

} // namespace

frm印刷產值::frm印刷產值(const PrintValueRequest& request, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm印刷產值"));
    setWindowTitle(U8("印刷產值"));
    setModal(true);
    auto* root = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto box = [this, form](const char* name, const char* caption) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromUtf8(name));
        e->setMaxLength(10);
        form->addRow(U8(caption), e);
        return e;
    };
    txt完工數量 = box("txt完工數量", "完工數量(張):");
    txt完工數量->setReadOnly(true);
    txt令數 = box("txt令數", "令數:");
    txt色數 = box("txt色數", "色數:");
    txt面數 = box("txt面數", "面數:");
    txt單價 = box("txt單價", "每色令單價:");
    lbl合計 = new QLabel(this);
    lbl合計->setObjectName(QStringLiteral("lbl合計"));
    form->addRow(U8("產值:"), lbl合計);
    root->addLayout(form);
    lbl說明 = new QLabel(U8("產值 = 令數 × 色數 × 面數 × 每色令單價，元以下四捨五入。\n"
                            "一令 500 張全紙；不足一令以一令計（上機準備的工時不因張數少而減少）。"),
                         this);
    lbl說明->setObjectName(QStringLiteral("lbl說明"));
    lbl說明->setWordWrap(true);
    root->addWidget(lbl說明);
    auto* buttons = new QHBoxLayout;
    scmd確定 = new QPushButton(U8("確 定"), this);
    scmd確定->setObjectName(QStringLiteral("scmd確定"));
    ssc回前畫面 = new QPushButton(U8("回前畫面"), this);
    ssc回前畫面->setObjectName(QStringLiteral("ssc回前畫面"));
    buttons->addWidget(scmd確定);
    buttons->addWidget(ssc回前畫面);
    root->addLayout(buttons);

    // The caller's figures; reams follow the quantity only where none are stored.
    const PrintValueRequest& r = request;
    txt完工數量->setText(U8(NumberText(r.quantity)));
    txt令數->setText(U8(NumberText(r.reams != 0 ? r.reams : ReamsOf(r.quantity))));
    txt色數->setText(U8(NumberText(r.colours)));
    txt面數->setText(U8(r.sides != 0 ? NumberText(r.sides) : std::string("1")));
    txt單價->setText(U8(NumberText(r.unitPrice)));

    for (QLineEdit* e : {txt令數, txt色數, txt面數, txt單價})
        QObject::connect(e, &QLineEdit::textChanged, this, [this] { recompute(); });
    QObject::connect(scmd確定, &QPushButton::clicked, this, [this] { confirm(); });
    QObject::connect(ssc回前畫面, &QPushButton::clicked, this, [this] { reject(); });
    recompute();
}

bool frm印刷產值::figures(double& reams, double& colours, double& sides, double& price) const
{
    return ReadNumber(txt令數, reams) && ReadNumber(txt色數, colours) && ReadNumber(txt面數, sides) &&
           ReadNumber(txt單價, price);
}

void frm印刷產值::recompute()
{
    double reams, colours, sides, price;
    lbl合計->setText(figures(reams, colours, sides, price)
                         ? U8(WholeNumber(PrintingValue(reams, colours, sides, price)))
                         : QString());
}

void frm印刷產值::confirm()
{
    double reams, colours, sides, price;
    if (!figures(reams, colours, sides, price)) {
        MsgBox("令數、色數、面數與單價請輸入數字!", "訊息", MsgIcon::Exclamation);
        return;
    }
    result_ = {true, WholeNumber(PrintingValue(reams, colours, sides, price)), NumberText(reams),
               NumberText(colours), NumberText(sides), NumberText(price)};
    accept();
}
