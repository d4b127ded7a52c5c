// Lifecycle, keyboard, clock, kind switch and toolbar commands of the daily
// report window. The grids' loading, editing and saving are in
// MainWindowGrids.cpp, the controls in MainWindowBuild.cpp.
#include "daily_report/ui/MainWindow.h"

#include "app/core/Launch.h"
#include "app/core/Locks.h"
#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "app/core/StartupWaits.h"
#include "common/ui/FormHelpers.h"
#include "daily_report/ui/HandOver.h"
#include "daily_report/ui/QueryDialog.h"
#include "platform/jet/Error.h"
#include "platform/os/Host.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/SpreadGrid.h"
#include "daily_report/core/GridLayout.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

namespace {

QString u8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool startsWith(const std::string& s, std::string_view prefix) { return s.rfind(prefix, 0) == 0; }

const QColor kFlashColour(0xC0, 0x00, 0xC0);

} // namespace

frm日報登錄作業_工單::frm日報登錄作業_工單()
    : clock_(&qtmv::systemClock()), endProgram_([] { qtmv::EndProgramNow(); })
{
    setObjectName(QStringLiteral("frm日報登錄作業_工單"));
    setWindowTitle(QStringLiteral("日報登錄作業"));
    resize(1024, 720);
    setMinimumSize(960, 600);

    buildToolbars();
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(6, 4, 6, 2);
    buildRecordSide(central);
    v->addWidget(pic基本資料, 1);
    buildPrintPage(central);
    v->addWidget(pic列印, 1);
    setCentralWidget(central);
    buildStatusBar();

    connect(Toolbar1, &QToolBar::actionTriggered, this, [this](QAction* a) { toolbar1Click(a); });
    connect(Toolbar2, &QToolBar::actionTriggered, this, [this](QAction* a) {
        if (a == actWorkOrder)
            handOffWorkOrder();
    });
    connect(cbo種類, &QComboBox::currentIndexChanged, this, [this](int) { kindChanged(); });
    connect(scmd顯示資料, &QPushButton::clicked, this, [this] { loadCurrentKind(); });
    for (QRadioButton* o : opt排序方式)
        connect(o, &QRadioButton::clicked, this, [this] { loadCurrentKind(); });
    connect(scmd回存工單, &QPushButton::clicked, this, [this] { writeBackCurrentRow(); });
    connect(scmd刀模輔助, &QPushButton::clicked, this, [this] { openDieHelper(); });
    connect(Timer1[0], &QTimer::timeout, this, [this] { clockTick(); });
    connect(Timer1[1], &QTimer::timeout, this, [this] { flashTick(); });
    if (auto* back = findChild<QPushButton*>(QStringLiteral("ssc回前畫面_列印")))
        connect(back, &QPushButton::clicked, this, [this] {
            pic列印->hide();
            pic基本資料->show();
            actSave->setEnabled(saveIndicator_ > 0);
            actRefresh->setEnabled(true);
            actQuery->setEnabled(true);
        });

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

// --- Lifecycle ----------------------------------------------------------------

void frm日報登錄作業_工單::formLoad()
{
    qtmv::PrepareFormControls(this);
    qtmv::CenterForm(this);
    clearDetails();
    Timer1[0]->setInterval(1000);
    Timer1[0]->start();
    Timer1[1]->setInterval(300);
    Timer1[1]->stop();
    setUpGrids();
    stk製程->setCurrentWidget(fra[0]);
    pic基本資料->show();
    pic列印->hide();
}

void frm日報登錄作業_工單::formActivate()
{
    firstActivation_ = false;
    qtmv::Session& s = qtmv::session();

    s.MainWindowHandle = static_cast<double>(qtmv::os::CurrentProcessId());
    qtmv::RegisterMainWindow(s);
    registered_ = true;

    clockTick();
    try {
        phrases_ = qtmv::daily::loadPhrases(s.ConnectionString);
    } catch (const jet::Error& e) {
        if (e.kind() == jet::Error::Kind::Busy && qtmv::InStartupWaits())
            qtmv::ReportNotDoneWhileBusy(s, "片語資料沒有讀取，請稍後重新開啟本程式。");
        else
            MsgBox(e.description(), "讀取片語資料錯誤", MsgIcon::Critical);
    }

    if (startsWith(s.CompanyName, "岱恆"))
        chk預排表印金額->setChecked(true);
    if (qtmv::RightsRestricted(s, s.ProductionRights, 14, "1")) {
        actPrint->setVisible(false);
        actPrint1->setVisible(false);
    }

    {
        const QSignalBlocker block(cbo種類);
        cbo種類->clear();
        cbo種類列印->clear();
        for (const auto& k : qtmv::processKinds()) {
            cbo種類->addItem(u8(k.displayName));
            cbo種類列印->addItem(u8(k.displayName));
        }
        cbo種類->setCurrentIndex(cbo種類->findText(QStringLiteral("D-印刷")));
    }
    kindChanged();

    pic列印->hide();
    pic基本資料->show();
    cbo種類->setFocus();
    // Start-up ends here: what a busy database kept from being done is told
    // once, and later operations wait their full time again.
    qtmv::EndStartupWaits(s);
}

void frm日報登錄作業_工單::formUnload()
{
    Timer1[0]->stop();
    Timer1[1]->stop();
    if (registered_) {
        const qtmv::Session& s = qtmv::session();
        qtmv::UnregisterFunctionUse(s, s.WorkstationUser, qtmv::kApplicationTitle, false);
        registered_ = false;
    }
}

bool frm日報登錄作業_工單::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && firstActivation_)
        formActivate();
    return QMainWindow::event(e);
}

void frm日報登錄作業_工單::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // Without a window manager the window may never be activated; the first
    // showing then counts as the first activation.
    QTimer::singleShot(0, this, [this] {
        if (firstActivation_)
            formActivate();
    });
}

void frm日報登錄作業_工單::closeEvent(QCloseEvent* e)
{
    if (!leaving_) {
        const std::string question = qtmv::daily::leaveQuestion(windowTitle().toStdString());
        if (MsgBox(question, "詢問", MsgIcon::Question, qtmv::MsgButtons::YesNo) != qtmv::MsgAnswer::Yes) {
            e->ignore();
            return;
        }
        leaving_ = true;
    }
    finishAllEdits();
    formUnload();
    e->accept();
}

void frm日報登錄作業_工單::endProgram()
{
    leaving_ = true;
    if (endProgram_)
        endProgram_();
}

// --- Keyboard -------------------------------------------------------------------

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
        if (ke->modifiers() == Qt::NoModifier) {
            if (actSave->isEnabled() && actSave->isVisible() && Toolbar1->isEnabled() && !busy_)
                runToolbarAction(QStringLiteral("save"));
            return true;
        }
        return false;
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

// --- Clock ------------------------------------------------------------------------

void frm日報登錄作業_工單::clockTick()
{
    const qtmv::DateTime now = clock_->now();
    lbl系統時間->setText(u8(qtmv::daily::clockText(now.hour, now.minute)));
    if (Timer1[1]->isActive())
        return;
    lbl系統時間->setStyleSheet(QString());
    lbl系統時間->setVisible(true);
    if (now.minute == 0) {
        flash_.reset();
        Timer1[1]->start();
    }
}

void frm日報登錄作業_工單::flashTick()
{
    const auto step = flash_.tick();
    if (step.flashColour)
        lbl系統時間->setStyleSheet(QStringLiteral("color: %1").arg(kFlashColour.name()));
    lbl系統時間->setVisible(step.visible);
    if (step.finished)
        Timer1[1]->stop();
}

// --- Kind switch ----------------------------------------------------------------

const qtmv::ProcessKind* frm日報登錄作業_工單::currentKind() const
{
    return qtmv::kindByDisplayName(cbo種類->currentText().toStdString());
}

std::string frm日報登錄作業_工單::kindText() const { return cbo種類->currentText().toStdString(); }

void frm日報登錄作業_工單::kindChanged()
{
    const qtmv::ProcessKind* k = currentKind();
    if (!k)
        return;
    const std::size_t idx = static_cast<std::size_t>(k->number - 1);
    qtmv::Session& s = qtmv::session();

    // The machines of the kind, the user's own press preselected.
    cbo車別->clear();
    try {
        const auto list = qtmv::daily::loadMachineList(s.ConnectionString, *k, s.EmployeeId);
        for (const auto& m : list.items)
            cbo車別->addItem(u8(m));
        if (!list.own.empty()) {
            const int at = cbo車別->findText(u8(list.own));
            if (at >= 0)
                cbo車別->setCurrentIndex(at);
            else
                cbo車別->setEditText(u8(list.own));
        }
    } catch (const jet::Error& e) {
        if (cbo車別->count() == 0)
            cbo車別->addItem(QString());
        if (e.kind() == jet::Error::Kind::Busy && qtmv::InStartupWaits())
            qtmv::ReportNotDoneWhileBusy(s, "車別清單沒有讀取，重新選擇種類時會再讀取。");
        else
            MsgBox(e.description(), "讀取車別資料錯誤", MsgIcon::Critical);
    }

    actSave->setEnabled(true);

    const auto captions = qtmv::daily::sortOptionCaptions(*k);
    for (std::size_t i = 0; i < opt排序方式.size(); ++i)
        opt排序方式[i]->setText(u8(captions[i]));

    scmd刀模輔助->hide();
    scmd裝訂說明->hide();
    if (k->letter == 'G') {
        scmd刀模輔助->setEnabled(false);
        scmd刀模輔助->show();
    }

    stk製程->setCurrentWidget(fra[idx]);
    pic印刷_選->setVisible(k->letter == 'D');
    pic上光_選->setVisible(k->letter == 'E');
    pic裱紙_選->setVisible(k->letter == 'F');
    pic紙品_選_數量->setVisible(k->letter == 'C');
    pic紙品_選_單價->setVisible(k->letter == 'C');

    txt廠商代號->clear();
    lbl廠商簡稱->clear();
    txt廠商代號1->clear();
    lbl廠商簡稱1->clear();
    StatusBar1->showMessage(cbo種類->currentText());

    clearAllGrids();
    clearDetails();
}

// --- Toolbars -----------------------------------------------------------------------

void frm日報登錄作業_工單::toolbar1Click(QAction* action)
{
    // The toolbar takes no second click while its action runs.
    Toolbar1->setEnabled(false);
    runToolbarAction(action->data().toString());
    Toolbar1->setEnabled(true);
}

void frm日報登錄作業_工單::runToolbarAction(const QString& key)
{
    if (key == QStringLiteral("save")) {
        saveCurrentKind();
    } else if (key == QStringLiteral("refresh")) {
        loadCurrentKind();
    } else if (key == QStringLiteral("明細查詢")) {
        queryWorkOrder();
    } else if (key == QStringLiteral("print")) {
        // The print page takes the place of the record side; its reports
        // and ranges are arranged by the print functions.
        pic基本資料->hide();
        pic列印->show();
        actSave->setEnabled(false);
        actRefresh->setEnabled(false);
        actQuery->setEnabled(false);
        cbo種類列印->setCurrentText(cbo種類->currentText());
        if (auto* first = findChild<QLineEdit*>(QStringLiteral("txt列印範圍_0")))
            first->setFocus();
    } else if (key == QStringLiteral("exit")) {
        close();
    }
}

void frm日報登錄作業_工單::queryWorkOrder()
{
    qtmv::gQueryOrderNo.clear();
    qtmv::gReturned = false;
    {
        frm工務預排明細查詢 dlg(this);
        dlg.exec();
    }
    if (!qtmv::gReturned)
        return;

    const qtmv::ProcessKind* k = currentKind();
    qtmv::SpreadGrid* g = currentGrid();
    const std::string number = qtmv::daily::trimBlanks(qtmv::gQueryOrderNo);
    int found = 0;
    if (g && k) {
        g->setFocus();
        const int records = records_[static_cast<std::size_t>(k->number - 1)];
        for (int r = 1; r <= records && !number.empty(); ++r)
            if (qtmv::daily::trimBlanks(g->text(r, 1)) == number) {
                found = r;
                break;
            }
    }
    if (found > 0)
        g->setActiveCell(found, 1, true);
    else
        MsgBox("找不到工單單號： " + number, "明細查詢", MsgIcon::Exclamation);

    // Then on as if Enter had been pressed in the grid that took the focus
    // (the window may not be active again yet after the modal prompt).
    QWidget* f = g ? static_cast<QWidget*>(g->tableView()) : QApplication::focusWidget();
    if (f && f->window() == this) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(f, &enter);
    }
}

void frm日報登錄作業_工單::handOffWorkOrder()
{
    qtmv::Session& s = qtmv::session();
    if (qtmv::RightsRestricted(s, s.WorkOrderRights, 1, "0")) {
        MsgBox("你的權限無法使用該項功能!", "訊息", MsgIcon::Exclamation);
        return;
    }
    const std::string kind = qtmv::daily::trimBlanks(kindText());
    if (kind.empty()) {
        MsgBox("請選擇一項類別!", "警告", MsgIcon::Exclamation);
        return;
    }
    std::string workOrder;
    if (const qtmv::ProcessKind* k = currentKind()) {
        const int idx = k->number - 1;
        const int row = fml[static_cast<std::size_t>(idx)]->activeRow();
        if (isRecordRow(idx, row))
            workOrder = fml[static_cast<std::size_t>(idx)]->text(row, 1);
    }
    try {
        qtmv::daily::writeHandOffFile(s.TempFolder, workOrder, kind);
    } catch (const std::exception& e) {
        MsgBox(e.what(), "查工單", MsgIcon::Critical);
        return;
    }
    qtmv::LaunchProgram(s, qtmv::kWorkOrderProgram, [this] { endProgram(); });
}

// --- Row buttons ----------------------------------------------------------------------

void frm日報登錄作業_工單::openDieHelper()
{
    // The die lookup opens from the die-cutting grid with F9 in "刀模代號";
    // the button puts the grid last clicked on that cell of its current row
    // and hands it the key.
    const qtmv::ProcessKind* k = qtmv::kindByName(currentGridName_);
    if (!k || k->letter != 'G')
        k = qtmv::kindByLetter('G');
    qtmv::SpreadGrid* g = grid(*k);
    const int row = g->activeRow();
    if (!isRecordRow(k->number - 1, row))
        return;
    g->setFocus();
    g->setActiveCell(row, qtmv::daily::gridLayout(*k).column("刀模代號"));
    QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
    QCoreApplication::sendEvent(g->tableView(), &f9);
}
