#include "daily_report/ui/RecordSide.h"

#include "app/core/Locks.h"
#include "lookups/core/PlantLists.h"
#include "app/core/Session.h"
#include "common/RocDate.h"
#include "app/core/StartupWaits.h"
#include "records/core/GridLayout.h"
#include "records/core/GridLoader.h"
#include "records/core/RowDetails.h"
#include "daily_report/documents/BindingWindow.h"
#include "records/saving/Saving.h"
#include "records/saving/WriteBack.h"
#include "daily_report/ui/DetailsPanel.h"
#include "daily_report/ui/HistoryWindow.h"
#include "daily_report/ui/ProcessPage.h"
#include "daily_report/ui/RecordFilters.h"
#include "daily_report/ui/WorkOrderActions.h"
#include "platform/jet/Error.h"
#include "platform/jet/Value.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"
#include "platform/ui/BusyScope.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"
#include "prescheduling/ui/TimeWindow.h"
#include "vendors/ui/DownstreamVendorWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace qtmv::daily {

RecordSide::RecordSide(QWidget* parent, Hooks hooks, std::string_view companyName)
    : QFrame(parent), hooks_(std::move(hooks)), companyName_(companyName)
{
    setObjectName(QStringLiteral("pic基本資料"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);
    filters_ = new RecordFilters(this);
    v->addWidget(filters_);
    stk製程 = new QStackedWidget(this);
    stk製程->setObjectName(QStringLiteral("stk製程"));
    // The kind shown first is built now, the others when first needed.
    stk製程->setCurrentWidget(page(KindOf(kDefaultKind)).frame());
    v->addWidget(stk製程, 1);
    details_ = new DetailsPanel(this);
    v->addWidget(details_);

    connect(filters_->cbo種類, &QComboBox::currentIndexChanged, this,
            [this](int) { Guarded("切換種類", [this] { kindChosen(); }); });
    connect(filters_->scmd顯示資料, &QPushButton::clicked, this, [this] { load(); });
    for (QRadioButton* o : filters_->opt排序方式)
        connect(o, &QRadioButton::clicked, this, [this] { load(); });
    connect(filters_->scmd回存工單, &QPushButton::clicked, this, [this] { writeBackCurrentRow(); });
    connect(filters_->scmd刀模輔助, &QPushButton::clicked, this,
            [this] { Guarded("變更刀號", [this] { openDieHelper(); }); });
    connect(filters_->scmd裝訂說明, &QPushButton::clicked, this,
            [this] { Guarded("裝訂說明", [this] { openBindingInstructions(); }); });
}

RecordSide::~RecordSide() = default;

ProcessPage& RecordSide::page(const ProcessKind& kind) const
{
    const auto& p = pages_[static_cast<std::size_t>(kind.number - 1)];
    // Built on first use, also through a const look-up: a page is part of
    // the record side whenever anyone asks for it.
    return p ? *p : const_cast<RecordSide*>(this)->buildPage(kind);
}

ProcessPage& RecordSide::buildPage(const ProcessKind& k)
{
    auto& p = pages_[static_cast<std::size_t>(k.number - 1)];
    p = std::make_unique<ProcessPage>(k, stk製程);
    stk製程->addWidget(p->frame());
    ProcessPage* page = p.get();
    ProcessPage::Hooks h;
    h.clock = hooks_.clock;
    h.rowSelected = [this, page](int row, int col) {
        Guarded("讀取明細資料", [&] { rowSelected(*page, row, col); });
    };
    h.openDieLookup = [this, page](int row, int col) {
        Guarded("刀模輔助視窗", [&] { openDieLookup(*page, row, col); });
    };
    h.pressed = [this, page] { currentGridName_ = std::string(page->kind().gridName); };
    h.flagsChanged = [this, page] {
        if (page == currentPage() && hooks_.pendingChanged)
            hooks_.pendingChanged(page->pendingCells());
    };
    h.editHint = hooks_.editHint;
    h.editRefused = hooks_.editRefused;
    // Moving across "耗時" with the arrow keys opens nothing: only a
    // click or F9 does, so arrowing through a row never pops a window up.
    h.openCellWindow = [this, page](int row, CellWindow w) {
        if (page != currentPage())
            return;
        if (w == CellWindow::Time)
            Guarded("耗時", [&] { openTimeWindow(*page, row); });
        else if (w == CellWindow::Vendor)
            Guarded("下游廠商", [&] { openVendorWindow(*page, row); });
    };
    page->setUp(std::move(h), companyName_);
    if (hooks_.pageBuilt)
        hooks_.pageBuilt(*page);
    return *page;
}

std::vector<ProcessPage*> RecordSide::builtPages() const
{
    std::vector<ProcessPage*> built;
    for (const auto& p : pages_)
        if (p)
            built.push_back(p.get());
    return built;
}

ProcessPage* RecordSide::currentPage() const
{
    const ProcessKind* k = currentKind();
    return k ? &page(*k) : nullptr;
}

const ProcessKind* RecordSide::currentKind() const { return filters_->kind(); }

void RecordSide::finishEdits()
{
    for (auto& p : pages_)
        if (p && p->grid()->isEditing())
            p->grid()->finishEdit();
}

// --- Kind switch and loading ------------------------------------------------------

bool RecordSide::databaseReady() const
{
    const std::string problem = databaseProblem();
    if (problem.empty())
        return true;
    MsgBox(problem, "錯誤", MsgIcon::Critical);
    return false;
}

int RecordSide::pendingCells() const
{
    const ProcessPage* p = currentPage();
    return p ? p->pendingCells() : 0;
}

bool RecordSide::settlePending(ProcessPage& p)
{
    if (p.grid()->isEditing())
        p.grid()->finishEdit();
    const int cells = p.pendingCells();
    if (cells == 0)
        return true;
    // Enter answers Cancel: neither saving nor throwing away happens unasked.
    switch (MsgBox(PendingQuestion(cells), "詢問", MsgIcon::Question, MsgButtons::YesNoCancel, MsgAnswer::Cancel)) {
    case MsgAnswer::Yes: {
        const SaveOutcome o = save(p);
        return o.result.saved() && o.writtenBack;
    }
    case MsgAnswer::No: return true;
    default: return false;
    }
}

void RecordSide::kindChosen()
{
    // The page shown so far keeps its typed cells until they are settled;
    // staying puts the kind back.
    if (shownKind_ && shownKind_ != currentKind() && !settlePending(page(*shownKind_))) {
        const QSignalBlocker block(filters_->cbo種類);
        filters_->cbo種類->setCurrentIndex(filters_->cbo種類->findText(U8(shownKind_->displayName)));
        return;
    }
    kindChanged();
}

void RecordSide::kindChanged()
{
    const ProcessKind* k = currentKind();
    if (!k)
        return;
    Session& s = CurrentSession();
    shownKind_ = k;
    filters_->showKind(*k);
    stk製程->setCurrentWidget(page(*k).frame());
    clearAllPages();
    details_->clear();
    hooks_.shown(U8(k->displayName), true);
    // Without a database the status bar says so; the kind's page still shows.
    if (!databaseProblem().empty()) {
        filters_->showMachines({{std::string()}, {}});
        return;
    }
    try {
        filters_->showMachines(lookups::LoadMachineList(s, *k, s.EmployeeId));
    } catch (const jet::Error& e) {
        filters_->showMachines({{std::string()}, {}});
        if (e.kind() == jet::Error::Kind::Busy && InStartupWaits())
            ReportNotDoneWhileBusy(s, "車別清單沒有讀取，重新選擇種類時會再讀取。");
        else
            ReportFailure("讀取車別資料錯誤", e, "車別清單是空的。");
    }
}

void RecordSide::clearAllPages()
{
    for (auto& p : pages_)
        if (p)
            p->clear();
    currentRecordNo_.clear();
    filters_->pic回存工單->hide();
    filters_->scmd刀模輔助->setEnabled(false);
    filters_->scmd裝訂說明->hide();
}

void RecordSide::load()
{
    const ProcessKind* k = currentKind();
    if (!k) {
        MsgBox("請選擇一項類別!", "警告", MsgIcon::Exclamation);
        return;
    }
    if (busy_)
        return;
    ProcessPage& p = page(*k);
    // A sort option clicked and then not loaded shows the loaded order again.
    if (!settlePending(p)) {
        filters_->opt排序方式[static_cast<std::size_t>(shownSort_)]->setChecked(true);
        return;
    }
    shownSort_ = static_cast<int>(filters_->sortOption());
    std::string date = filters_->preScheduleDate();
    PadDateText(date);
    if (!date.empty() && CheckRocDate(date, "7") != 0) {
        MsgBox("日期錯誤，請輸入七碼的年月日，例如 1131204!", "訊息", MsgIcon::Exclamation);
        filters_->txt預排日期->setFocus();
        filters_->txt預排日期->selectAll();
        return;
    }
    if (!databaseReady())
        return;
    Session& s = CurrentSession();
    if (PassMaintenanceCheck(s, hooks_.endProgram) != Maintenance::Free)
        return;

    {
        const BusyScope busy(window(), busy_);
        details_->clear();
        clearAllPages();
        GridRows rows;
        const bool read = Guarded("讀取資料錯誤", [&] {
            rows = LoadGrid(s.ConnectionString, *k, filters_->machine(), filters_->sortOption());
            FilterLoadedRows(rows, p.layout(), filters_->preScheduleNo(), filters_->preScheduleDate());
        }, "畫面沒有載入任何資料。");
        p.show(std::move(rows));
        QString status = QStringLiteral("%1　共 %2 筆").arg(U8(k->displayName)).arg(p.records());
        // An empty list says which choice gave nothing.
        if (!read)
            status += QStringLiteral("　讀取失敗，沒有載入資料");
        else if (p.records() == 0)
            status += QStringLiteral("　") + U8(EmptyLoadNote(k->displayName, filters_->machine(),
                                                             filters_->preScheduleNo(), filters_->preScheduleDate()));
        hooks_.shown(status, p.records() > 0);
    }
    if (p.records() > 0)
        p.grid()->setFocus();
    p.grid()->setActiveCell(1, 1, false);
    rowSelected(p, 1, 1);
}

// --- Current row --------------------------------------------------------------------

void RecordSide::rowSelected(ProcessPage& p, int row, int col)
{
    (void)col;   // "耗時" and "單筆" open their windows on a click (constructor)
    if (&p != currentPage())
        return;
    const bool record = p.isRecordRow(row);
    filters_->pic回存工單->setVisible(record);
    currentGridName_ = std::string(p.kind().gridName);
    p.grid()->highlightRow(record ? row : 0);
    currentRecordNo_ = record ? Trim(p.grid()->text(row, p.layout().idCol)) : std::string();
    if (p.kind().is(KindId::DieCutting))
        filters_->scmd刀模輔助->setEnabled(record);
    if (p.kind().is(KindId::Binding))
        filters_->scmd裝訂說明->setVisible(record);

    if (!record) {
        details_->clear();
        p.detailsRow = 0;
    } else if (p.detailsRow != row) {
        p.detailsRow = row;
        showDetails(p, row);
    }
}

void RecordSide::showDetails(ProcessPage& p, int row)
{
    try {
        details_->show(LoadRowDetails(CurrentSession(), p.kind(), p.grid()->rowTexts(row)), p.layout());
    } catch (const std::exception& e) {
        details_->clear();
        ReportFailure("讀取明細資料錯誤", e, "明細欄位是空的。");
    }
}

// --- Saving ----------------------------------------------------------------------------

void RecordSide::save()
{
    if (ProcessPage* p = currentPage())
        save(*p);
}

SaveOutcome RecordSide::save(ProcessPage& page)
{
    const SaveOutcome notRun{{SaveStatus::Refused, Refusal::Declined}};
    if (busy_)
        return notRun;
    if (page.grid()->isEditing())
        page.grid()->finishEdit();
    if (page.pendingCells() == 0) {
        MsgBox("沒有需要儲存的資料。", "訊息", MsgIcon::Information);
        return {{SaveStatus::Refused, Refusal::Unchanged, "沒有需要儲存的資料。"}};
    }
    if (!databaseReady())
        return SaveOutcome{};
    const SaveOutcome out = onLoadedRows(&page, "儲存資料", "資料沒有儲存，畫面上輸入的資料都還在。",
                                         [](ProcessPage& p, const GridRows& rows, SaveContext& ctx) {
                                             SaveOutcome o = SaveDailyReport(p.kind(), rows, p.flags(), ctx,
                                                                             p.loadedValues());
                                             // What is stored now is what a later save changes.
                                             if (o.result.saved())
                                                 p.keepAsLoaded(rows);
                                             return o;
                                         });
    if (out.result.saved() && out.writtenBack) {
        // Saved: the cells are no longer pending. After a failed write-back
        // they stay flagged, so the next save runs it again.
        page.clearFlags();
    } else if (out.result.why == Refusal::Invalid && out.row > 0) {
        page.grid()->setFocus();
        page.grid()->setActiveCell(out.row, out.col, true);
    }
    return out;
}

void RecordSide::writeBackCurrentRow()
{
    if (!databaseReady())
        return;
    onLoadedRows(currentPage(), "回存工單", "工單沒有回存任何資料。", [](ProcessPage& p, const GridRows& rows, SaveContext& ctx) {
        return SaveOutcome{daily::WriteBackCurrentRow(p.kind(), rows, p.grid()->activeRow(), ctx)};
    });
}

SaveOutcome RecordSide::onLoadedRows(ProcessPage* p, const char* operation, const char* outcome,
                                     const std::function<SaveOutcome(ProcessPage&, const GridRows&, SaveContext&)>& run)
{
    // One run at a time, on a stable copy of the loaded records, with the
    // window busy until it ends however it ends.
    if (!p || busy_)
        return {{SaveStatus::Refused, Refusal::Declined}};
    p->grid()->finishEdit();
    const GridRows rows = p->loadedRows();
    SaveContext ctx{CurrentSession(), hooks_.clock(), hooks_.endProgram};
    SaveOutcome out;
    const BusyScope busy(window(), busy_);
    Guarded(operation, [&] { out = run(*p, rows, ctx); }, outcome);
    return out;
}

// --- Change history ----------------------------------------------------------------------

void RecordSide::openHistory()
{
    ProcessPage* p = currentPage();
    const int row = p ? p->grid()->activeRow() : 0;
    if (!p || !p->isRecordRow(row)) {
        MsgBox("請先選擇要查詢異動紀錄的資料列!", "訊息", MsgIcon::Exclamation);
        return;
    }
    if (PassMaintenanceCheck(CurrentSession(), hooks_.endProgram) != Maintenance::Free)
        return;
    const GridLayout& l = p->layout();
    const SpreadGrid& g = *p->grid();
    frm日報異動紀錄 dlg(p->kind(), Trim(g.text(row, l.idCol)), static_cast<long long>(Val(g.text(row, l.inoCol))),
                     Trim(g.text(row, kWorkOrderCol)), static_cast<long long>(Val(g.text(row, kLineCol))), window());
    dlg.exec();
}

// --- Dies --------------------------------------------------------------------------------

void RecordSide::openDieHelper()
{
    // The die lookup opens from the die-cutting grid with F9 in "刀模代號";
    // the button puts that grid on the cell of its current row and hands it
    // the key.
    ProcessPage& p = page(KindOf(KindId::DieCutting));
    const int row = p.grid()->activeRow();
    if (!p.isRecordRow(row) || !databaseReady())
        return;
    p.grid()->setFocus();
    p.grid()->setActiveCell(row, p.layout().column("刀模代號"));
    QKeyEvent f9(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
    QCoreApplication::sendEvent(p.grid()->tableView(), &f9);
}

void RecordSide::openBindingInstructions()
{
    // The binding instructions of the current binding row's work-order line.
    ProcessPage& p = page(KindOf(KindId::Binding));
    const int row = p.grid()->activeRow();
    if (!p.isRecordRow(row) || !databaseReady())
        return;
    frm裝訂說明 dlg(Trim(p.grid()->text(row, 1)), static_cast<int>(Val(p.grid()->text(row, 2))), window());
    dlg.setEndProgramAction(hooks_.endProgram);
    dlg.exec();
}

namespace {

// Writes the cells a piece window returned whose text differs from the row's
// (trimmed first when trimmedCells) into the row, flagged, as one undo step;
// a column the grid lacks (0) is skipped.
// The returned cells that differ from the row go in: as stored when the
// window stored them, else as changes for the main save.
void PutBackChanged(ProcessPage& p, int row, const std::vector<CellChange>& returned, bool trimmedCells,
                    bool stored)
{
    const SpreadGrid& g = *p.grid();
    std::vector<CellChange> changes;
    for (const CellChange& c : returned) {
        if (c.col <= 0)
            continue;
        const std::string cell = trimmedCells ? Trim(g.text(row, c.col)) : g.text(row, c.col);
        if (cell != c.text)
            changes.push_back(c);
    }
    if (stored)
        p.takeStored(row, changes);
    else
        p.changeCells(row, changes);
}

} // namespace

bool RecordSide::mayOpenPieceWindow() const
{
    return databaseReady() && PassMaintenanceCheck(CurrentSession(), hooks_.endProgram) == Maintenance::Free;
}

std::string RecordSide::recordNumberOf(ProcessPage& p, int row) const
{
    // The row's own pre-schedule number, so that a piece window works on the
    // piece's record whatever the filter box holds; the box's without one.
    const std::string own = Trim(p.grid()->text(row, p.layout().idCol));
    return own.empty() ? filters_->preScheduleNo() : own;
}

void RecordSide::openTimeWindow(ProcessPage& p, int row)
{
    if (!mayOpenPieceWindow())
        return;
    const GridLayout& l = p.layout();
    const SpreadGrid& g = *p.grid();
    const int timeCol = l.column("耗時");
    presched::TimeRequest request;
    request.po = Trim(g.text(row, kWorkOrderCol));
    request.seq = static_cast<int>(Val(g.text(row, kLineCol)));
    request.kind = &p.kind();
    request.completionDate = Trim(g.text(row, l.finishDateCol));
    request.timeConsumed = Trim(g.text(row, timeCol));
    request.quantity = Trim(g.text(row, l.column("數量")));
    request.recordNumber = recordNumberOf(p, row);
    // As shown: the window keeps a remark a clerk typed there.
    request.completionRemark = g.text(row, l.finishRemarkCol);
    presched::TimeResult result;
    {
        frm工務預排作業_耗時 dlg(request, window(), hooks_.clock());
        dlg.endProgram = hooks_.endProgram;
        dlg.exec();
        result = dlg.timeResult();
    }
    if (!result.returned)
        return;
    // What differs from the row is what the window stored (a remark it kept
    // comes back as the row shows it, so the cells compare untrimmed).
    PutBackChanged(p, row,
                   {{timeCol, result.total},
                    {l.finishDateCol, result.completionDate},
                    {l.finishRemarkCol, result.completionRemark}},
                   false, result.stored);
}

vendors::VendorRequest RecordSide::vendorRequest(ProcessPage& p, int row) const
{
    // The row's vendor cells, by heading; a grid without one of them
    // neither hands it over nor takes it back.
    const GridLayout& l = p.layout();
    const SpreadGrid& g = *p.grid();
    auto cellOf = [&](const char* heading) {
        const int c = l.column(heading);
        return c > 0 ? Trim(g.text(row, c)) : std::string();
    };
    vendors::VendorRequest request;
    request.kind = &p.kind();
    request.po = Trim(g.text(row, kWorkOrderCol));
    request.seq = static_cast<int>(Val(g.text(row, kLineCol)));
    request.order = cellOf("排序");
    request.preScheduleNo = recordNumberOf(p, row);
    vendors::VendorFields& f = request.fields;
    f.downCode = cellOf("下游廠商代號");
    f.downName = cellOf("下游廠商");
    f.address = cellOf("地址");
    f.phone = cellOf("電話");
    f.note = cellOf("注意事項");
    f.upCode = cellOf("上游廠商代號");
    f.upName = cellOf("上游廠商");
    f.recipient = cellOf("收件人");
    f.reams = Val(cellOf("用紙令數"));
    f.sheets = Val(cellOf("用紙張數"));
    if (hooks_.vendorPrintOptions)
        vendors::ReadOptionsCode(hooks_.vendorPrintOptions(), request.mainOptions, request.options);
    return request;
}

void RecordSide::openVendorWindow(ProcessPage& p, int row)
{
    if (!mayOpenPieceWindow())
        return;
    const vendors::VendorRequest request = vendorRequest(p, row);
    vendors::VendorResult result;
    {
        std::unique_ptr<frm下游廠商> dlg;
        if (p.kind().is(KindId::Printing))
            dlg = std::make_unique<frm下游廠商_印刷>(request, window());
        else
            dlg = std::make_unique<frm下游廠商>(request, window());
        dlg->endProgram = hooks_.endProgram;
        dlg->exec();
        result = dlg->vendorResult();
    }
    if (!result.optionsCode.empty() && hooks_.vendorPrintOptionsStored)
        hooks_.vendorPrintOptionsStored(result.optionsCode);
    if (!result.returned)
        return;
    const GridLayout& l = p.layout();
    const vendors::VendorFields& r = result.fields;
    auto numberCell = [](double v) { return v == 0 ? std::string() : jet::RealText(v); };
    std::vector<CellChange> results = {
        {l.column("下游廠商代號"), r.downCode}, {l.column("下游廠商"), r.downName},
        {l.column("地址"), r.address},          {l.column("電話"), r.phone},
        {l.column("注意事項"), r.note},         {l.column("上游廠商代號"), r.upCode},
        {l.column("上游廠商"), r.upName}};
    if (vendors::ShowsRecipient(p.kind()))
        results.push_back({l.column("收件人"), r.recipient});
    if (vendors::HasPaperQuantities(p.kind())) {
        results.push_back({l.column("用紙令數"), numberCell(r.reams)});
        results.push_back({l.column("用紙張數"), numberCell(r.sheets)});
    }
    // The cells were handed over trimmed, so they compare trimmed.
    PutBackChanged(p, row, results, true, result.stored);
}

void RecordSide::openDieLookup(ProcessPage& p, int row, int col)
{
    const std::string code = PickDie(window(), Trim(p.grid()->text(row, col)));
    if (code.empty())
        return;
    p.changeCells(row, {{col, code}});
}

} // namespace qtmv::daily
