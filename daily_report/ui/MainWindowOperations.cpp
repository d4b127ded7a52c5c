// The operations behind the daily report window's buttons and grids: the
// kind switch, loading, the current row, saving and the manual write-back,
// the toolbar commands. Each runs the logic of the core and saving
// libraries and shows its result.
#include "daily_report/ui/MainWindow.h"

#include "app/core/Locks.h"
#include "app/core/Session.h"
#include "app/core/StartupWaits.h"
#include "daily_report/core/GridLayout.h"
#include "daily_report/core/GridLoader.h"
#include "daily_report/core/RowDetails.h"
#include "daily_report/saving/Saving.h"
#include "daily_report/saving/WriteBack.h"
#include "daily_report/ui/DetailsPanel.h"
#include "daily_report/ui/PrintPage.h"
#include "daily_report/ui/ProcessPage.h"
#include "daily_report/ui/RecordFilters.h"
#include "daily_report/ui/WorkOrderActions.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "platform/os/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/BusyScope.h"
#include "platform/ui/QtText.h"
#include "platform/text/Text.h"
#include "platform/ui/SpreadGrid.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>

using qtmv::MsgBox;
using qtmv::MsgIcon;
using qtmv::u8;
namespace daily = qtmv::daily;

daily::ProcessPage& frm日報登錄作業_工單::page(const qtmv::ProcessKind& kind) const
{
    return *pages_[static_cast<std::size_t>(kind.number - 1)];
}

daily::ProcessPage* frm日報登錄作業_工單::currentPage() const
{
    const qtmv::ProcessKind* k = currentKind();
    return k ? &page(*k) : nullptr;
}

qtmv::SpreadGrid* frm日報登錄作業_工單::grid(const qtmv::ProcessKind& kind) const { return page(kind).grid(); }

qtmv::SpreadGrid* frm日報登錄作業_工單::currentGrid() const
{
    daily::ProcessPage* p = currentPage();
    return p ? p->grid() : nullptr;
}

const qtmv::ProcessKind* frm日報登錄作業_工單::currentKind() const { return filters_->kind(); }

std::string frm日報登錄作業_工單::kindText() const { return filters_->kindText(); }

int frm日報登錄作業_工單::loadedRecords(const qtmv::ProcessKind& kind) const { return page(kind).records(); }

const daily::ChangeFlags& frm日報登錄作業_工單::changeFlags(const qtmv::ProcessKind& kind) const
{
    return page(kind).flags();
}

// --- Kind switch and loading ------------------------------------------------------

void frm日報登錄作業_工單::kindChanged()
{
    const qtmv::ProcessKind* k = currentKind();
    if (!k)
        return;
    qtmv::Session& s = qtmv::session();
    filters_->showKind(*k);
    stk製程->setCurrentWidget(page(*k).frame());
    toolbars_.actSave->setEnabled(true);
    StatusBar1->showMessage(u8(k->displayName));
    clearAllPages();
    details_->clear();
    try {
        filters_->showMachines(daily::loadMachineList(s.ConnectionString, *k, s.EmployeeId));
    } catch (const jet::Error& e) {
        filters_->showMachines({{std::string()}, {}});
        if (e.kind() == jet::Error::Kind::Busy && qtmv::InStartupWaits())
            qtmv::ReportNotDoneWhileBusy(s, "車別清單沒有讀取，重新選擇種類時會再讀取。");
        else
            qtmv::ReportFailure("讀取車別資料錯誤", e, "車別清單是空的。");
    }
}

void frm日報登錄作業_工單::clearAllPages()
{
    for (auto& p : pages_)
        p->clear();
    currentRecordNo_.clear();
    filters_->pic回存工單->hide();
    filters_->scmd刀模輔助->setEnabled(false);
    filters_->scmd裝訂說明->hide();
}

void frm日報登錄作業_工單::loadCurrentKind()
{
    const qtmv::ProcessKind* k = currentKind();
    if (!k) {
        MsgBox("請選擇一項類別!", "警告", MsgIcon::Exclamation);
        return;
    }
    if (busy_)
        return;
    qtmv::Session& s = qtmv::session();
    const int lock = qtmv::CheckMaintenanceLock(s);
    if (lock == qtmv::MaintenanceLocked)
        return endProgram();
    if (lock != qtmv::MaintenanceFree)
        return;

    daily::ProcessPage& p = page(*k);
    {
        const qtmv::BusyScope busy(this, busy_);
        details_->clear();
        clearAllPages();
        daily::GridRows rows;
        qtmv::Guarded("讀取資料錯誤", [&] {
            rows = daily::loadGrid(s.ConnectionString, *k, filters_->machine(), filters_->sortOption());
            daily::filterLoadedRows(rows, p.layout(), filters_->preScheduleNo(), filters_->preScheduleDate());
        }, "畫面沒有載入任何資料。");
        p.show(std::move(rows));
        toolbars_.actSave->setEnabled(p.records() > 0);
        StatusBar1->showMessage(QStringLiteral("%1　共 %2 筆").arg(u8(k->displayName)).arg(p.records()));
    }
    if (p.records() > 0)
        p.grid()->setFocus();
    p.grid()->setActiveCell(1, 1, false);
    rowSelected(p, 1, 1);
}

// --- Current row --------------------------------------------------------------------

void frm日報登錄作業_工單::rowSelected(daily::ProcessPage& p, int row, int col)
{
    (void)col;   // the time and single-order windows of the "耗時"/"單筆" cells come with their own windows
    if (&p != currentPage())
        return;
    const bool record = p.isRecordRow(row);
    filters_->pic回存工單->setVisible(record);
    currentGridName_ = std::string(p.kind().gridName);
    p.grid()->highlightRow(record ? row : 0);
    currentRecordNo_ = record ? qtmv::Trim(p.grid()->text(row, p.layout().idCol)) : std::string();
    if (p.kind().is(qtmv::KindId::DieCutting))
        filters_->scmd刀模輔助->setEnabled(record);

    if (!record) {
        details_->clear();
        p.detailsRow = 0;
    } else if (p.detailsRow != row) {
        p.detailsRow = row;
        showDetails(p, row);
    }
}

void frm日報登錄作業_工單::showDetails(daily::ProcessPage& p, int row)
{
    try {
        jet::Connection conn;
        conn.open(qtmv::session().ConnectionString);
        details_->show(daily::loadRowDetails(conn, p.kind(), p.grid()->rowTexts(row)), p.layout());
    } catch (const std::exception& e) {
        details_->clear();
        qtmv::ReportFailure("讀取明細資料錯誤", e, "明細欄位是空的。");
    }
}

// --- Saving ----------------------------------------------------------------------------

void frm日報登錄作業_工單::saveCurrentKind()
{
    daily::ProcessPage* p = currentPage();
    if (!p || busy_)
        return;
    p->grid()->finishEdit();
    const daily::GridRows rows = p->loadedRows();
    daily::SaveContext ctx{qtmv::session(), *clock_, [this] { endProgram(); }};
    daily::SaveOutcome out;
    {
        const qtmv::BusyScope busy(this, busy_);
        qtmv::Guarded("儲存資料", [&] { out = daily::saveDailyReport(p->kind(), rows, p->flags(), ctx); },
                      "資料沒有儲存，畫面上輸入的資料都還在。");
    }
    if (out.result == daily::SaveResult::Refused && out.row > 0) {
        p->grid()->setFocus();
        p->grid()->setActiveCell(out.row, out.col, true);
    }
}

void frm日報登錄作業_工單::writeBackCurrentRow()
{
    daily::ProcessPage* p = currentPage();
    if (!p || busy_)
        return;
    p->grid()->finishEdit();
    const daily::GridRows rows = p->loadedRows();
    daily::SaveContext ctx{qtmv::session(), *clock_, [this] { endProgram(); }};
    const qtmv::BusyScope busy(this, busy_);
    qtmv::Guarded("回存工單", [&] { daily::writeBackCurrentRow(p->kind(), rows, p->grid()->activeRow(), ctx); },
                  "工單沒有回存任何資料。");
}

// --- Toolbars and row buttons -------------------------------------------------------------

void frm日報登錄作業_工單::runToolbarAction(const QString& key)
{
    if (key == QStringLiteral("save"))
        saveCurrentKind();
    else if (key == QStringLiteral("refresh"))
        loadCurrentKind();
    else if (key == QStringLiteral("明細查詢"))
        handle("明細查詢", [this] { queryWorkOrder(); });
    else if (key == QStringLiteral("print"))
        showPrintPage(true);
    else if (key == QStringLiteral("exit"))
        close();
}

void frm日報登錄作業_工單::showPrintPage(bool show)
{
    // The print page takes the place of the record side; its reports and
    // ranges are arranged by the print functions.
    pic基本資料->setVisible(!show);
    printPage_->setVisible(show);
    const daily::ProcessPage* p = currentPage();
    toolbars_.actSave->setEnabled(!show && p && p->records() > 0);
    toolbars_.actRefresh->setEnabled(!show);
    toolbars_.actQuery->setEnabled(!show);
    if (!show)
        return;
    printPage_->cbo種類列印->setCurrentText(filters_->cbo種類->currentText());
    printPage_->focusFirstRange();
}

void frm日報登錄作業_工單::queryWorkOrder()
{
    daily::ProcessPage* p = currentPage();
    daily::queryWorkOrder(this, p ? p->grid() : nullptr, p ? p->records() : 0);
}

void frm日報登錄作業_工單::handOffWorkOrder()
{
    daily::ProcessPage* p = currentPage();
    const int row = p ? p->grid()->activeRow() : 0;
    const std::string workOrder = p && p->isRecordRow(row) ? p->grid()->text(row, 1) : std::string();
    daily::handOffWorkOrder(qtmv::session(), kindText(), workOrder, [this] { endProgram(); });
}

void frm日報登錄作業_工單::openDieHelper()
{
    // The die lookup opens from the die-cutting grid with F9 in "刀模代號";
    // the button puts that grid on the cell of its current row and hands it
    // the key.
    daily::ProcessPage& p = page(qtmv::kindOf(qtmv::KindId::DieCutting));
    const int row = p.grid()->activeRow();
    if (!p.isRecordRow(row))
        return;
    p.grid()->setFocus();
    p.grid()->setActiveCell(row, p.layout().column("刀模代號"));
    QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
    QCoreApplication::sendEvent(p.grid()->tableView(), &f9);
}

void frm日報登錄作業_工單::openDieLookup(daily::ProcessPage& p, int row, int col)
{
    const std::string code = daily::pickDie(this, qtmv::Trim(p.grid()->text(row, col)));
    if (code.empty())
        return;
    p.grid()->setText(row, col, code);
    p.flagCell(row, col);
}
