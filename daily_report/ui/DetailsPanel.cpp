#include "daily_report/ui/DetailsPanel.h"

#include "daily_report/ui/Widgets.h"
#include "platform/ui/QtText.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace qtmv::daily {

using namespace widgets;

namespace {

// A value label: screen readers hear its caption as the description of the
// value.
QLabel* ValueLabel(QWidget* parent, const QString& name, const QString& caption)
{
    auto* l = Make<QLabel>(parent, name);
    l->setAccessibleDescription(caption);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setMinimumWidth(40);
    l->setStyleSheet(QStringLiteral("color: #000080"));
    return l;
}

QLabel* Caption(QWidget* parent, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

QLabel* CaptionLabel(QWidget* parent, const QString& name)
{
    auto* l = Make<QLabel>(parent, name);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

void SetLong(QLabel* l, const std::string& text)
{
    l->setText(U8(text));
    l->setToolTip(U8(text));
}

} // namespace

DetailsPanel::DetailsPanel(QWidget* parent) : QWidget(parent)
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    buildWorkOrderFrame();
    buildRowFrame();
    v->addWidget(pic明細);
    v->addWidget(pic明細1);
    clear();
}

void DetailsPanel::buildWorkOrderFrame()
{
    pic明細 = Make<QFrame>(this, QStringLiteral("pic明細"));
    pic明細->setFrameShape(QFrame::StyledPanel);
    auto* g = new QGridLayout(pic明細);
    g->setContentsMargins(6, 3, 6, 3);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);
    lbl客戶 = ValueLabel(pic明細, QStringLiteral("lbl客戶"), QStringLiteral("客戶"));
    lbl品名 = ValueLabel(pic明細, QStringLiteral("lbl品名"), QStringLiteral("品名"));
    lbl日期 = ValueLabel(pic明細, QStringLiteral("lbl日期"), QStringLiteral("工單日期"));
    lbl交貨日 = ValueLabel(pic明細, QStringLiteral("lbl交貨日"), QStringLiteral("交貨日"));
    lbl預定完工日 = ValueLabel(pic明細, QStringLiteral("lbl預定完工日"), QStringLiteral("預定完工日"));
    lbl品名->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pic急件 = Make<QFrame>(pic明細, QStringLiteral("pic急件"));
    auto* rush = new QHBoxLayout(pic急件);
    rush->setContentsMargins(0, 0, 0, 0);
    lbl急件 = Make<QLabel>(pic急件, QStringLiteral("lbl急件"));
    lbl急件->setText(QStringLiteral(" 急  件 "));
    lbl急件->setStyleSheet(QStringLiteral("background: #FF0000; color: white; font-weight: bold; padding: 1px 4px"));
    rush->addWidget(lbl急件);
    const std::pair<const char*, QLabel*> first[] = {
        {"客戶:", lbl客戶}, {"品名:", lbl品名}, {"工單日期:", lbl日期}, {"交貨日:", lbl交貨日}, {"預定完工日:", lbl預定完工日}};
    int col = 0;
    for (const auto& [text, value] : first) {
        g->addWidget(Caption(pic明細, QString::fromUtf8(text)), 0, col);
        g->addWidget(value, 0, col + 1, 1, value == lbl品名 ? 3 : 1);
        col += value == lbl品名 ? 4 : 2;
    }
    g->addWidget(pic急件, 0, col);

    lbl備註 = CaptionLabel(pic明細, QStringLiteral("lbl備註"));
    lbl備註1 = ValueLabel(pic明細, QStringLiteral("lbl備註1"), QStringLiteral("備註"));
    lbl備註1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbl包裝 = CaptionLabel(pic明細, QStringLiteral("lbl包裝"));
    lbl包裝1 = ValueLabel(pic明細, QStringLiteral("lbl包裝1"), QStringLiteral("包裝"));
    lbl紙到 = CaptionLabel(pic明細, QStringLiteral("lbl紙到"));
    lbl紙到1 = ValueLabel(pic明細, QStringLiteral("lbl紙到1"), QStringLiteral("紙到"));
    lbl版到 = CaptionLabel(pic明細, QStringLiteral("lbl版到"));
    lbl版到1 = ValueLabel(pic明細, QStringLiteral("lbl版到1"), QStringLiteral("版到"));
    g->addWidget(lbl備註, 1, 0);
    g->addWidget(lbl備註1, 1, 1, 1, 5);
    g->addWidget(lbl包裝, 1, 6);
    g->addWidget(lbl包裝1, 1, 7);
    g->addWidget(lbl紙到, 1, 8);
    g->addWidget(lbl紙到1, 1, 9);
    g->addWidget(lbl版到, 1, 10);
    g->addWidget(lbl版到1, 1, 11);
    g->setColumnStretch(1, 2);
    g->setColumnStretch(3, 4);
    g->setColumnStretch(7, 1);
}

void DetailsPanel::buildRowFrame()
{
    // The vendor, the outsourcing lines and the row's remark.
    pic明細1 = Make<QFrame>(this, QStringLiteral("pic明細1"));
    pic明細1->setFrameShape(QFrame::StyledPanel);
    auto* h = new QHBoxLayout(pic明細1);
    h->setContentsMargins(6, 3, 6, 3);
    h->setSpacing(6);
    lbl廠商 = ValueLabel(pic明細1, QStringLiteral("lbl廠商"), QStringLiteral("廠商"));
    lbl電話 = ValueLabel(pic明細1, QStringLiteral("lbl電話"), QStringLiteral("電話"));
    lbl下游廠商 = ValueLabel(pic明細1, QStringLiteral("lbl下游廠商"), QStringLiteral("委外廠商"));
    lbl下游廠商->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbl說明 = Make<QLabel>(pic明細1, QStringLiteral("lbl說明"));
    lbl說明1 = ValueLabel(pic明細1, QStringLiteral("lbl說明1"), QStringLiteral("說明"));
    lbl說明1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pic用紙 = Make<QFrame>(pic明細1, QStringLiteral("pic用紙"));
    auto* paper = new QHBoxLayout(pic用紙);
    paper->setContentsMargins(0, 0, 0, 0);
    lbl用紙 = ValueLabel(pic用紙, QStringLiteral("lbl用紙"), QStringLiteral("頁數"));
    paper->addWidget(Caption(pic用紙, QStringLiteral("頁數:")));
    paper->addWidget(lbl用紙);
    h->addWidget(Caption(pic明細1, QStringLiteral("廠商:")));
    h->addWidget(lbl廠商, 1);
    h->addWidget(Caption(pic明細1, QStringLiteral("電話:")));
    h->addWidget(lbl電話, 1);
    h->addWidget(Caption(pic明細1, QStringLiteral("委外:")));
    h->addWidget(lbl下游廠商, 3);
    h->addWidget(lbl說明);
    h->addWidget(lbl說明1, 3);
    h->addWidget(pic用紙);
}

void DetailsPanel::clear()
{
    for (QLabel* l : {lbl客戶, lbl品名, lbl日期, lbl交貨日, lbl預定完工日, lbl備註, lbl備註1, lbl包裝, lbl包裝1, lbl紙到,
                      lbl紙到1, lbl版到, lbl版到1, lbl下游廠商, lbl用紙, lbl廠商, lbl電話, lbl說明, lbl說明1})
        l->clear();
    lbl備註->hide();
    pic急件->hide();
}

void DetailsPanel::show(const RowDetails& d, const GridLayout& layout)
{
    SetLong(lbl客戶, d.customer);
    SetLong(lbl品名, d.product);
    lbl日期->setText(U8(d.orderDate));
    // All dates of the panel in the slashed form of the lists.
    lbl交貨日->setText(U8(FormatSlashedDate(d.dueDate)));
    lbl預定完工日->setText(U8(FormatSlashedDate(d.plannedDate)));
    lbl備註->setText(U8(d.remarkCaption));
    lbl備註->setVisible(!d.remarkCaption.empty());
    SetLong(lbl備註1, d.remark);
    lbl包裝->setText(QStringLiteral("包裝:"));
    lbl包裝1->setText(U8(d.packing));
    pic急件->setVisible(d.rush);
    SetLong(lbl廠商, d.vendorName);
    lbl電話->setText(U8(d.vendorPhone));
    lbl紙到->setText(QStringLiteral("紙到:"));
    lbl紙到1->setText(U8(d.paperDone));
    lbl版到->setText(QStringLiteral("版到:"));
    lbl版到1->setText(U8(d.plateDone));
    SetLong(lbl下游廠商, d.outsourcingText());
    lbl說明->setText(U8(layout.heading(layout.remarkCol)) + QLatin1Char(':'));
    SetLong(lbl說明1, d.rowRemark);
    lbl用紙->setText(U8(d.pages));
}

} // namespace qtmv::daily
