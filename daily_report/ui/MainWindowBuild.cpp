// The controls of the daily report window and their layout: toolbar row,
// two filter rows, the stacked process grids, the details panel of the
// current row, the print page (hidden until the print functions show it)
// and the status bar with the clock.
#include "daily_report/ui/MainWindow.h"

#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/ui/SpreadGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString u8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The full path of the database file the session works in.
QString databaseFileText()
{
    std::string path;
    try {
        path = jet::dataSourceOf(qtmv::session().ConnectionString);
    } catch (const jet::Error&) {
        // A connection string that cannot be read names no file.
    }
    return path.empty() ? QString() : QFileInfo(u8(path)).absoluteFilePath();
}

template <class W>
W* make(QWidget* parent, const QString& name)
{
    auto* w = new W(parent);
    w->setObjectName(name);
    return w;
}

// A member of a control array: "<array>_<index>", index also as a property.
template <class W>
W* makeIndexed(QWidget* parent, const QString& array, int index)
{
    auto* w = make<W>(parent, array + QLatin1Char('_') + QString::number(index));
    w->setProperty("index", index);
    return w;
}

QLabel* captionFor(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QLineEdit* lineEdit(QWidget* parent, const QString& name, int maxLength, int width)
{
    auto* e = make<QLineEdit>(parent, name);
    e->setMaxLength(maxLength);
    e->setFixedWidth(width);
    return e;
}

// A value label of the details panel: screen readers hear its caption as
// the description of the value.
QLabel* valueLabel(QWidget* parent, const QString& name, const QString& caption)
{
    auto* l = make<QLabel>(parent, name);
    l->setAccessibleDescription(caption);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setMinimumWidth(40);
    return l;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption)
{
    auto* b = make<QPushButton>(parent, name);
    b->setText(caption);
    b->setAutoDefault(false);
    return b;
}

// The quantity-calculation basis beside a grid: a caption and the numbered
// choices of the grid's "▼" column.
QFrame* basisPanel(QWidget* parent, const QString& picName, const QString& lblName, const QString& caption,
                   const QStringList& choices)
{
    auto* pic = make<QFrame>(parent, picName);
    auto* h = new QHBoxLayout(pic);
    h->setContentsMargins(6, 0, 6, 0);
    h->setSpacing(8);
    auto* cap = new QLabel(caption, pic);
    cap->setStyleSheet(QStringLiteral("font-weight: bold"));
    h->addWidget(cap);
    for (int i = 0; i < choices.size(); ++i) {
        auto* l = makeIndexed<QLabel>(pic, lblName, i);
        l->setText(choices[i]);
        h->addWidget(l);
    }
    pic->setAccessibleName(caption + QLatin1Char(' ') + choices.join(QLatin1Char(' ')));
    pic->hide();
    return pic;
}

} // namespace

void frm日報登錄作業_工單::buildToolbars()
{
    QStyle* st = style();
    Toolbar1 = new QToolBar(QStringLiteral("Toolbar1"), this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Toolbar1->setIconSize(QSize(20, 20));

    auto add = [&](QToolBar* bar, const QString& key, const QString& caption, const QString& tip,
                   QStyle::StandardPixmap icon) {
        QAction* a = bar->addAction(st->standardIcon(icon), caption);
        a->setObjectName(key);
        a->setData(key);
        a->setToolTip(tip);
        a->setStatusTip(tip);
        // Reachable with Tab like the other controls (Space presses it).
        if (QWidget* w = bar->widgetForAction(a)) {
            w->setFocusPolicy(Qt::TabFocus);
            w->setAccessibleName(caption.trimmed());
            w->setAccessibleDescription(tip);
        }
        return a;
    };
    actSave = add(Toolbar1, QStringLiteral("save"), QStringLiteral("   儲存   "), QStringLiteral("儲存"),
                  QStyle::SP_DialogSaveButton);
    actRefresh = add(Toolbar1, QStringLiteral("refresh"), QStringLiteral("刷新"), QStringLiteral("刷新"),
                     QStyle::SP_BrowserReload);
    actQuery = add(Toolbar1, QStringLiteral("明細查詢"), QStringLiteral("工單查詢"), QStringLiteral("工單查詢"),
                   QStyle::SP_FileDialogContentsView);
    actPrint = add(Toolbar1, QStringLiteral("print"), QStringLiteral("產值表"), QStringLiteral("產值表"),
                   QStyle::SP_FileDialogDetailedView);
    auto* printMenu = new QMenu(this);
    printMenu->setObjectName(QStringLiteral("mnuPrint"));
    actPrint1 = printMenu->addAction(QStringLiteral("單筆列印"));
    actPrint1->setObjectName(QStringLiteral("print1"));
    actPrint1->setData(QStringLiteral("print1"));
    actPrint->setMenu(printMenu);
    if (auto* tb = dynamic_cast<QToolButton*>(Toolbar1->widgetForAction(actPrint)))
        tb->setPopupMode(QToolButton::MenuButtonPopup);
    actExit = add(Toolbar1, QStringLiteral("exit"), QStringLiteral("離開"), QStringLiteral("離開(ESC)"),
                  QStyle::SP_DialogCloseButton);
    addToolBar(Qt::TopToolBarArea, Toolbar1);

    Toolbar2 = new QToolBar(QStringLiteral("Toolbar2"), this);
    Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
    Toolbar2->setMovable(false);
    Toolbar2->setFloatable(false);
    Toolbar2->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Toolbar2->setIconSize(QSize(20, 20));
    actWorkOrder = add(Toolbar2, QStringLiteral("工單"), QStringLiteral(" 查工單 "), QStringLiteral("查工單"),
                       QStyle::SP_FileDialogInfoView);
    addToolBar(Qt::TopToolBarArea, Toolbar2);
}

QWidget* frm日報登錄作業_工單::buildFilterRows(QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);

    // Row 1: kind, press, pre-schedule number and date, load, row actions.
    auto* r1 = new QHBoxLayout;
    r1->setSpacing(6);
    cbo種類 = make<QComboBox>(parent, QStringLiteral("cbo種類"));
    cbo種類->setMinimumWidth(110);
    cbo車別 = make<QComboBox>(parent, QStringLiteral("cbo車別"));
    cbo車別->setMinimumWidth(110);
    cbo車別->setEditable(true);   // a press outside the phrase list can be typed
    txt預排單號 = lineEdit(parent, QStringLiteral("txt預排單號"), 10, 100);
    txt預排日期 = lineEdit(parent, QStringLiteral("txt預排日期"), 7, 76);
    txt預排日期->setInputMask(QString());
    txt預排日期->setValidator(nullptr);
    scmd顯示資料 = button(parent, QStringLiteral("scmd顯示資料"), QStringLiteral("確 定"));
    scmd顯示資料->setMinimumWidth(72);
    r1->addWidget(captionFor(parent, QStringLiteral("種類:"), cbo種類));
    r1->addWidget(cbo種類);
    r1->addSpacing(6);
    r1->addWidget(captionFor(parent, QStringLiteral("車別:"), cbo車別));
    r1->addWidget(cbo車別);
    r1->addSpacing(6);
    r1->addWidget(captionFor(parent, QStringLiteral("單號:"), txt預排單號));
    r1->addWidget(txt預排單號);
    r1->addSpacing(6);
    r1->addWidget(captionFor(parent, QStringLiteral("日期:"), txt預排日期));
    r1->addWidget(txt預排日期);
    r1->addSpacing(10);
    r1->addWidget(scmd顯示資料);
    r1->addStretch(1);

    scmd刀模輔助 = button(parent, QStringLiteral("scmd刀模輔助"), QStringLiteral("變更刀號"));
    scmd刀模輔助->hide();
    scmd裝訂說明 = button(parent, QStringLiteral("scmd裝訂說明"), QStringLiteral("裝訂說明"));
    scmd裝訂說明->hide();
    pic回存工單 = make<QFrame>(parent, QStringLiteral("pic回存工單"));
    auto* wb = new QHBoxLayout(pic回存工單);
    wb->setContentsMargins(0, 0, 0, 0);
    scmd回存工單 = button(pic回存工單, QStringLiteral("scmd回存工單"), QStringLiteral("回存工單\n回存各製程備註"));
    scmd回存工單->setAccessibleName(QStringLiteral("回存工單 回存各製程備註"));
    wb->addWidget(scmd回存工單);
    pic回存工單->hide();
    r1->addWidget(scmd刀模輔助);
    r1->addWidget(scmd裝訂說明);
    r1->addWidget(pic回存工單);
    v->addLayout(r1);

    // Row 2: the sort order and the quantity basis of the shown grid.
    auto* r2 = new QHBoxLayout;
    r2->setSpacing(6);
    fra排序方式 = make<QGroupBox>(parent, QStringLiteral("fra排序方式"));
    fra排序方式->setTitle(QStringLiteral("排序方式"));
    auto* so = new QHBoxLayout(fra排序方式);
    so->setContentsMargins(8, 2, 8, 2);
    so->setSpacing(12);
    const auto captions = qtmv::daily::sortOptionCaptions(*qtmv::kindByLetter('D'));
    for (int i = 0; i < 6; ++i) {
        opt排序方式[static_cast<std::size_t>(i)] = makeIndexed<QRadioButton>(fra排序方式, QStringLiteral("opt排序方式"), i);
        opt排序方式[static_cast<std::size_t>(i)]->setText(u8(captions[static_cast<std::size_t>(i)]));
        so->addWidget(opt排序方式[static_cast<std::size_t>(i)]);
    }
    opt排序方式[0]->setChecked(true);
    r2->addWidget(fra排序方式);
    r2->addSpacing(8);

    pic印刷_選 = basisPanel(parent, QStringLiteral("pic印刷_選"), QStringLiteral("lbl印刷_選"),
                             QStringLiteral("數量計算:"), {QStringLiteral("(1)車"), QStringLiteral("(2)令")});
    pic上光_選 = basisPanel(parent, QStringLiteral("pic上光_選"), QStringLiteral("lbl上光_選"),
                             QStringLiteral("數量計算:"),
                             {QStringLiteral("(1)令"), QStringLiteral("(2)車"), QStringLiteral("(3)才積"),
                              QStringLiteral("(4)令(比例)")});
    pic裱紙_選 = basisPanel(parent, QStringLiteral("pic裱紙_選"), QStringLiteral("lbl裱紙_選"),
                             QStringLiteral("數量計算:"),
                             {QStringLiteral("(1)對裱(車計)"), QStringLiteral("(2)瓦楞(才計)")});
    pic紙品_選_數量 = basisPanel(parent, QStringLiteral("pic紙品_選_數量"), QStringLiteral("lbl紙品_選_數量"),
                                 QStringLiteral("叫紙量計算:"), {QStringLiteral("(1)令"), QStringLiteral("(2)張")});
    pic紙品_選_單價 = basisPanel(parent, QStringLiteral("pic紙品_選_單價"), QStringLiteral("lbl紙品_選_單價"),
                                 QStringLiteral("單價計算:"),
                                 {QStringLiteral("(1)令"), QStringLiteral("(2)張"), QStringLiteral("(3)才積"),
                                  QStringLiteral("(4)磅"), QStringLiteral("(5)令(比例)")});
    auto* basis = new QVBoxLayout;
    basis->setSpacing(0);
    basis->addWidget(pic印刷_選);
    basis->addWidget(pic上光_選);
    basis->addWidget(pic裱紙_選);
    basis->addWidget(pic紙品_選_數量);
    basis->addWidget(pic紙品_選_單價);
    r2->addLayout(basis);
    r2->addStretch(1);
    v->addLayout(r2);

    // Machine and vendor code fields. Nothing on the record side reads them;
    // they are kept by name for the windows that read the main window's
    // fields, cleared with every kind change, and not shown.
    txt機別 = lineEdit(parent, QStringLiteral("txt機別"), 10, 80);
    txt廠商代號 = lineEdit(parent, QStringLiteral("txt廠商代號"), 10, 80);
    lbl廠商簡稱 = make<QLabel>(parent, QStringLiteral("lbl廠商簡稱"));
    scmd廠商代號 = button(parent, QStringLiteral("scmd廠商代號"), QStringLiteral("..."));
    txt廠商代號1 = lineEdit(parent, QStringLiteral("txt廠商代號1"), 10, 80);
    lbl廠商簡稱1 = make<QLabel>(parent, QStringLiteral("lbl廠商簡稱1"));
    scmd廠商代號1 = button(parent, QStringLiteral("scmd廠商代號1"), QStringLiteral("..."));
    for (QWidget* w : std::initializer_list<QWidget*>{txt機別, txt廠商代號, lbl廠商簡稱, scmd廠商代號, txt廠商代號1,
                                                      lbl廠商簡稱1, scmd廠商代號1})
        w->hide();
    txt機別->setAccessibleName(QStringLiteral("機別"));
    txt廠商代號->setAccessibleName(QStringLiteral("廠商代號"));
    txt廠商代號1->setAccessibleName(QStringLiteral("廠商代號1"));
    scmd廠商代號->setAccessibleName(QStringLiteral("廠商查詢"));
    scmd廠商代號1->setAccessibleName(QStringLiteral("廠商查詢1"));
    return box;
}

QWidget* frm日報登錄作業_工單::buildDetailsPanel(QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);

    auto bold = [](QLabel* l) { l->setStyleSheet(QStringLiteral("color: #000080")); return l; };
    auto cap = [&](QWidget* p, const QString& text) {
        auto* l = new QLabel(text, p);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };

    // The work order of the row.
    pic明細 = make<QFrame>(box, QStringLiteral("pic明細"));
    pic明細->setFrameShape(QFrame::StyledPanel);
    auto* g = new QGridLayout(pic明細);
    g->setContentsMargins(6, 3, 6, 3);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(2);
    lbl客戶 = bold(valueLabel(pic明細, QStringLiteral("lbl客戶"), QStringLiteral("客戶")));
    lbl品名 = bold(valueLabel(pic明細, QStringLiteral("lbl品名"), QStringLiteral("品名")));
    lbl日期 = bold(valueLabel(pic明細, QStringLiteral("lbl日期"), QStringLiteral("工單日期")));
    lbl交貨日 = bold(valueLabel(pic明細, QStringLiteral("lbl交貨日"), QStringLiteral("交貨日")));
    lbl預定完工日 = bold(valueLabel(pic明細, QStringLiteral("lbl預定完工日"), QStringLiteral("預定完工日")));
    lbl品名->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pic急件 = make<QFrame>(pic明細, QStringLiteral("pic急件"));
    auto* rush = new QHBoxLayout(pic急件);
    rush->setContentsMargins(0, 0, 0, 0);
    lbl急件 = make<QLabel>(pic急件, QStringLiteral("lbl急件"));
    lbl急件->setText(QStringLiteral(" 急  件 "));
    lbl急件->setStyleSheet(QStringLiteral("background: #FF0000; color: white; font-weight: bold; padding: 1px 4px"));
    rush->addWidget(lbl急件);
    g->addWidget(cap(pic明細, QStringLiteral("客戶:")), 0, 0);
    g->addWidget(lbl客戶, 0, 1);
    g->addWidget(cap(pic明細, QStringLiteral("品名:")), 0, 2);
    g->addWidget(lbl品名, 0, 3, 1, 3);
    g->addWidget(cap(pic明細, QStringLiteral("工單日期:")), 0, 6);
    g->addWidget(lbl日期, 0, 7);
    g->addWidget(cap(pic明細, QStringLiteral("交貨日:")), 0, 8);
    g->addWidget(lbl交貨日, 0, 9);
    g->addWidget(cap(pic明細, QStringLiteral("預定完工日:")), 0, 10);
    g->addWidget(lbl預定完工日, 0, 11);
    g->addWidget(pic急件, 0, 12);

    lbl備註 = make<QLabel>(pic明細, QStringLiteral("lbl備註"));
    lbl備註->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl備註1 = bold(valueLabel(pic明細, QStringLiteral("lbl備註1"), QStringLiteral("備註")));
    lbl備註1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbl包裝 = make<QLabel>(pic明細, QStringLiteral("lbl包裝"));
    lbl包裝->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl包裝1 = bold(valueLabel(pic明細, QStringLiteral("lbl包裝1"), QStringLiteral("包裝")));
    lbl紙到 = make<QLabel>(pic明細, QStringLiteral("lbl紙到"));
    lbl紙到->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl紙到1 = bold(valueLabel(pic明細, QStringLiteral("lbl紙到1"), QStringLiteral("紙到")));
    lbl版到 = make<QLabel>(pic明細, QStringLiteral("lbl版到"));
    lbl版到->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl版到1 = bold(valueLabel(pic明細, QStringLiteral("lbl版到1"), QStringLiteral("版到")));
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
    v->addWidget(pic明細);

    // The vendor, the outsourcing lines and the row's remark.
    pic明細1 = make<QFrame>(box, QStringLiteral("pic明細1"));
    pic明細1->setFrameShape(QFrame::StyledPanel);
    auto* h = new QHBoxLayout(pic明細1);
    h->setContentsMargins(6, 3, 6, 3);
    h->setSpacing(6);
    lbl廠商 = bold(valueLabel(pic明細1, QStringLiteral("lbl廠商"), QStringLiteral("廠商")));
    lbl電話 = bold(valueLabel(pic明細1, QStringLiteral("lbl電話"), QStringLiteral("電話")));
    lbl下游廠商 = bold(valueLabel(pic明細1, QStringLiteral("lbl下游廠商"), QStringLiteral("委外廠商")));
    lbl下游廠商->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbl說明 = make<QLabel>(pic明細1, QStringLiteral("lbl說明"));
    lbl說明1 = bold(valueLabel(pic明細1, QStringLiteral("lbl說明1"), QStringLiteral("說明")));
    lbl說明1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pic用紙 = make<QFrame>(pic明細1, QStringLiteral("pic用紙"));
    auto* paper = new QHBoxLayout(pic用紙);
    paper->setContentsMargins(0, 0, 0, 0);
    lbl用紙 = bold(valueLabel(pic用紙, QStringLiteral("lbl用紙"), QStringLiteral("頁數")));
    paper->addWidget(cap(pic用紙, QStringLiteral("頁數:")));
    paper->addWidget(lbl用紙);
    h->addWidget(cap(pic明細1, QStringLiteral("廠商:")));
    h->addWidget(lbl廠商, 1);
    h->addWidget(cap(pic明細1, QStringLiteral("電話:")));
    h->addWidget(lbl電話, 1);
    h->addWidget(cap(pic明細1, QStringLiteral("委外:")));
    h->addWidget(lbl下游廠商, 3);
    h->addWidget(lbl說明);
    h->addWidget(lbl說明1, 3);
    h->addWidget(pic用紙);
    v->addWidget(pic明細1);
    return box;
}

void frm日報登錄作業_工單::buildRecordSide(QWidget* parent)
{
    pic基本資料 = make<QFrame>(parent, QStringLiteral("pic基本資料"));
    auto* v = new QVBoxLayout(pic基本資料);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);
    v->addWidget(buildFilterRows(pic基本資料));

    stk製程 = make<QStackedWidget>(pic基本資料, QStringLiteral("stk製程"));
    const auto& kinds = qtmv::processKinds();
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const QString name = u8(kinds[i].gridName);
        fra[i] = make<QFrame>(stk製程, QStringLiteral("fra") + name);
        auto* l = new QVBoxLayout(fra[i]);
        l->setContentsMargins(0, 0, 0, 0);
        fml[i] = make<qtmv::SpreadGrid>(fra[i], QStringLiteral("fml") + name);
        fml[i]->setAccessibleGridName(u8(kinds[i].spacedName).remove(QLatin1Char(' ')) + QStringLiteral("日報"));
        l->addWidget(fml[i]);
        stk製程->addWidget(fra[i]);
    }
    v->addWidget(stk製程, 1);
    v->addWidget(buildDetailsPanel(pic基本資料));
}

void frm日報登錄作業_工單::buildPrintPage(QWidget* parent)
{
    // The controls of the print page with their names and captions; the
    // print functions arrange what they show.
    pic列印 = make<QFrame>(parent, QStringLiteral("pic列印"));
    pic列印->setFrameShape(QFrame::StyledPanel);
    auto* top = new QHBoxLayout(pic列印);

    auto* reports = new QGroupBox(QStringLiteral("報表選擇"), pic列印);
    reports->setObjectName(QStringLiteral("fra選擇報表"));
    auto* rv = new QVBoxLayout(reports);
    const QStringList reportCaptions{QStringLiteral("排程單"),       QStringLiteral("產值分析(明細)"),
                                     QStringLiteral("產值分析(總表)"), QStringLiteral("排程單2"),
                                     QStringLiteral("指示單"),       QStringLiteral("排程單3"),
                                     QStringLiteral("個人生產總表"), QStringLiteral("生產明細表")};
    for (int i = 0; i < reportCaptions.size(); ++i) {
        auto* o = makeIndexed<QRadioButton>(reports, QStringLiteral("sopt選擇報表"), i);
        o->setText(reportCaptions[i]);
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
    top->addWidget(reports);

    auto* right = new QVBoxLayout;
    auto* cond = new QGroupBox(QStringLiteral("條件設定"), pic列印);
    cond->setObjectName(QStringLiteral("fra條件設定"));
    auto* cv = new QHBoxLayout(cond);
    const QStringList condCaptions{QStringLiteral("列印單筆"), QStringLiteral("列印全部"), QStringLiteral("列印範圍")};
    for (int i = 0; i < condCaptions.size(); ++i) {
        auto* o = makeIndexed<QRadioButton>(cond, QStringLiteral("sopt條件設定"), i);
        o->setText(condCaptions[i]);
        cv->addWidget(o);
    }
    auto* lblSingle = make<QLabel>(cond, QStringLiteral("lbl列印單筆"));
    cv->addWidget(lblSingle);
    cv->addStretch(1);
    right->addWidget(cond);

    auto* kindRow = new QHBoxLayout;
    cbo種類列印 = make<QComboBox>(pic列印, QStringLiteral("cbo種類列印"));
    cbo種類列印->setMinimumWidth(110);
    auto* lblKind = captionFor(pic列印, QStringLiteral("種　　類:"), cbo種類列印);
    lblKind->setObjectName(QStringLiteral("lbl種類列印"));
    kindRow->addWidget(lblKind);
    kindRow->addWidget(cbo種類列印);
    kindRow->addStretch(1);
    right->addLayout(kindRow);

    // Range fields, txt列印範圍_0 .. _13.
    std::array<QLineEdit*, 14> range{};
    const int maxLen[14] = {7, 7, 10, 10, 7, 4, 7, 4, 9, 9, 10, 30, 10, 20};
    for (int i = 0; i < 14; ++i) {
        range[static_cast<std::size_t>(i)] = makeIndexed<QLineEdit>(pic列印, QStringLiteral("txt列印範圍"), i);
        range[static_cast<std::size_t>(i)]->setMaxLength(maxLen[i]);
    }
    auto rangeRow = [&](QGridLayout* g, int row, const QString& caption, QLineEdit* from, QLineEdit* to) {
        g->addWidget(captionFor(from->parentWidget(), caption, from), row, 0);
        g->addWidget(from, row, 1);
        if (to) {
            g->addWidget(new QLabel(QStringLiteral("～"), from->parentWidget()), row, 2);
            g->addWidget(to, row, 3);
            to->setAccessibleName(caption + QStringLiteral("迄"));
        }
    };

    auto* pic1 = make<QFrame>(pic列印, QStringLiteral("pic列印1"));
    auto* g1 = new QGridLayout(pic1);
    for (int i : {0, 1, 2, 3, 12})
        range[static_cast<std::size_t>(i)]->setParent(pic1);
    rangeRow(g1, 0, QStringLiteral("排程日期:"), range[0], range[1]);
    rangeRow(g1, 1, QStringLiteral("排程單號:"), range[2], range[3]);
    rangeRow(g1, 2, QStringLiteral("廠　　商:"), range[12], nullptr);
    g1->addWidget(button(pic1, QStringLiteral("scmd廠商列印"), QStringLiteral("...")), 2, 2);
    right->addWidget(pic1);

    auto* pic2 = make<QFrame>(pic列印, QStringLiteral("pic列印2"));
    auto* g2 = new QGridLayout(pic2);
    for (int i : {4, 5, 6, 7, 8, 9, 10, 11, 13})
        range[static_cast<std::size_t>(i)]->setParent(pic2);
    rangeRow(g2, 0, QStringLiteral("完成日期:"), range[4], range[6]);
    g2->addWidget(range[5], 0, 4);
    g2->addWidget(range[7], 0, 5);
    range[5]->setAccessibleName(QStringLiteral("完成時間"));
    range[7]->setAccessibleName(QStringLiteral("完成時間迄"));
    rangeRow(g2, 1, QStringLiteral("工單單號:"), range[8], range[9]);
    rangeRow(g2, 2, QStringLiteral("經　　辦:"), range[10], nullptr);
    g2->addWidget(button(pic2, QStringLiteral("scmd經辦"), QStringLiteral("...")), 2, 2);
    rangeRow(g2, 3, QStringLiteral("說　　明:"), range[11], nullptr);
    auto* make製作 = button(pic2, QStringLiteral("scmd製作"), QStringLiteral("製作"));
    g2->addWidget(make製作, 4, 0);
    g2->addWidget(range[13], 4, 1);
    auto* lbl製作 = make<QLabel>(pic2, QStringLiteral("lbl製作_列印"));
    g2->addWidget(lbl製作, 4, 3);
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
    right->addWidget(pic2);

    auto* opts = new QGroupBox(QStringLiteral("列印選項"), pic列印);
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
    right->addWidget(opts);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(button(pic列印, QStringLiteral("ssc列印"), QStringLiteral("列印")));
    buttons->addWidget(button(pic列印, QStringLiteral("ssc預覽列印"), QStringLiteral("預覽列印")));
    buttons->addWidget(button(pic列印, QStringLiteral("ssc轉Excel檔"), QStringLiteral("轉Excel檔")));
    buttons->addWidget(button(pic列印, QStringLiteral("ssc回前畫面_列印"), QStringLiteral("回前畫面")));
    right->addLayout(buttons);
    right->addStretch(1);
    top->addLayout(right, 1);
    pic列印->hide();
}

void frm日報登錄作業_工單::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    pic系統時間 = make<QFrame>(StatusBar1, QStringLiteral("pic系統時間"));
    auto* h = new QHBoxLayout(pic系統時間);
    h->setContentsMargins(8, 0, 8, 0);
    lbl系統時間 = make<QLabel>(pic系統時間, QStringLiteral("lbl系統時間"));
    lbl系統時間->setAccessibleName(QStringLiteral("系統時間"));
    lbl系統時間->setMinimumWidth(70);
    lbl系統時間->setAlignment(Qt::AlignCenter);
    QFont f = lbl系統時間->font();
    f.setBold(true);
    lbl系統時間->setFont(f);
    h->addWidget(lbl系統時間);
    // Which database this workstation works in: a client's shared one or
    // the program folder's own.
    lblDatabasePath = make<QLabel>(StatusBar1, QStringLiteral("lblDatabasePath"));
    lblDatabasePath->setAccessibleName(QStringLiteral("資料庫"));
    lblDatabasePath->setText(databaseFileText());
    lblDatabasePath->setToolTip(lblDatabasePath->text());
    StatusBar1->addPermanentWidget(lblDatabasePath);
    StatusBar1->addPermanentWidget(pic系統時間);

    for (int i = 0; i < 2; ++i) {
        Timer1[static_cast<std::size_t>(i)] = new QTimer(this);
        Timer1[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("Timer1_") + QString::number(i));
        Timer1[static_cast<std::size_t>(i)]->setProperty("index", i);
    }
}
