#include "lookups/ui/LookupWindow.h"

#include "app/core/Session.h"
#include "common/HandOver.h"
#include "common/ui/FormHelpers.h"
#include "common/ui/KeyEventFilter.h"
#include "lookups/core/Placement.h"
#include "platform/jet/Value.h"
#include "common/Failure.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"
#include "platform/text/Text.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace qtmv::lookups {

namespace {

constexpr int kRowsPerNotch = 3;
constexpr int kWheelNotch = 120;   // angle delta of one notch

// Colour setting n (1..7) of the session, or the setting's value when start-up
// has not filled it.
QColor ColourSetting(int n)
{
    static constexpr long defaults[] = {12632064, 15728381, 14221312, 16777215, 16747326, 16777215, 4868863};
    const QColor c = ColourFromText(U8(CurrentSession().Colours[static_cast<std::size_t>(n - 1)]));
    return c.isValid() ? c : ColourFromValue(defaults[n - 1]);
}

Box BoxOf(const QRect& r) { return {r.left(), r.top(), r.width(), r.height()}; }

} // namespace

LookupWindow::LookupWindow(QWidget* parent, const Design& design) : QDialog(parent), design_(design)
{
    // The picked row of an earlier lookup must never read as this one's.
    ClearPick();
    setObjectName(QString::fromUtf8(design.objectName));
    setWindowTitle(QString::fromUtf8(design.caption));
    setModal(true);
    resize(620, 420);

    txt篩選 = new QLineEdit(this);
    txt篩選->setObjectName(QStringLiteral("txt篩選"));
    txt篩選->setMaxLength(40);
    InstallKeyFilter(txt篩選, KeyFilterMode::Upper);
    lbl篩選_ = new QLabel(QStringLiteral("篩選:"), this);
    lbl篩選_->setBuddy(txt篩選);
    scmd確定 = new QPushButton(QStringLiteral("確 定"), this);
    scmd確定->setObjectName(QStringLiteral("scmd確定"));
    scmd確定->setAutoDefault(false);

    MSHFlexGrid1 = new SpreadGrid(this);
    MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    MSHFlexGrid1->setAccessibleGridName(QString::fromUtf8(design.caption));
    MSHFlexGrid1->setMaxRow(0);
    MSHFlexGrid1->setGridEnabled(true, ColourSetting(2));
    MSHFlexGrid1->setHighlightColor(ColourSetting(5));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);

    filterRow_ = new QHBoxLayout;
    filterRow_->addWidget(lbl篩選_);
    filterRow_->addWidget(txt篩選, 1);
    filterRow_->addWidget(scmd確定);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(6, 6, 6, 0);
    v->addLayout(filterRow_);
    v->addWidget(MSHFlexGrid1, 1);
    v->addWidget(StatusBar1);
    mainLayout_ = v;

    connect(scmd確定, &QPushButton::clicked, this, [this] { search(); });
    connect(MSHFlexGrid1, &SpreadGrid::selectionChanged, this,
            [this](int row, int) { MSHFlexGrid1->highlightRow(row); });
    connect(MSHFlexGrid1, &SpreadGrid::cellDoubleClicked, this, [this](int row, int) { pick(row); });
    MSHFlexGrid1->setKeyDownHook([this](const GridKey& k) {
        if (k.key != Qt::Key_Return && k.key != Qt::Key_Enter)
            return false;
        pick(k.row);
        return true;
    });
    txt篩選->installEventFilter(this);
    MSHFlexGrid1->tableView()->viewport()->installEventFilter(this);
}

LookupWindow::~LookupWindow() = default;

void LookupWindow::firstActivation()
{
    txt篩選->setText(U8(gLookupFilter));
}

bool LookupWindow::acceptPick(int) { return true; }

void LookupWindow::showEvent(QShowEvent* e)
{
    if (!placed_) {
        placed_ = true;
        place();
    }
    QDialog::showEvent(e);
    if (!activated_) {
        activated_ = true;
        firstActivation();
        fill();
        txt篩選->setFocus();
        txt篩選->selectAll();
    }
}

void LookupWindow::place()
{
    QWidget* reference = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (reference == this)
        reference = nullptr;
    if (reference && IsSkipped(design_.skipped, reference->objectName().toStdString()))
        reference = reference->parentWidget() ? reference->parentWidget()->window() : nullptr;
    QScreen* screen = reference ? reference->screen() : this->screen();
    if (!screen)
        screen = QApplication::primaryScreen();
    if (!screen)
        return;
    // The size the layout needs, so the right edge lands where intended.
    resize(size().expandedTo(minimumSizeHint()));
    std::optional<Box> ref;
    if (reference)
        ref = BoxOf(reference->frameGeometry());
    const Box at = PlaceLookup(ref, frameGeometry().width(), frameGeometry().height(), BoxOf(screen->availableGeometry()));
    move(at.left, at.top);
}

void LookupWindow::search()
{
    fill();
}

void LookupWindow::fill()
{
    gLookupFilter = qtmv::Trim(txt篩選->text().toStdString());
    LookupRows rows;
    if (!Guarded(windowTitle().toStdString(), [&] { rows = LoadLookup(CurrentSession().ConnectionString, query()); },
                 "清單沒有更新。"))
        return;
    showRows(std::move(rows));
}

void LookupWindow::showRows(LookupRows rows)
{
    SpreadGrid& g = *MSHFlexGrid1;
    // The row that was current stays current when the new list reaches it.
    const int remembered = std::max(1, g.activeRow());
    const bool fellBack = rows.fellBack;
    const std::string filter = gLookupFilter;
    if (rows.headings != headings_) {
        headings_ = rows.headings;
        g.setMaxCol(static_cast<int>(headings_.size()));
        g.setHeadings(headings_);
        for (std::size_t c = 0; c < headings_.size(); ++c) {
            const int twips = c < design_.widthsTwips.size() ? design_.widthsTwips[c] : 1200;
            g.setColWidthTwips(static_cast<int>(c) + 1, twips);
        }
    }
    listed_ = static_cast<int>(rows.rows.size());
    g.setRows(std::move(rows.rows));
    if (listed_ > 0) {
        const int row = remembered <= listed_ ? remembered : listed_;
        g.setActiveCell(row, 1);
        g.highlightRow(row);
    } else {
        g.highlightRow(0);
    }
    if (fellBack && design_.emptyFilterOnFallback)
        txt篩選->clear();
    QString status = QStringLiteral("共 %1 筆").arg(listed_);
    if (fellBack)
        status = QStringLiteral("找不到「%1」，列出全部資料。").arg(U8(filter)) + status;
    else if (listed_ == 0)
        status = QString::fromUtf8(design_.nothingFound);
    StatusBar1->showMessage(status);
}

void LookupWindow::setFilterCaption(const QString& caption)
{
    lbl篩選_->setText(caption);
}

void LookupWindow::focusList()
{
    MSHFlexGrid1->tableView()->setFocus();
}

void LookupWindow::pick(int row)
{
    if (row < 1 || row > listed_)
        return;
    ClearPick();
    const std::vector<std::string> texts = MSHFlexGrid1->rowTexts(row);
    for (std::size_t i = 0; i < texts.size() && i < kPickSize; ++i)
        gPick[i] = texts[i];
    if (!acceptPick(row)) {
        ClearPick();
        return;
    }
    accept();
}

void LookupWindow::scrollByNotches(int notches)
{
    QTableView* v = MSHFlexGrid1->tableView();
    const int rows = v->model()->rowCount();
    if (rows == 0 || notches == 0)
        return;
    const int top = std::max(0, v->rowAt(0));
    const int target = std::clamp(top - notches * kRowsPerNotch, 0, rows - 1);
    QScrollBar* bar = v->verticalScrollBar();
    bar->setValue(std::min(v->verticalHeader()->sectionPosition(target), bar->maximum()));
}

bool LookupWindow::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == txt篩選 && e->type() == QEvent::FocusIn) {
        // After the click that gave the focus, which would place the cursor.
        QTimer::singleShot(0, txt篩選, [box = txt篩選] { SelectAllText(box); });
    }
    if (watched == txt篩選 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            search();
            return true;
        }
        if ((key == Qt::Key_Down || key == Qt::Key_PageDown) && listed_ > 0) {
            focusList();
            return true;
        }
    }
    if (watched == MSHFlexGrid1->tableView()->viewport()) {
        if (e->type() == QEvent::Wheel) {
            auto* w = static_cast<QWheelEvent*>(e);
            wheelRemainder_ += w->angleDelta().y();
            const int notches = wheelRemainder_ / kWheelNotch;
            wheelRemainder_ -= notches * kWheelNotch;
            scrollByNotches(notches);
            return true;
        }
        if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
            QTableView* v = MSHFlexGrid1->tableView();
            const QModelIndex index = v->indexAt(static_cast<QMouseEvent*>(e)->position().toPoint());
            // The row under the pointer is the one the user means.
            if (index.isValid()) {
                MSHFlexGrid1->setActiveCell(index.row() + 1, std::max(1, MSHFlexGrid1->activeCol()));
                pick(index.row() + 1);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

} // namespace qtmv::lookups
