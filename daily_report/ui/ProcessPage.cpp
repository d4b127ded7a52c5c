#include "daily_report/ui/ProcessPage.h"

#include "common/SiteRules.h"
#include "daily_report/saving/EditRules.h"
#include "daily_report/ui/WindowLogic.h"
#include "daily_report/ui/Widgets.h"
#include "platform/os/Failure.h"
#include "platform/ui/GridHelpers.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"

#include <QFrame>
#include <QVBoxLayout>

namespace qtmv::daily {

ProcessPage::ProcessPage(const ProcessKind& kind, QWidget* parent)
    : kind_(kind), layout_(gridLayout(kind))
{
    const QString name = u8(kind.gridName);
    frame_ = widgets::make<QFrame>(parent, QStringLiteral("fra") + name);
    auto* l = new QVBoxLayout(frame_);
    l->setContentsMargins(0, 0, 0, 0);
    grid_ = widgets::make<SpreadGrid>(frame_, QStringLiteral("fml") + name);
    grid_->setAccessibleGridName(u8(kind.spacedName).remove(QLatin1Char(' ')) + QStringLiteral("日報"));
    l->addWidget(grid_);
}

void ProcessPage::setUp(Hooks hooks, std::string_view companyName)
{
    hooks_ = std::move(hooks);
    std::vector<GridColumnSpec> columns;
    columns.reserve(layout_.columns.size());
    for (int col = 1; col <= layout_.columnCount(); ++col)
        columns.push_back({layout_.heading(col), gridColumnWidth(layout_, col), false});
    SetupGrid(*grid_, 500, columns);
    for (int col = 1; col <= layout_.columnCount(); ++col)
        if (isNumericColumn(layout_, col))
            grid_->setColAlignment(col, Qt::AlignRight | Qt::AlignVCenter);
    grid_->setFrozenColumns(kFrozenColumns);

    if (kind_.is(KindId::Binding) && site::HasCompactBindingGrid(companyName)) {
        for (const char* item : {"封", "內", "扉", "其"})
            grid_->setColHidden(layout_.column(item), true);
        const std::pair<const char*, int> widths[] = {
            {"客戶", 650}, {"廠商", 650}, {"品名", 1300}, {"成品規格", 950}, {"備註", 1400}};
        for (const auto& [heading, twips] : widths)
            grid_->setColWidthTwips(layout_.column(heading), twips);
    }
    wire();
}

void ProcessPage::wire()
{
    SpreadGrid* g = grid_;
    const GridLayout& layout = layout_;

    g->setEditablePredicate([this, &layout](int row, int col) {
        return isRecordRow(row) && columnEdit(layout, col) != ColumnEdit::ReadOnly;
    });

    g->setKeyDownHook([this, g, &layout](const GridKey& k) {
        int code = 0;
        switch (k.key) {
        case Qt::Key_Delete: code = kKeyDelete; break;
        case Qt::Key_F2: code = kKeyF2; break;
        case Qt::Key_F9: code = kKeyF9; break;
        default: return false;
        }
        switch (keyDown(layout, k.col, code)) {
        case KeyDown::Default: return false;
        case KeyDown::Swallow: return true;
        case KeyDown::ClearAndFlag:
            if (isRecordRow(k.row)) {
                g->setText(k.row, k.col, "");
                flagCell(k.row, k.col);
            }
            return true;
        case KeyDown::OpenDieLookup:
            if (isRecordRow(k.row) && !k.editing && hooks_.openDieLookup)
                hooks_.openDieLookup(k.row, k.col);
            return true;
        case KeyDown::OpenCellWindow:
            if (!isRecordRow(k.row) || k.editing || !hooks_.openCellWindow)
                return false;
            hooks_.openCellWindow(k.row, cellWindow(layout, k.col));
            return true;
        }
        return false;
    });

    // Typed keys go through the column's key filter first.
    g->setKeyPressHook([this, &layout](GridKey& k) {
        if (k.text == QLatin1String("\x1b"))
            return true;
        if (!isRecordRow(k.row))
            return k.text == QLatin1String("\b") || k.text == QLatin1String("\r");
        // Each typed character through the column's filter: dropped ones
        // are left out, mapped ones (full-width digits) typed as mapped.
        QString typed;
        bool flag = false;
        for (char32_t c : k.text.toUcs4()) {
            const auto r = keyPress(layout, k.col, static_cast<int>(c));
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
            flagCell(k.row, k.col);
        return true;
    });

    g->setStartEditHook([g, &layout](qtmv::EditStart& e) {
        if (auto t = editStartText(layout, e.col, g->text(e.row, e.col)))
            e.text = u8(*t);
        return true;
    });

    g->setEndEditHook([this, &layout](qtmv::EditEnd& e) {
        const auto r = editEnd(layout, e.col, e.text.toStdString(), e.oldText.toStdString());
        e.text = u8(r.text);
        if (e.text != e.oldText)
            flagCell(e.row, e.col);
        return true;
    });

    QObject::connect(g, &SpreadGrid::cellClicked, g, [this, g, &layout](int row, int col) {
        if (!isRecordRow(row) || col < 1)
            return;
        if (const CellWindow w = cellWindow(layout, col); w != CellWindow::None) {
            if (hooks_.openCellWindow)
                hooks_.openCellWindow(row, w);
            return;
        }
        Guarded("輸入資料", [&] {
            const RowText rowText = [g, row](int c) { return g->text(row, c); };
            for (const auto& c : cellClick(layout, row, col, rowText, hooks_.clock())) {
                g->setText(row, c.col, c.text);
                flagCell(row, c.col);
            }
        }, "這一格沒有變更。");
    });
    QObject::connect(g, &SpreadGrid::cellChanged, g, [this, &layout](int row, int col) {
        if (columnEdit(layout, col) != ColumnEdit::ReadOnly)
            flagCell(row, col);
    });
    QObject::connect(g, &SpreadGrid::mousePressed, g, [this] {
        if (hooks_.pressed)
            hooks_.pressed();
    });
    QObject::connect(g, &SpreadGrid::selectionChanged, g, [this](int row, int col) {
        if (hooks_.rowSelected)
            hooks_.rowSelected(row, col);
    });
}

void ProcessPage::flagCell(int row, int col)
{
    if (isRecordRow(row))
        flags_.set(row, col);
}

void ProcessPage::clear()
{
    grid_->cancelEdit();
    ClearGrid(*grid_);
    grid_->highlightRow(0);
    records_ = 0;
    detailsRow = 0;
    flags_ = ChangeFlags();
    loaded_.clear();
}

void ProcessPage::show(GridRows rows)
{
    loaded_ = rows;
    records_ = static_cast<int>(rows.size());
    CopyRowsToGrid(*grid_, std::move(rows));
    EnableGrid(*grid_, records_ > 0);
    grid_->setMaxCol(layout_.columnCount());
    flags_ = ChangeFlags(layout_.columnCount(), records_);
}

GridRows ProcessPage::loadedRows() const
{
    GridRows rows = grid_->allCells();
    rows.resize(static_cast<std::size_t>(records_));
    return rows;
}

} // namespace qtmv::daily
