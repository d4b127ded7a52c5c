#include "daily_report/ui/MainWindow.h"

#include "app/core/DatabaseLocation.h"
#include "app/core/Launch.h"
#include "app/core/Locks.h"
#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "app/core/StartupWaits.h"
#include "common/ui/FormHelpers.h"
#include "common/SiteRules.h"
#include "daily_report/ui/PrintPage.h"
#include "daily_report/ui/RecordFilters.h"
#include "daily_report/ui/ProcessPage.h"
#include "daily_report/ui/RecordSide.h"
#include "daily_report/ui/WorkOrderActions.h"
#include "daily_report/ui/StatusClock.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "common/Failure.h"
#include "platform/os/Host.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/QtText.h"
#include "vendors/core/DownstreamVendor.h"
#include "platform/ui/SpreadGrid.h"
#include "platform/ui/TextFit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QSettings>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The settings of the signed-in employee (several may share one account of
// the workstation): "<user>/<grid>/entryView", "<user>/<grid>/width<col>",
// "<user>/largeFont", "<user>/geometry".
QString SettingsUser()
{
    const qtmv::Session& s = qtmv::CurrentSession();
    const std::string& user = !s.EmployeeId.empty() ? s.EmployeeId : s.LoginUser;
    return user.empty() ? QStringLiteral("-") : QString::fromStdString(user);
}

QString GridKeyOf(const qtmv::ProcessKind& kind, const QString& item)
{
    return SettingsUser() + QLatin1Char('/') + QString::fromUtf8(kind.gridName.data(), qsizetype(kind.gridName.size()))
           + QLatin1Char('/') + item;
}

constexpr int kLargeFontStep = 3;   // points added by "大字"

} // namespace

using qtmv::MsgBox;
using qtmv::MsgIcon;
using qtmv::U8;
namespace daily = qtmv::daily;

frm日報登錄作業_工單::frm日報登錄作業_工單()
    : clock_(&qtmv::TheSystemClock()), endProgram_([] { qtmv::EndProgramNow(); })
{
    setObjectName(QStringLiteral("frm日報登錄作業_工單"));
    setWindowTitle(U8(qtmv::kApplicationTitle));
    resize(1024, 720);
    setMinimumSize(960, 600);

    toolbars_ = daily::BuildToolbars(this);
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(6, 4, 6, 2);
    daily::RecordSide::Hooks hooks;
    hooks.clock = [this]() -> const qtmv::Clock& { return *clock_; };
    hooks.endProgram = [this] { endProgram(); };
    hooks.shown = [this](const QString& status, bool canSave) {
        StatusBar1->showMessage(status);
        showEditRights();
        toolbars_.actSave->setEnabled(canSave);
        // The view button follows the kind shown.
        if (const daily::ProcessPage* p = currentPage()) {
            const QSignalBlocker block(toolbars_.actEntryView);
            toolbars_.actEntryView->setChecked(p->entryView());
        }
    };
    hooks.pendingChanged = [this](int cells) {
        if (!lbl未儲存)
            return;
        lbl未儲存->setText(QStringLiteral("未儲存 %1 格").arg(cells));
        lbl未儲存->setVisible(cells > 0);
    };
    hooks.editHint = [this](const QString& hint) {
        if (!lbl輸入提示)
            return;
        lbl輸入提示->setText(hint);
        lbl輸入提示->setVisible(!hint.isEmpty());
    };
    hooks.databaseProblem = [this] { return databaseProblem(); };
    // The grids ask before any edit; an answer that finds the rights
    // established after all takes the look-only mark away.
    hooks.editRefused = [this] {
        const bool refused = qtmv::EditRefused(qtmv::CurrentSession());
        showEditRights();
        return refused;
    };
    // Each kind's page is built when first shown; it takes the user's view
    // settings then, so start-up sets up one grid, not fourteen.
    hooks.pageBuilt = [this](daily::ProcessPage& p) { applyViewSettings(p); };
    hooks.vendorPrintOptions = [this] { return printPage_->vendorOptionsCode(); };
    hooks.vendorPrintOptionsStored = [this](const std::string& code) { printPage_->showVendorOptions(code); };
    {
        const QSignalBlocker block(toolbars_.actLargeFont);
        toolbars_.actLargeFont->setChecked(
            QSettings().value(SettingsUser() + QStringLiteral("/largeFont"), false).toBool());
    }
    recordSide_ = new daily::RecordSide(central, std::move(hooks), qtmv::CurrentSession().CompanyName);
    v->addWidget(recordSide_, 1);
    printPage_ = new daily::PrintPage(central);
    v->addWidget(printPage_, 1);
    setCentralWidget(central);
    buildStatusBar();
    showEditRights();
    connectControls();
    formLoad();
    // The window previews every key typed into its controls.
    qApp->installEventFilter(this);
}

frm日報登錄作業_工單::~frm日報登錄作業_工單()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (registered_)
        formUnload();
}

void frm日報登錄作業_工單::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    // Which database this workstation works in: a client's shared one or
    // the program folder's own.
    lblDatabasePath = new QLabel(StatusBar1);
    lblDatabasePath->setObjectName(QStringLiteral("lblDatabasePath"));
    lblDatabasePath->setAccessibleName(QStringLiteral("資料庫"));
    lblDatabasePath->setText(U8(jet::DatabaseShownName(qtmv::CurrentSession().ConnectionString)));
    lblDatabasePath->setToolTip(lblDatabasePath->text());
    lblDatabasePath->setProperty("path", lblDatabasePath->text());
    // The cells waiting to be saved, in the colour they have in the grid.
    lbl未儲存 = new QLabel(StatusBar1);
    lbl未儲存->setObjectName(QStringLiteral("lbl未儲存"));
    lbl未儲存->setStyleSheet(QStringLiteral("background: #FFE08A; padding: 0 6px"));
    lbl未儲存->hide();
    lbl輸入提示 = new QLabel(StatusBar1);
    lbl輸入提示->setObjectName(QStringLiteral("lbl輸入提示"));
    lbl輸入提示->hide();
    lbl僅可查詢 = new QLabel(QStringLiteral("僅可查詢"), StatusBar1);
    lbl僅可查詢->setObjectName(QStringLiteral("lbl僅可查詢"));
    lbl僅可查詢->setStyleSheet(QStringLiteral("color: #C00000; font-weight: bold; padding: 0 6px"));
    lbl僅可查詢->hide();
    StatusBar1->addPermanentWidget(lbl僅可查詢);
    StatusBar1->addPermanentWidget(lbl輸入提示);
    StatusBar1->addPermanentWidget(lbl未儲存);
    StatusBar1->addPermanentWidget(lblDatabasePath);
    clockPanel_ = new daily::StatusClock(StatusBar1, [this]() -> const qtmv::Clock& { return *clock_; });
    StatusBar1->addPermanentWidget(clockPanel_);
}

void frm日報登錄作業_工單::showEditRights()
{
    const std::string why = qtmv::QueryOnlyReason(qtmv::CurrentSession());
    const QString title = U8(qtmv::kApplicationTitle);
    setWindowTitle(why.empty() ? title : title + QStringLiteral(" - 僅可查詢"));
    lbl僅可查詢->setToolTip(U8(why));
    lbl僅可查詢->setVisible(!why.empty());
}

void frm日報登錄作業_工單::handle(const char* operation, const std::function<void()>& handler)
{
    qtmv::Guarded(operation, handler);
}

void frm日報登錄作業_工單::connectControls()
{
    const daily::Toolbars& t = toolbars_;
    connect(t.Toolbar1, &QToolBar::actionTriggered, this, [this](QAction* a) {
        if (a == toolbars_.actPrint1)
            return;   // its own connection below: the menu entry is no toolbar button
        // The toolbar takes no second click while its action runs.
        toolbars_.Toolbar1->setEnabled(false);
        runToolbarAction(a->data().toString());
        toolbars_.Toolbar1->setEnabled(true);
    });
    connect(t.actPrint1, &QAction::triggered, this, [this] { pressToolbarKey(toolbars_.actPrint1); });
    connect(t.actEntryView, &QAction::toggled, this, [this](bool on) { setEntryView(on); });
    connect(t.actLargeFont, &QAction::toggled, this, [this](bool on) { setLargeFont(on); });
    connect(t.Toolbar2, &QToolBar::actionTriggered, this, [this](QAction* a) {
        if (a == toolbars_.actWorkOrder && databaseReady())
            handle("查工單", [this] { handOffWorkOrder(); });
    });
    connect(printPage_->ssc回前畫面_列印, &QPushButton::clicked, this, [this] { showPrintPage(false); });
}

// --- Lifecycle ----------------------------------------------------------------

void frm日報登錄作業_工單::formLoad()
{
    qtmv::PrepareFormControls(this);
    qtmv::CenterForm(this);
    restorePlace();
    clockPanel_->start();
    showPrintPage(false);
}

void frm日報登錄作業_工單::formActivate()
{
    firstActivation_ = false;
    qtmv::Session& s = qtmv::CurrentSession();
    s.MainWindowHandle = static_cast<double>(qtmv::os::CurrentProcessId());
    // Without a database start-up has said why; the status bar keeps saying
    // it and every operation says it again, instead of one message per read.
    const bool database = databaseProblem().empty();
    if (database) {
        qtmv::RegisterMainWindow(s);
        registered_ = true;
    }

    clockPanel_->tick();
    try {
        if (database)
            phrases_ = qtmv::lookups::LoadPhrases(s);
    } catch (const jet::Error& e) {
        if (e.kind() == jet::Error::Kind::Busy && qtmv::InStartupWaits())
            qtmv::ReportNotDoneWhileBusy(s, "片語資料沒有讀取，請稍後重新開啟本程式。");
        else
            qtmv::ReportFailure("讀取片語資料錯誤", e, "片語清單是空的。");
    }

    if (qtmv::site::PrintsScheduleAmounts(s.CompanyName))
        printPage_->chk預排表印金額->setChecked(true);
    // The print options of the downstream vendor windows, as last stored.
    try {
        if (database)
            if (const std::string code = qtmv::vendors::StoredOptionsCode(s); !code.empty())
                printPage_->showVendorOptions(code);
    } catch (const jet::Error& e) {
        if (e.kind() == jet::Error::Kind::Busy && qtmv::InStartupWaits())
            qtmv::ReportNotDoneWhileBusy(s, "列印選項沒有讀取，單筆列印使用預設的選項。");
        else
            qtmv::ReportFailure("讀取列印選項", e, "單筆列印使用預設的選項。");
    } catch (const std::exception& e) {
        qtmv::ReportFailure("讀取列印選項", e, "單筆列印使用預設的選項。");
    }
    if (qtmv::RightsRestricted(s, s.ProductionRights, qtmv::kNoPrinting)) {
        toolbars_.actPrint->setVisible(false);
        toolbars_.actPrint1->setVisible(false);
    }

    filters().fillKinds();
    {
        const QSignalBlocker block(printPage_->cbo種類列印);
        printPage_->cbo種類列印->clear();
        for (const auto& k : qtmv::ProcessKinds())
            printPage_->cbo種類列印->addItem(U8(k.displayName));
    }
    showPrintPage(false);
    handle("切換種類", [this] { recordSide_->kindChanged(); });
    filters().cbo種類->setFocus();
    showEditRights();
    // Start-up ends here: what a busy database kept from being done is told
    // once, and later operations wait their full time again.
    qtmv::EndStartupWaits(s);
}

void frm日報登錄作業_工單::formUnload()
{
    clockPanel_->stop();
    if (registered_) {
        const qtmv::Session& s = qtmv::CurrentSession();
        qtmv::UnregisterFunctionUse(s, s.WorkstationUser, qtmv::kApplicationTitle, false);
        registered_ = false;
    }
}

void frm日報登錄作業_工單::restorePlace()
{
    // Qt's own record of the window: the normal geometry, the screen and
    // whether maximised. Restoring moves a place off the screens back onto
    // one, and declines a record from a screen of a very different size;
    // the window then stays centred at its default size.
    const QByteArray place = QSettings().value(SettingsUser() + QStringLiteral("/geometry")).toByteArray();
    if (!place.isEmpty())
        restoreGeometry(place);
}

void frm日報登錄作業_工單::storePlace()
{
    QSettings().setValue(SettingsUser() + QStringLiteral("/geometry"), saveGeometry());
}

bool frm日報登錄作業_工單::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && firstActivation_)
        handle("日報登錄作業", [this] { formActivate(); });
    // Back from another window (which may have established the rights).
    if (e->type() == QEvent::WindowActivate && lbl僅可查詢)
        showEditRights();
    return QMainWindow::event(e);
}

void frm日報登錄作業_工單::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // Without a window manager the window may never be activated; the first
    // showing then counts as the first activation.
    QTimer::singleShot(0, this, [this] {
        if (firstActivation_)
            handle("日報登錄作業", [this] { formActivate(); });
    });
}

void frm日報登錄作業_工單::closeEvent(QCloseEvent* e)
{
    if (!leaving_) {
        // Typed cells are settled first (saved, or thrown away knowingly);
        // with cells still pending, Enter answers No to leaving.
        daily::ProcessPage* p = currentPage();
        if (p && !recordSide_->settlePending(*p)) {
            e->ignore();
            return;
        }
        const bool pending = recordSide_->pendingCells() > 0;
        const std::string question = daily::LeaveQuestion(qtmv::kApplicationTitle);
        if (MsgBox(question, "詢問", MsgIcon::Question, qtmv::MsgButtons::YesNo,
                   pending ? qtmv::MsgAnswer::No : qtmv::MsgAnswer::Yes) != qtmv::MsgAnswer::Yes) {
            e->ignore();
            return;
        }
        leaving_ = true;
    }
    recordSide_->finishEdits();
    storePlace();
    formUnload();
    e->accept();
}

void frm日報登錄作業_工單::endProgram()
{
    leaving_ = true;
    storePlace();
    if (endProgram_)
        endProgram_();
}

bool frm日報登錄作業_工單::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::KeyPress)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this)
        return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    switch (ke->key()) {
    case Qt::Key_F8:
        if (ke->modifiers() != Qt::NoModifier)
            return false;
        pressToolbarKey(toolbars_.actSave);
        return true;
    case Qt::Key_H:
        if (ke->modifiers() != Qt::ControlModifier)
            return false;
        pressToolbarKey(toolbars_.actHistory);
        return true;
    case Qt::Key_Escape: {
        // An open cell editor takes Esc to drop the typing; otherwise Esc
        // asks to leave.
        const qtmv::SpreadGrid* g = currentGrid();
        if (g && g->isEditing())
            return false;
        close();
        return true;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!(ke->modifiers() & Qt::ControlModifier))
            return false;
        for (QWidget* p = w; p && p != this; p = p->parentWidget())
            if (auto* g = qobject_cast<qtmv::SpreadGrid*>(p)) {
                leaveGrid(*g, ke->key() == Qt::Key_Tab && !(ke->modifiers() & Qt::ShiftModifier));
                return true;
            }
        return false;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (ke->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
            return false;
        // A focused button is pressed, as a clerk expects of Enter there.
        if (qobject_cast<QPushButton*>(w) || qobject_cast<QToolButton*>(w)) {
            if (w->isEnabled())
                static_cast<QAbstractButton*>(w)->click();
            return true;
        }
        // Elsewhere Enter moves on like Tab, in fields and in grid cells alike.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &tab);
        return true;
    }
    default:
        return false;
    }
}

// --- Parts and the record side's operations ------------------------------------------

daily::RecordFilters& frm日報登錄作業_工單::filters() const { return recordSide_->filters(); }
daily::DetailsPanel& frm日報登錄作業_工單::details() const { return recordSide_->details(); }
daily::ProcessPage& frm日報登錄作業_工單::page(const qtmv::ProcessKind& kind) const { return recordSide_->page(kind); }
daily::ProcessPage* frm日報登錄作業_工單::currentPage() const { return recordSide_->currentPage(); }
qtmv::SpreadGrid* frm日報登錄作業_工單::grid(const qtmv::ProcessKind& kind) const { return page(kind).grid(); }
const qtmv::ProcessKind* frm日報登錄作業_工單::currentKind() const { return recordSide_->currentKind(); }
std::string frm日報登錄作業_工單::kindText() const { return filters().kindText(); }
int frm日報登錄作業_工單::loadedRecords(const qtmv::ProcessKind& kind) const { return page(kind).records(); }
const std::string& frm日報登錄作業_工單::currentGridName() const { return recordSide_->currentGridName(); }
const std::string& frm日報登錄作業_工單::currentRecordNo() const { return recordSide_->currentRecordNo(); }
void frm日報登錄作業_工單::loadCurrentKind() { recordSide_->load(); }
void frm日報登錄作業_工單::saveCurrentKind()
{
    recordSide_->save();
    showEditRights();   // the save's rights check may have established them
}

qtmv::SpreadGrid* frm日報登錄作業_工單::currentGrid() const
{
    daily::ProcessPage* p = currentPage();
    return p ? p->grid() : nullptr;
}

const daily::ChangeFlags& frm日報登錄作業_工單::changeFlags(const qtmv::ProcessKind& kind) const
{
    return page(kind).flags();
}

// --- Toolbar commands ----------------------------------------------------------------

void frm日報登錄作業_工單::applyViewSettings(daily::ProcessPage& p)
{
    const qtmv::ProcessKind& k = p.kind();
    QSettings settings;
    qtmv::SpreadGrid* g = p.grid();
    for (int col = 1; col <= p.layout().columnCount(); ++col) {
        const int width = settings.value(GridKeyOf(k, QStringLiteral("width%1").arg(col)), 0).toInt();
        if (width > 0)
            g->setColWidth(col, width);
    }
    p.setEntryView(settings.value(GridKeyOf(k, QStringLiteral("entryView")), false).toBool());
    connect(g, &qtmv::SpreadGrid::columnResized, this, [&k](int col, int width) {
        QSettings().setValue(GridKeyOf(k, QStringLiteral("width%1").arg(col)), width);
    });
    if (toolbars_.actLargeFont->isChecked())
        setGridFontLarge(p, true);
}

void frm日報登錄作業_工單::setEntryView(bool on)
{
    daily::ProcessPage* p = currentPage();
    if (!p)
        return;
    p->setEntryView(on);
    QSettings().setValue(GridKeyOf(p->kind(), QStringLiteral("entryView")), on);
}

void frm日報登錄作業_工單::setLargeFont(bool on)
{
    for (daily::ProcessPage* p : recordSide_->builtPages())
        setGridFontLarge(*p, on);
    QSettings().setValue(SettingsUser() + QStringLiteral("/largeFont"), on);
}

void frm日報登錄作業_工單::setGridFontLarge(daily::ProcessPage& p, bool on)
{
    qtmv::SpreadGrid& g = *p.grid();
    // The size the grid was set up with is the normal one.
    if (!g.property("normalPointSize").isValid())
        g.setProperty("normalPointSize", g.font().pointSizeF());
    QFont f = g.font();
    f.setPointSizeF(g.property("normalPointSize").toDouble() + (on ? kLargeFontStep : 0));
    g.setFont(qtmv::ScreenFont(f));
    p.fitHeadings();
}

void frm日報登錄作業_工單::leaveGrid(qtmv::SpreadGrid& grid, bool forward)
{
    grid.finishEdit();
    QWidget* w = grid.tableView();
    for (int steps = 0; steps < 1000; ++steps) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == grid.tableView())
            return;
        if (w == &grid || grid.isAncestorOf(w) || w->window() != this || !w->isVisible() || !w->isEnabled()
            || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
    }
}

std::string frm日報登錄作業_工單::databaseProblem()
{
    // Once the database has opened, operations report their own failures;
    // only a window that has not seen it yet checks before each one.
    if (databaseOpened_)
        return std::string();
    const std::string problem = qtmv::DatabaseOpenProblem(qtmv::CurrentSession());
    databaseOpened_ = problem.empty();
    const QString path = lblDatabasePath->property("path").toString();
    if (problem.empty()) {
        lblDatabasePath->setText(path);
        lblDatabasePath->setStyleSheet(QString());
        return problem;
    }
    lblDatabasePath->setText(QStringLiteral("沒有開啟資料庫：") + path);
    lblDatabasePath->setStyleSheet(QStringLiteral("color: #C00000; font-weight: bold"));
    return daily::NoDatabaseMessage(problem);
}

bool frm日報登錄作業_工單::databaseReady()
{
    const std::string problem = databaseProblem();
    if (problem.empty())
        return true;
    MsgBox(problem, "錯誤", MsgIcon::Critical);
    return false;
}

void frm日報登錄作業_工單::pressToolbarKey(QAction* button)
{
    // A key does what its button does, and only when the button could be pressed.
    if (button->isEnabled() && button->isVisible() && toolbars_.Toolbar1->isEnabled() && !recordSide_->busy())
        runToolbarAction(button->data().toString());
}

void frm日報登錄作業_工單::runToolbarAction(const QString& key)
{
    // Saving and loading check the database themselves; leaving needs none.
    const bool needsDatabase =
        key == QStringLiteral("明細查詢") || key == QStringLiteral("print") || key == QStringLiteral("print1");
    if (needsDatabase && !databaseReady())
        return;
    if (key == QStringLiteral("save"))
        saveCurrentKind();
    else if (key == QStringLiteral("refresh"))
        loadCurrentKind();
    else if (key == QStringLiteral("明細查詢"))
        handle("明細查詢", [this] { queryWorkOrder(); });
    else if (key == QStringLiteral("history"))
        handle("日報異動紀錄", [this] { recordSide_->openHistory(); });
    else if (key == QStringLiteral("print"))
        showPrintPage(true);
    else if (key == QStringLiteral("print1")) {
        // The page as "產值表" opens it, then on the current row's order.
        showPrintPage(true);
        printPage_->chooseSingleOrder();
    }
    else if (key == QStringLiteral("exit"))
        close();
}

void frm日報登錄作業_工單::showPrintPage(bool show)
{
    // The print page takes the place of the record side; its reports and
    // ranges are arranged by the print functions.
    recordSide_->setVisible(!show);
    printPage_->setVisible(show);
    const daily::ProcessPage* p = currentPage();
    toolbars_.actSave->setEnabled(!show && p && p->records() > 0);
    toolbars_.actRefresh->setEnabled(!show);
    toolbars_.actQuery->setEnabled(!show);
    toolbars_.actHistory->setEnabled(!show);
    if (!show)
        return;
    printPage_->open(filters().cbo種類->currentText(), currentRecordNo());
}

void frm日報登錄作業_工單::queryWorkOrder()
{
    daily::ProcessPage* p = currentPage();
    daily::QueryWorkOrder(this, p ? p->grid() : nullptr, p ? p->records() : 0);
}

void frm日報登錄作業_工單::handOffWorkOrder()
{
    daily::ProcessPage* p = currentPage();
    const int row = p ? p->grid()->activeRow() : 0;
    const std::string workOrder = p && p->isRecordRow(row) ? p->grid()->text(row, daily::kWorkOrderCol) : std::string();
    daily::HandOffWorkOrder(qtmv::CurrentSession(), kindText(), workOrder, [this] { endProgram(); });
}
