// The fourteen process grids of the daily report window: their set-up, the
// load of the chosen kind, the editing rules wired to the grid events, the
// row handler with the details panel, saving and the manual write-back.
// The rules themselves live in the core and saving libraries; this file only
// carries their decisions out on the widgets.
#include "daily_report/ui/MainWindow.h"

#include "app/core/Launch.h"
#include "app/core/Locks.h"
#include "app/core/Session.h"
#include "common/RocDate.h"
#include "daily_report/core/GridLayout.h"
#include "daily_report/core/GridLoader.h"
#include "daily_report/core/RowDetails.h"
#include "daily_report/saving/EditRules.h"
#include "daily_report/saving/Saving.h"
#include "daily_report/saving/WriteBack.h"
#include "daily_report/ui/DieLookup.h"
#include "daily_report/ui/HandOver.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/GridHelpers.h"
#include "platform/ui/SpreadGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

using qtmv::MsgBox;
using qtmv::MsgIcon;
namespace daily = qtmv::daily;

namespace {

QString u8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

const daily::GridLayout& layoutOf(int index)
{
    return daily::gridLayout(qtmv::processKinds()[static_cast<std::size_t>(index)]);
}

std::string digitsOf(std::string_view s)
{
    std::string d;
    for (char c : s)
        if (c >= '0' && c <= '9')
            d += c;
    return d;
}

// The pre-schedule number and date boxes narrow the loaded pieces to one
// pre-schedule document and one scheduled day. Empty boxes keep everything.
void filterRows(daily::GridRows& rows, const daily::GridLayout& layout, const std::string& number,
                std::string date)
{
    if (number.empty() && date.empty())
        return;
    const int idCol = layout.idCol;
    const int dayCol = layout.column("預排日");
    qtmv::PadDateText(date);
    const std::string wantedDay = digitsOf(date);
    std::erase_if(rows, [&](const std::vector<std::string>& r) {
        if (!number.empty() && daily::trimBlanks(r[static_cast<std::size_t>(idCol - 1)]) != number)
            return true;
        if (!wantedDay.empty()) {
            std::string day = digitsOf(r[static_cast<std::size_t>(dayCol - 1)]);
            qtmv::PadDateText(day);
            if (day != wantedDay)
                return true;
        }
        return false;
    });
}

} // namespace

qtmv::SpreadGrid* frm日報登錄作業_工單::grid(const qtmv::ProcessKind& kind) const
{
    return fml[static_cast<std::size_t>(kind.number - 1)];
}

qtmv::SpreadGrid* frm日報登錄作業_工單::currentGrid() const
{
    const qtmv::ProcessKind* k = currentKind();
    return k ? grid(*k) : nullptr;
}

int frm日報登錄作業_工單::loadedRecords(const qtmv::ProcessKind& kind) const
{
    return records_[static_cast<std::size_t>(kind.number - 1)];
}

const daily::ChangeFlags& frm日報登錄作業_工單::changeFlags(const qtmv::ProcessKind& kind) const
{
    return flags_[static_cast<std::size_t>(kind.number - 1)];
}

bool frm日報登錄作業_工單::isRecordRow(int index, int row) const
{
    return row >= 1 && row <= records_[static_cast<std::size_t>(index)];
}

void frm日報登錄作業_工單::flagCell(int index, int row, int col)
{
    if (isRecordRow(index, row))
        flags_[static_cast<std::size_t>(index)].set(row, col);
}

// --- Set-up ---------------------------------------------------------------------------

void frm日報登錄作業_工單::setUpGrids()
{
    for (int i = 0; i < 14; ++i) {
        qtmv::SpreadGrid* g = fml[static_cast<std::size_t>(i)];
        const daily::GridLayout& layout = layoutOf(i);
        std::vector<qtmv::GridColumnSpec> columns;
        columns.reserve(layout.columns.size());
        for (int col = 1; col <= layout.columnCount(); ++col)
            columns.push_back({layout.heading(col), daily::gridColumnWidth(layout, col), false});
        qtmv::SetupGrid(*g, 500, columns);
        for (int col = 1; col <= layout.columnCount(); ++col)
            if (daily::isNumericColumn(layout, col))
                g->setColAlignment(col, Qt::AlignRight | Qt::AlignVCenter);
        g->setFrozenColumns(daily::kFrozenColumns);
        wireGrid(i);
    }

    // One installation prints its binding sheets without the four binding
    // item columns and with wider description columns.
    if (qtmv::session().CompanyName.rfind("聿禾", 0) == 0) {
        qtmv::SpreadGrid* g = grid(*qtmv::kindByLetter('J'));
        for (int col = 16; col <= 19; ++col)
            g->setColHidden(col, true);
        const std::pair<int, int> widths[] = {{3, 650}, {4, 650}, {5, 1300}, {6, 950}, {20, 1400}};
        for (const auto& [col, twips] : widths)
            g->setColWidthTwips(col, twips);
    }
}

void frm日報登錄作業_工單::wireGrid(int index)
{
    qtmv::SpreadGrid* g = fml[static_cast<std::size_t>(index)];
    const daily::GridLayout& layout = layoutOf(index);

    g->setEditablePredicate([this, index, &layout](int row, int col) {
        return isRecordRow(index, row) && daily::columnEdit(layout, col) != daily::ColumnEdit::ReadOnly;
    });

    g->setKeyDownHook([this, index, g, &layout](const qtmv::GridKey& k) {
        int code = 0;
        switch (k.key) {
        case Qt::Key_Delete: code = daily::kKeyDelete; break;
        case Qt::Key_F2: code = daily::kKeyF2; break;
        case Qt::Key_F9: code = daily::kKeyF9; break;
        default: return false;
        }
        switch (daily::keyDown(layout, k.col, code)) {
        case daily::KeyDown::Default:
            return false;
        case daily::KeyDown::Swallow:
            return true;
        case daily::KeyDown::ClearAndFlag:
            if (isRecordRow(index, k.row)) {
                g->setText(k.row, k.col, "");
                flagCell(index, k.row, k.col);
            }
            return true;
        case daily::KeyDown::OpenDieLookup:
            if (isRecordRow(index, k.row) && !k.editing)
                openDieLookup(index, k.row, k.col);
            return true;
        }
        return false;
    });

    // Typed keys go through the column's key filter first.
    g->setKeyPressHook([this, index, &layout](qtmv::GridKey& k) {
        if (k.text == QLatin1String("\x1b"))
            return true;
        if (!isRecordRow(index, k.row))
            return k.text == QLatin1String("\b") || k.text == QLatin1String("\r");
        // Each typed character through the column's filter: dropped ones
        // are left out, mapped ones (full-width digits) typed as mapped.
        QString typed;
        bool flag = false;
        for (char32_t c : k.text.toUcs4()) {
            const auto r = daily::keyPress(layout, k.col, static_cast<int>(c));
            if (!r.pass())
                continue;
            const char32_t mapped = static_cast<char32_t>(r.key);
            typed += QString::fromUcs4(&mapped, 1);
            flag = flag || r.flag;
        }
        if (typed.isEmpty())
            return false;
        k.text = typed;
        if (flag)
            flagCell(index, k.row, k.col);
        return true;
    });

    g->setStartEditHook([g, &layout](qtmv::EditStart& e) {
        if (auto t = daily::editStartText(layout, e.col, g->text(e.row, e.col)))
            e.text = u8(*t);
        return true;
    });

    g->setEndEditHook([this, index, &layout](qtmv::EditEnd& e) {
        const auto r = daily::editEnd(layout, e.col, e.text.toStdString(), e.oldText.toStdString());
        e.text = u8(r.text);
        if (e.text != e.oldText)
            flagCell(index, e.row, e.col);
        return true;
    });

    connect(g, &qtmv::SpreadGrid::cellClicked, this, [this, index, g, &layout](int row, int col) {
        if (!isRecordRow(index, row) || col < 1)
            return;
        const auto rowText = [g, row](int c) { return g->text(row, c); };
        for (const auto& c : daily::cellClick(layout, row, col, rowText, *clock_)) {
            g->setText(row, c.col, c.text);
            flagCell(index, row, c.col);
        }
    });
    connect(g, &qtmv::SpreadGrid::cellChanged, this, [this, index, &layout](int row, int col) {
        if (daily::columnEdit(layout, col) != daily::ColumnEdit::ReadOnly)
            flagCell(index, row, col);
    });
    connect(g, &qtmv::SpreadGrid::mousePressed, this,
            [this, &layout] { currentGridName_ = std::string(daily::currentGridName(layout)); });
    connect(g, &qtmv::SpreadGrid::selectionChanged, this,
            [this, index](int row, int col) { rowSelected(index, row, col); });
}

void frm日報登錄作業_工單::finishAllEdits()
{
    for (qtmv::SpreadGrid* g : fml)
        if (g && g->isEditing())
            g->finishEdit();
}

void frm日報登錄作業_工單::clearAllGrids()
{
    for (std::size_t i = 0; i < fml.size(); ++i) {
        qtmv::SpreadGrid* g = fml[i];
        g->cancelEdit();
        qtmv::ClearGrid(*g);
        g->highlightRow(0);
        records_[i] = 0;
        detailsRow_[i] = 0;
        flags_[i] = daily::ChangeFlags();
    }
    currentRecordNo_.clear();
    pic回存工單->hide();
    scmd刀模輔助->setEnabled(false);
    scmd裝訂說明->hide();
}

// --- Loading ---------------------------------------------------------------------------

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
    if (lock == qtmv::MaintenanceLocked) {
        endProgram();
        return;
    }
    if (lock != qtmv::MaintenanceFree)
        return;

    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    clearDetails();
    clearAllGrids();

    const int index = k->number - 1;
    const daily::GridLayout& layout = layoutOf(index);
    int sort = 0;
    for (std::size_t i = 0; i < opt排序方式.size(); ++i)
        if (opt排序方式[i]->isChecked())
            sort = static_cast<int>(i);

    daily::GridRows rows;
    try {
        rows = daily::loadGrid(s.ConnectionString, *k, daily::trimBlanks(cbo車別->currentText().toStdString()),
                               static_cast<daily::SortOption>(sort));
        filterRows(rows, layout, daily::trimBlanks(txt預排單號->text().toStdString()),
                   daily::trimBlanks(txt預排日期->text().toStdString()));
    } catch (const jet::Error& e) {
        rows.clear();
        QApplication::restoreOverrideCursor();
        MsgBox(e.description(), "讀取資料錯誤", MsgIcon::Critical);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    qtmv::SpreadGrid* g = fml[static_cast<std::size_t>(index)];
    const int records = static_cast<int>(rows.size());
    records_[static_cast<std::size_t>(index)] = records;
    setEnabled(true);
    // No records: one empty, disabled row and nothing to save.
    qtmv::CopyRowsToGrid(*g, std::move(rows));
    qtmv::EnableGrid(*g, records > 0);
    actSave->setEnabled(records > 0);
    saveIndicator_ = records > 0 ? 1 : 0;
    g->setMaxCol(layout.columnCount());
    flags_[static_cast<std::size_t>(index)] = daily::ChangeFlags(layout.columnCount(), records);
    StatusBar1->showMessage(QStringLiteral("%1　共 %2 筆").arg(cbo種類->currentText()).arg(records));
    QApplication::restoreOverrideCursor();
    busy_ = false;

    if (records > 0)
        g->setFocus();
    g->setActiveCell(1, 1, false);
    rowSelected(index, 1, 1);
}

// --- Current row -------------------------------------------------------------------------

void frm日報登錄作業_工單::rowSelected(int index, int row, int col)
{
    (void)col;   // the time and single-order windows of the "耗時"/"單筆" cells are not part of the program yet
    const qtmv::ProcessKind* k = currentKind();
    if (!k || k->number - 1 != index)
        return;
    const daily::GridLayout& layout = layoutOf(index);
    qtmv::SpreadGrid* g = fml[static_cast<std::size_t>(index)];
    const bool record = isRecordRow(index, row);

    pic回存工單->setVisible(record);
    currentGridName_ = std::string(daily::currentGridName(layout));
    g->highlightRow(record ? row : 0);
    currentRecordNo_ = record ? daily::trimBlanks(g->text(row, layout.idCol)) : std::string();
    if (k->letter == 'G')
        scmd刀模輔助->setEnabled(record);

    if (!record) {
        clearDetails();
        detailsRow_[static_cast<std::size_t>(index)] = 0;
    } else if (detailsRow_[static_cast<std::size_t>(index)] != row) {
        detailsRow_[static_cast<std::size_t>(index)] = row;
        showDetails(index, row);
    }
}

void frm日報登錄作業_工單::clearDetails()
{
    for (QLabel* l : {lbl客戶, lbl品名, lbl日期, lbl交貨日, lbl預定完工日, lbl備註, lbl備註1, lbl包裝, lbl包裝1, lbl紙到,
                      lbl紙到1, lbl版到, lbl版到1, lbl下游廠商, lbl用紙, lbl廠商, lbl電話, lbl說明, lbl說明1})
        l->clear();
    lbl備註->hide();
    pic急件->hide();
}

void frm日報登錄作業_工單::showDetails(int index, int row)
{
    const qtmv::ProcessKind& kind = qtmv::processKinds()[static_cast<std::size_t>(index)];
    const daily::GridLayout& layout = layoutOf(index);
    daily::RowDetails d;
    try {
        jet::Connection conn;
        conn.open(qtmv::session().ConnectionString);
        d = daily::loadRowDetails(conn, kind, fml[static_cast<std::size_t>(index)]->rowTexts(row));
    } catch (const jet::Error& e) {
        clearDetails();
        MsgBox(e.description(), "讀取明細資料錯誤", MsgIcon::Critical);
        return;
    }
    lbl客戶->setText(u8(d.customer));
    lbl品名->setText(u8(d.product));
    lbl品名->setToolTip(u8(d.product));
    lbl日期->setText(u8(d.orderDate));
    // All dates of the panel in the slashed form of the lists.
    lbl交貨日->setText(u8(daily::formatSlashedDate(d.dueDate)));
    lbl預定完工日->setText(u8(daily::formatSlashedDate(d.plannedDate)));
    lbl備註->setText(u8(d.remarkCaption));
    lbl備註->setVisible(!d.remarkCaption.empty());
    lbl備註1->setText(u8(d.remark));
    lbl備註1->setToolTip(u8(d.remark));
    lbl包裝->setText(QStringLiteral("包裝:"));
    lbl包裝1->setText(u8(d.packing));
    pic急件->setVisible(d.rush);
    lbl廠商->setText(u8(d.vendorName));
    lbl電話->setText(u8(d.vendorPhone));
    lbl紙到->setText(QStringLiteral("紙到:"));
    lbl紙到1->setText(u8(d.paperDone));
    lbl版到->setText(QStringLiteral("版到:"));
    lbl版到1->setText(u8(d.plateDone));
    lbl下游廠商->setText(u8(d.outsourcingText()));
    lbl下游廠商->setToolTip(u8(d.outsourcingText()));
    lbl說明->setText(u8(layout.heading(layout.remarkCol)) + QLatin1Char(':'));
    lbl說明1->setText(u8(d.rowRemark));
    lbl說明1->setToolTip(u8(d.rowRemark));
    lbl用紙->setText(u8(d.pages));
}

// --- Saving ------------------------------------------------------------------------------

// Runs a save-like operation on a stable copy of the current kind's loaded
// record rows (the sheet's empty rows beyond them are not records), with the
// window marked busy so that F8 and the buttons cannot start it twice.
void frm日報登錄作業_工單::withLoadedRows(
    const std::function<void(const qtmv::ProcessKind&, std::size_t, const daily::GridRows&,
                             daily::SaveContext&)>& operation)
{
    const qtmv::ProcessKind* k = currentKind();
    if (!k || busy_)
        return;
    finishAllEdits();
    const std::size_t index = static_cast<std::size_t>(k->number - 1);
    daily::GridRows rows = fml[index]->allCells();
    rows.resize(static_cast<std::size_t>(records_[index]));
    daily::SaveContext ctx{qtmv::session(), *clock_, [this] { endProgram(); }};
    busy_ = true;
    operation(*k, index, rows, ctx);
    busy_ = false;
}

void frm日報登錄作業_工單::saveCurrentKind()
{
    withLoadedRows([this](const qtmv::ProcessKind& k, std::size_t index, const daily::GridRows& rows,
                          daily::SaveContext& ctx) {
        const daily::SaveOutcome out = daily::saveDailyReport(k, rows, flags_[index], ctx);
        if (out.result == daily::SaveResult::Refused && out.row > 0) {
            fml[index]->setFocus();
            fml[index]->setActiveCell(out.row, out.col, true);
        }
    });
}

void frm日報登錄作業_工單::writeBackCurrentRow()
{
    withLoadedRows([this](const qtmv::ProcessKind& k, std::size_t index, const daily::GridRows& rows,
                          daily::SaveContext& ctx) {
        daily::writeBackCurrentRow(k, rows, fml[index]->activeRow(), ctx);
    });
}

// --- Die lookup ---------------------------------------------------------------------------

void frm日報登錄作業_工單::openDieLookup(int index, int row, int col)
{
    qtmv::SpreadGrid* g = fml[static_cast<std::size_t>(index)];
    qtmv::gLookupFilter = daily::trimBlanks(g->text(row, col));
    {
        frm刀模輔助視窗 dlg(this);
        dlg.exec();
    }
    qtmv::gLookupFilter.clear();
    const std::string code = daily::trimBlanks(qtmv::gPick[0]);
    if (!qtmv::gReturned || code.empty())
        return;
    g->setText(row, col, code);
    flagCell(index, row, col);
}
