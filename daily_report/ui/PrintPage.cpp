#include "daily_report/ui/PrintPage.h"

#include "daily_report/ui/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qtmv::daily {

using namespace widgets;

PrintPage::PrintPage(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pic列印"));
    setFrameShape(QFrame::StyledPanel);
    auto* top = new QHBoxLayout(this);
    top->addWidget(buildReportChoice());

    auto* right = new QVBoxLayout;
    auto* cond = new QGroupBox(QStringLiteral("條件設定"), this);
    cond->setObjectName(QStringLiteral("fra條件設定"));
    auto* cv = new QHBoxLayout(cond);
    const QStringList condCaptions{QStringLiteral("列印單筆"), QStringLiteral("列印全部"), QStringLiteral("列印範圍")};
    for (int i = 0; i < condCaptions.size(); ++i) {
        auto* o = makeIndexed<QRadioButton>(cond, QStringLiteral("sopt條件設定"), i);
        o->setText(condCaptions[i]);
        cv->addWidget(o);
    }
    cv->addWidget(make<QLabel>(cond, QStringLiteral("lbl列印單筆")));
    cv->addStretch(1);
    right->addWidget(cond);

    auto* kindRow = new QHBoxLayout;
    cbo種類列印 = make<QComboBox>(this, QStringLiteral("cbo種類列印"));
    cbo種類列印->setMinimumWidth(110);
    auto* lblKind = captionFor(this, QStringLiteral("種　　類:"), cbo種類列印);
    lblKind->setObjectName(QStringLiteral("lbl種類列印"));
    kindRow->addWidget(lblKind);
    kindRow->addWidget(cbo種類列印);
    kindRow->addStretch(1);
    right->addLayout(kindRow);
    right->addWidget(buildRanges());
    right->addWidget(buildOptions());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(button(this, QStringLiteral("ssc列印"), QStringLiteral("列印")));
    buttons->addWidget(button(this, QStringLiteral("ssc預覽列印"), QStringLiteral("預覽列印")));
    buttons->addWidget(button(this, QStringLiteral("ssc轉Excel檔"), QStringLiteral("轉Excel檔")));
    ssc回前畫面_列印 = button(this, QStringLiteral("ssc回前畫面_列印"), QStringLiteral("回前畫面"));
    buttons->addWidget(ssc回前畫面_列印);
    right->addLayout(buttons);
    right->addStretch(1);
    top->addLayout(right, 1);
    hide();
}

QWidget* PrintPage::buildReportChoice()
{
    auto* reports = new QGroupBox(QStringLiteral("報表選擇"), this);
    reports->setObjectName(QStringLiteral("fra選擇報表"));
    auto* rv = new QVBoxLayout(reports);
    const QStringList captions{QStringLiteral("排程單"),       QStringLiteral("產值分析(明細)"),
                               QStringLiteral("產值分析(總表)"), QStringLiteral("排程單2"),
                               QStringLiteral("指示單"),       QStringLiteral("排程單3"),
                               QStringLiteral("個人生產總表"), QStringLiteral("生產明細表")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* o = makeIndexed<QRadioButton>(reports, QStringLiteral("sopt選擇報表"), i);
        o->setText(captions[i]);
        rv->addWidget(o);
    }
    auto* picChoice = make<QFrame>(reports, QStringLiteral("pic報表選擇"));
    auto* pc = new QHBoxLayout(picChoice);
    pc->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        auto* o = makeIndexed<QRadioButton>(picChoice, QStringLiteral("opt報表"), i);
        o->setText(i == 0 ? QStringLiteral("表1") : QStringLiteral("表2"));
        pc->addWidget(o);
    }
    rv->addWidget(picChoice);
    rv->addStretch(1);
    return reports;
}

QWidget* PrintPage::buildRanges()
{
    // Range fields txt列印範圍_0 .. _13 on two panels.
    auto* box = new QWidget(this);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    const int maxLen[14] = {7, 7, 10, 10, 7, 4, 7, 4, 9, 9, 10, 30, 10, 20};
    for (int i = 0; i < 14; ++i) {
        txt列印範圍[static_cast<std::size_t>(i)] = makeIndexed<QLineEdit>(box, QStringLiteral("txt列印範圍"), i);
        txt列印範圍[static_cast<std::size_t>(i)]->setMaxLength(maxLen[i]);
    }
    auto range = [&](int i) { return txt列印範圍[static_cast<std::size_t>(i)]; };
    auto rangeRow = [](QGridLayout* g, int row, const QString& caption, QLineEdit* from, QLineEdit* to) {
        g->addWidget(captionFor(from->parentWidget(), caption, from), row, 0);
        g->addWidget(from, row, 1);
        if (to) {
            g->addWidget(new QLabel(QStringLiteral("～"), from->parentWidget()), row, 2);
            g->addWidget(to, row, 3);
            to->setAccessibleName(caption + QStringLiteral("迄"));
        }
    };

    auto* pic1 = make<QFrame>(box, QStringLiteral("pic列印1"));
    auto* g1 = new QGridLayout(pic1);
    for (int i : {0, 1, 2, 3, 12})
        range(i)->setParent(pic1);
    rangeRow(g1, 0, QStringLiteral("排程日期:"), range(0), range(1));
    rangeRow(g1, 1, QStringLiteral("排程單號:"), range(2), range(3));
    rangeRow(g1, 2, QStringLiteral("廠　　商:"), range(12), nullptr);
    g1->addWidget(button(pic1, QStringLiteral("scmd廠商列印"), QStringLiteral("...")), 2, 2);
    v->addWidget(pic1);

    auto* pic2 = make<QFrame>(box, QStringLiteral("pic列印2"));
    auto* g2 = new QGridLayout(pic2);
    for (int i : {4, 5, 6, 7, 8, 9, 10, 11, 13})
        range(i)->setParent(pic2);
    rangeRow(g2, 0, QStringLiteral("完成日期:"), range(4), range(6));
    g2->addWidget(range(5), 0, 4);
    g2->addWidget(range(7), 0, 5);
    range(5)->setAccessibleName(QStringLiteral("完成時間"));
    range(7)->setAccessibleName(QStringLiteral("完成時間迄"));
    rangeRow(g2, 1, QStringLiteral("工單單號:"), range(8), range(9));
    rangeRow(g2, 2, QStringLiteral("經　　辦:"), range(10), nullptr);
    g2->addWidget(button(pic2, QStringLiteral("scmd經辦"), QStringLiteral("...")), 2, 2);
    rangeRow(g2, 3, QStringLiteral("說　　明:"), range(11), nullptr);
    g2->addWidget(button(pic2, QStringLiteral("scmd製作"), QStringLiteral("製作")), 4, 0);
    g2->addWidget(range(13), 4, 1);
    g2->addWidget(make<QLabel>(pic2, QStringLiteral("lbl製作_列印")), 4, 3);
    auto* machine = make<QComboBox>(pic2, QStringLiteral("cbo車別_列印"));
    g2->addWidget(captionFor(pic2, QStringLiteral("車　　別:"), machine), 5, 0);
    g2->addWidget(machine, 5, 1);
    // The clerk's name shows beside the clerk field; the separate clerk
    // code box is not shown (the range field holds the code).
    g2->addWidget(make<QLabel>(pic2, QStringLiteral("lbl經辦")), 2, 3);
    auto* clerk = lineEdit(pic2, QStringLiteral("txt經辦代號"), 10, 80);
    clerk->setAccessibleName(QStringLiteral("經辦代號"));
    clerk->hide();
    auto* diff = make<QCheckBox>(pic2, QStringLiteral("chk列印差異"));
    diff->setText(QStringLiteral("列印差異"));
    g2->addWidget(diff, 6, 1);
    v->addWidget(pic2);
    return box;
}

QWidget* PrintPage::buildOptions()
{
    auto* opts = new QGroupBox(QStringLiteral("列印選項"), this);
    opts->setObjectName(QStringLiteral("fra列印選項"));
    auto* og = new QGridLayout(opts);
    const std::pair<const char*, const char*> checks[] = {
        {"chk列印完成日期", "列印完成日期"},   {"chk報表名稱", "報表名稱改為委外加工單"},
        {"chk單筆不印客戶", "單筆不印客戶"},   {"chk單筆不印品名", "單筆不印品名"},
        {"chk單筆不印金額", "單筆不印金額"},   {"chk預排表印金額", "預排表印金額"},
        {"chk單筆不印業務員", "單筆不印業務員"}, {"chk單筆不印公司名稱", "單筆不印公司名稱"},
        {"chk預排表不印金額", "預排表不印金額"},
    };
    int n = 0;
    for (const auto& [name, caption] : checks) {
        auto* c = make<QCheckBox>(opts, QString::fromUtf8(name));
        c->setText(QString::fromUtf8(caption));
        og->addWidget(c, n / 3, n % 3);
        ++n;
    }
    chk預排表印金額 = opts->findChild<QCheckBox*>(QStringLiteral("chk預排表印金額"));
    return opts;
}

void PrintPage::focusFirstRange() { txt列印範圍[0]->setFocus(); }

} // namespace qtmv::daily
