#include "daily_report/ui/MainWindow.h"

#include "app/core/Launch.h"
#include "app/core/Locks.h"
#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "app/core/StartupWaits.h"
#include "common/HandOver.h"
#include "common/SiteRules.h"
#include "common/ui/FormHelpers.h"
#include "daily_report/core/GridLoader.h"
#include "daily_report/core/RowDetails.h"
#include "daily_report/saving/Saving.h"
#include "daily_report/saving/WriteBack.h"
#include "daily_report/ui/DetailsPanel.h"
#include "daily_report/ui/PrintPage.h"
#include "daily_report/ui/ProcessPage.h"
#include "daily_report/ui/QueryDialog.h"
#include "daily_report/ui/RecordFilters.h"
#include "daily_report/ui/StatusClock.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "platform/os/Failure.h"
#include "platform/os/Host.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/BusyScope.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

using qtmv::MsgBox;
using qtmv::MsgIcon;
using qtmv::u8;
namespace daily = qtmv::daily;

frm日報登錄作業_工單::frm日報登錄作業_工單()
    : clock_(&qtmv::systemClock()), endProgram_([] { qtmv::EndProgramNow(); })
{
    setObjectName(QStringLiteral("frm日報登錄作業_工單"));
    setWindowTitle(QStringLiteral("日報登錄作業"));
    resize(1024, 720);
    setMinimumSize(960, 600);

    toolbars_ = daily::buildToolbars(this);
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(6, 4, 6, 2);
    buildRecordSide(central);
    v->addWidget(pic基本資料, 1);
    printPage_ = new daily::PrintPage(central);
    v->addWidget(printPage_, 1);
    setCentralWidget(central);
    buildStatusBar();
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

void frm日報登錄作業_工單::buildRecordSide(QWidget* parent)
{
    pic基本資料 = new QFrame(parent);
    pic基本資料->setObjectName(QStringLiteral("pic基本資料"));
    auto* v = new QVBoxLayout(pic基本資料);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);
    filters_ = new daily::RecordFilters(pic基本資料);
    v->addWidget(filters_);
    stk製程 = new QStackedWidget(pic基本資料);
    stk製程->setObjectName(QStringLiteral("stk製程"));
    for (const qtmv::ProcessKind& k : qtmv::processKinds()) {
        auto& p = pages_[static_cast<std::size_t>(k.number - 1)];
        p = std::make_unique<daily::ProcessPage>(k, stk製程);
        stk製程->addWidget(p->frame());
    }
    v->addWidget(stk製程, 1);
    details_ = new daily::DetailsPanel(pic基本資料);
    v->addWidget(details_);
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
    std::string path;
    try {
        path = jet::dataSourceOf(qtmv::session().ConnectionString);
    } catch (const jet::Error&) {
        // A connection string that cannot be read names no file.
    }
    lblDatabasePath->setText(path.empty() ? QString() : QFileInfo(u8(path)).absoluteFilePath());
    lblDatabasePath->setToolTip(lblDatabasePath->text());
    StatusBar1->addPermanentWidget(lblDatabasePath);
    clockPanel_ = new daily::StatusClock(StatusBar1, [this]() -> const qtmv::Clock& { return *clock_; });
    StatusBar1->addPermanentWidget(clockPanel_);
}

void frm日報登錄作業_工單::handle(const char* operation, const std::function<void()>& handler)
{
    qtmv::Guarded(operation, handler);
}

void frm日報登錄作業_工單::connectControls()
{
    const daily::Toolbars& t = toolbars_;
    connect(t.Toolbar1, &QToolBar::actionTriggered, this, [this](QAction* a) {
        // The toolbar takes no second click while its action runs.
        toolbars_.Toolbar1->setEnabled(false);
        runToolbarAction(a->data().toString());
        toolbars_.Toolbar1->setEnabled(true);
    });
    connect(t.Toolbar2, &QToolBar::actionTriggered, this, [this](QAction* a) {
        if (a == toolbars_.actWorkOrder)
            handle("查工單", [this] { handOffWorkOrder(); });
    });
    daily::RecordFilters& f = *filters_;
    connect(f.cbo種類, &QComboBox::currentIndexChanged, this, [this](int) { handle("切換種類", [this] { kindChanged(); }); });
    connect(f.scmd顯示資料, &QPushButton::clicked, this, [this] { loadCurrentKind(); });
    for (QRadioButton* o : f.opt排序方式)
        connect(o, &QRadioButton::clicked, this, [this] { loadCurrentKind(); });
    connect(f.scmd回存工單, &QPushButton::clicked, this, [this] { writeBackCurrentRow(); });
    connect(f.scmd刀模輔助, &QPushButton::clicked, this, [this] { handle("變更刀號", [this] { openDieHelper(); }); });
    connect(printPage_->ssc回前畫面_列印, &QPushButton::clicked, this, [this] { showPrintPage(false); });

    for (auto& p : pages_) {
        daily::ProcessPage* page = p.get();
        daily::ProcessPage::Hooks hooks;
        hooks.clock = [this]() -> const qtmv::Clock& { return *clock_; };
        hooks.rowSelected = [this, page](int row, int col) {
            handle("讀取明細資料", [&] { rowSelected(*page, row, col); });
        };
        hooks.openDieLookup = [this, page](int row, int col) {
            handle("刀模輔助視窗", [&] { openDieLookup(*page, row, col); });
        };
        hooks.pressed = [this, page] { currentGridName_ = std::string(page->kind().gridName); };
        page->setUp(std::move(hooks), qtmv::session().CompanyName);
    }
}

// --- Lifecycle ----------------------------------------------------------------

void frm日報登錄作業_工單::formLoad()
{
    qtmv::PrepareFormControls(this);
    qtmv::CenterForm(this);
    details_->clear();
    clockPanel_->start();
    stk製程->setCurrentWidget(pages_[0]->frame());
    showPrintPage(false);
}

void frm日報登錄作業_工單::formActivate()
{
    firstActivation_ = false;
    qtmv::Session& s = qtmv::session();
    s.MainWindowHandle = static_cast<double>(qtmv::os::CurrentProcessId());
    qtmv::RegisterMainWindow(s);
    registered_ = true;

    clockPanel_->tick();
    try {
        phrases_ = daily::loadPhrases(s.ConnectionString);
    } catch (const jet::Error& e) {
        if (e.kind() == jet::Error::Kind::Busy && qtmv::InStartupWaits())
            qtmv::ReportNotDoneWhileBusy(s, "片語資料沒有讀取，請稍後重新開啟本程式。");
        else
            qtmv::ReportFailure("讀取片語資料錯誤", e, "片語清單是空的。");
    }

    if (qtmv::site::PrintsScheduleAmounts(s.CompanyName))
        printPage_->chk預排表印金額->setChecked(true);
    if (qtmv::RightsRestricted(s, s.ProductionRights, qtmv::kNoPrinting)) {
        toolbars_.actPrint->setVisible(false);
        toolbars_.actPrint1->setVisible(false);
    }

    filters_->fillKinds();
    {
        const QSignalBlocker block(printPage_->cbo種類列印);
        printPage_->cbo種類列印->clear();
        for (const auto& k : qtmv::processKinds())
            printPage_->cbo種類列印->addItem(u8(k.displayName));
    }
    handle("切換種類", [this] { kindChanged(); });
    showPrintPage(false);
    filters_->cbo種類->setFocus();
    // Start-up ends here: what a busy database kept from being done is told
    // once, and later operations wait their full time again.
    qtmv::EndStartupWaits(s);
}

void frm日報登錄作業_工單::formUnload()
{
    clockPanel_->stop();
    if (registered_) {
        const qtmv::Session& s = qtmv::session();
        qtmv::UnregisterFunctionUse(s, s.WorkstationUser, qtmv::kApplicationTitle, false);
        registered_ = false;
    }
}

bool frm日報登錄作業_工單::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && firstActivation_)
        handle("日報登錄作業", [this] { formActivate(); });
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
        const std::string question = daily::leaveQuestion(windowTitle().toStdString());
        if (MsgBox(question, "詢問", MsgIcon::Question, qtmv::MsgButtons::YesNo) != qtmv::MsgAnswer::Yes) {
            e->ignore();
            return;
        }
        leaving_ = true;
    }
    for (auto& p : pages_)
        if (p->grid()->isEditing())
            p->grid()->finishEdit();
    formUnload();
    e->accept();
}

void frm日報登錄作業_工單::endProgram()
{
    leaving_ = true;
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
        if (toolbars_.actSave->isEnabled() && toolbars_.actSave->isVisible() && toolbars_.Toolbar1->isEnabled()
            && !busy_)
            runToolbarAction(QStringLiteral("save"));
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
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (ke->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
            return false;
        // Enter moves on like Tab, in fields and in grid cells alike.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &tab);
        return true;
    }
    default:
        return false;
    }
}
