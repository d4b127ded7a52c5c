#include "daily_report/ui/RecordFilters.h"

#include "daily_report/ui/Widgets.h"
#include "platform/text/Text.h"
#include "platform/ui/QtText.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace qtmv::daily {

using namespace widgets;

namespace {

// The quantity-calculation basis beside a grid: a caption and the numbered
// choices of the grid's "▼" column.
QFrame* BasisPanel(QWidget* parent, const QString& picName, const QString& lblName, const QString& caption,
                   const QStringList& choices)
{
    auto* pic = Make<QFrame>(parent, picName);
    auto* h = new QHBoxLayout(pic);
    h->setContentsMargins(6, 0, 6, 0);
    h->setSpacing(8);
    auto* cap = new QLabel(caption, pic);
    cap->setStyleSheet(QStringLiteral("font-weight: bold"));
    h->addWidget(cap);
    for (int i = 0; i < choices.size(); ++i) {
        auto* l = MakeIndexed<QLabel>(pic, lblName, i);
        l->setText(choices[i]);
        h->addWidget(l);
    }
    pic->setAccessibleName(caption + QLatin1Char(' ') + choices.join(QLatin1Char(' ')));
    pic->hide();
    return pic;
}

} // namespace

RecordFilters::RecordFilters(QWidget* parent) : QWidget(parent)
{
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);
    v->addWidget(buildFirstRow());
    v->addWidget(buildSecondRow());
    buildHiddenFields();
}

QWidget* RecordFilters::buildFirstRow()
{
    // Kind, press, pre-schedule number and date, load, row actions.
    auto* row = new QWidget(this);
    auto* r1 = new QHBoxLayout(row);
    r1->setContentsMargins(0, 0, 0, 0);
    r1->setSpacing(6);
    cbo種類 = Make<QComboBox>(row, QStringLiteral("cbo種類"));
    cbo種類->setMinimumWidth(110);
    cbo車別 = Make<QComboBox>(row, QStringLiteral("cbo車別"));
    cbo車別->setMinimumWidth(110);
    cbo車別->setEditable(true);   // a press outside the phrase list can be typed
    txt預排單號 = LineEdit(row, QStringLiteral("txt預排單號"), 10, 100);
    txt預排日期 = LineEdit(row, QStringLiteral("txt預排日期"), 7, 76);
    scmd顯示資料 = Button(row, QStringLiteral("scmd顯示資料"), QStringLiteral("確 定"));
    scmd顯示資料->setMinimumWidth(72);
    // Alt+K and Alt+M reach the kind and the press; Alt+O presses "確 定"
    // (its caption stays as it is).
    r1->addWidget(CaptionFor(row, QStringLiteral("種類(&K):"), cbo種類));
    r1->addWidget(cbo種類);
    r1->addSpacing(6);
    r1->addWidget(CaptionFor(row, QStringLiteral("車別(&M):"), cbo車別));
    r1->addWidget(cbo車別);
    r1->addSpacing(6);
    r1->addWidget(CaptionFor(row, QStringLiteral("單號:"), txt預排單號));
    r1->addWidget(txt預排單號);
    r1->addSpacing(6);
    r1->addWidget(CaptionFor(row, QStringLiteral("日期:"), txt預排日期));
    r1->addWidget(txt預排日期);
    r1->addSpacing(10);
    r1->addWidget(scmd顯示資料);
    scmd顯示資料->setToolTip(QStringLiteral("確 定 (Alt+O)"));
    auto* loadKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_O), row);
    QObject::connect(loadKey, &QShortcut::activated, scmd顯示資料, [this] {
        if (scmd顯示資料->isVisible() && scmd顯示資料->isEnabled())
            scmd顯示資料->click();
    });
    r1->addStretch(1);

    scmd刀模輔助 = Button(row, QStringLiteral("scmd刀模輔助"), QStringLiteral("變更刀號"));
    scmd刀模輔助->hide();
    scmd裝訂說明 = Button(row, QStringLiteral("scmd裝訂說明"), QStringLiteral("裝訂說明"));
    scmd裝訂說明->hide();
    pic回存工單 = Make<QFrame>(row, QStringLiteral("pic回存工單"));
    auto* wb = new QHBoxLayout(pic回存工單);
    wb->setContentsMargins(0, 0, 0, 0);
    scmd回存工單 = Button(pic回存工單, QStringLiteral("scmd回存工單"), QStringLiteral("回存工單\n回存各製程備註"));
    scmd回存工單->setAccessibleName(QStringLiteral("回存工單 回存各製程備註"));
    wb->addWidget(scmd回存工單);
    // It shows only while a record row is current; its room (two lines
    // high) is kept meanwhile, so the row and everything below stay put.
    QSizePolicy keep = pic回存工單->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    pic回存工單->setSizePolicy(keep);
    pic回存工單->hide();
    r1->addWidget(scmd刀模輔助);
    r1->addWidget(scmd裝訂說明);
    r1->addWidget(pic回存工單);
    return row;
}

QWidget* RecordFilters::buildSecondRow()
{
    // The sort order and the quantity basis of the shown grid.
    auto* row = new QWidget(this);
    auto* r2 = new QHBoxLayout(row);
    r2->setContentsMargins(0, 0, 0, 0);
    r2->setSpacing(6);
    fra排序方式 = Make<QGroupBox>(row, QStringLiteral("fra排序方式"));
    fra排序方式->setTitle(QStringLiteral("排序方式"));
    auto* so = new QHBoxLayout(fra排序方式);
    so->setContentsMargins(8, 2, 8, 2);
    so->setSpacing(12);
    const auto captions = SortOptionCaptions(KindOf(kDefaultKind));
    for (std::size_t i = 0; i < opt排序方式.size(); ++i) {
        opt排序方式[i] = MakeIndexed<QRadioButton>(fra排序方式, QStringLiteral("opt排序方式"), static_cast<int>(i));
        opt排序方式[i]->setText(U8(captions[i]));
        so->addWidget(opt排序方式[i]);
    }
    opt排序方式[0]->setChecked(true);
    r2->addWidget(fra排序方式);
    r2->addSpacing(8);

    const QString quantity = QStringLiteral("數量計算:");
    pic印刷_選 = BasisPanel(row, QStringLiteral("pic印刷_選"), QStringLiteral("lbl印刷_選"), quantity,
                             {QStringLiteral("(1)車"), QStringLiteral("(2)令")});
    pic上光_選 = BasisPanel(row, QStringLiteral("pic上光_選"), QStringLiteral("lbl上光_選"), quantity,
                             {QStringLiteral("(1)令"), QStringLiteral("(2)車"), QStringLiteral("(3)才積"),
                              QStringLiteral("(4)令(比例)")});
    pic裱紙_選 = BasisPanel(row, QStringLiteral("pic裱紙_選"), QStringLiteral("lbl裱紙_選"), quantity,
                             {QStringLiteral("(1)對裱(車計)"), QStringLiteral("(2)瓦楞(才計)")});
    pic紙品_選_數量 = BasisPanel(row, QStringLiteral("pic紙品_選_數量"), QStringLiteral("lbl紙品_選_數量"),
                                 QStringLiteral("叫紙量計算:"), {QStringLiteral("(1)令"), QStringLiteral("(2)張")});
    pic紙品_選_單價 = BasisPanel(row, QStringLiteral("pic紙品_選_單價"), QStringLiteral("lbl紙品_選_單價"),
                                 QStringLiteral("單價計算:"),
                                 {QStringLiteral("(1)令"), QStringLiteral("(2)張"), QStringLiteral("(3)才積"),
                                  QStringLiteral("(4)磅"), QStringLiteral("(5)令(比例)")});
    auto* basis = new QVBoxLayout;
    basis->setSpacing(0);
    for (QFrame* f : {pic印刷_選, pic上光_選, pic裱紙_選, pic紙品_選_數量, pic紙品_選_單價})
        basis->addWidget(f);
    r2->addLayout(basis);
    r2->addStretch(1);
    return row;
}

void RecordFilters::buildHiddenFields()
{
    // Nothing on the record side reads these; they are kept by name for the
    // windows that read the main window's fields, and cleared with every
    // kind change.
    txt機別 = LineEdit(this, QStringLiteral("txt機別"), 10, 80);
    txt廠商代號 = LineEdit(this, QStringLiteral("txt廠商代號"), 10, 80);
    lbl廠商簡稱 = Make<QLabel>(this, QStringLiteral("lbl廠商簡稱"));
    scmd廠商代號 = Button(this, QStringLiteral("scmd廠商代號"), QStringLiteral("..."));
    txt廠商代號1 = LineEdit(this, QStringLiteral("txt廠商代號1"), 10, 80);
    lbl廠商簡稱1 = Make<QLabel>(this, QStringLiteral("lbl廠商簡稱1"));
    scmd廠商代號1 = Button(this, QStringLiteral("scmd廠商代號1"), QStringLiteral("..."));
    for (QWidget* w : std::initializer_list<QWidget*>{txt機別, txt廠商代號, lbl廠商簡稱, scmd廠商代號, txt廠商代號1,
                                                      lbl廠商簡稱1, scmd廠商代號1})
        w->hide();
    txt機別->setAccessibleName(QStringLiteral("機別"));
    txt廠商代號->setAccessibleName(QStringLiteral("廠商代號"));
    txt廠商代號1->setAccessibleName(QStringLiteral("廠商代號1"));
    scmd廠商代號->setAccessibleName(QStringLiteral("廠商查詢"));
    scmd廠商代號1->setAccessibleName(QStringLiteral("廠商查詢1"));
}

void RecordFilters::fillKinds()
{
    const QSignalBlocker block(cbo種類);
    cbo種類->clear();
    for (const auto& k : ProcessKinds())
        cbo種類->addItem(U8(k.displayName));
    cbo種類->setCurrentIndex(cbo種類->findText(U8(KindOf(kDefaultKind).displayName)));
}

void RecordFilters::showKind(const ProcessKind& k)
{
    const auto captions = SortOptionCaptions(k);
    for (std::size_t i = 0; i < opt排序方式.size(); ++i)
        opt排序方式[i]->setText(U8(captions[i]));

    scmd刀模輔助->hide();
    scmd裝訂說明->hide();
    if (k.is(KindId::DieCutting)) {
        scmd刀模輔助->setEnabled(false);
        scmd刀模輔助->show();
    }
    pic印刷_選->setVisible(k.is(KindId::Printing));
    pic上光_選->setVisible(k.is(KindId::Varnishing));
    pic裱紙_選->setVisible(k.is(KindId::Mounting));
    pic紙品_選_數量->setVisible(k.is(KindId::Paper));
    pic紙品_選_單價->setVisible(k.is(KindId::Paper));

    txt廠商代號->clear();
    lbl廠商簡稱->clear();
    txt廠商代號1->clear();
    lbl廠商簡稱1->clear();
}

void RecordFilters::showMachines(const lookups::MachineList& list)
{
    cbo車別->clear();
    for (const auto& m : list.items)
        cbo車別->addItem(U8(m));
    // The user's own press only when the kind has it: a press of another
    // kind would filter every piece away.
    const int at = list.own.empty() ? -1 : cbo車別->findText(U8(list.own));
    cbo車別->setCurrentIndex(at >= 0 ? at : 0);
}

const ProcessKind* RecordFilters::kind() const { return KindByDisplayName(cbo種類->currentText().toStdString()); }

std::string RecordFilters::kindText() const { return cbo種類->currentText().toStdString(); }

std::string RecordFilters::machine() const { return qtmv::Trim(cbo車別->currentText().toStdString()); }

std::string RecordFilters::preScheduleNo() const { return qtmv::Trim(txt預排單號->text().toStdString()); }

std::string RecordFilters::preScheduleDate() const { return qtmv::Trim(txt預排日期->text().toStdString()); }

SortOption RecordFilters::sortOption() const
{
    for (std::size_t i = 0; i < opt排序方式.size(); ++i)
        if (opt排序方式[i]->isChecked())
            return static_cast<SortOption>(i);
    return SortOption::WorkOrder;
}

} // namespace qtmv::daily
