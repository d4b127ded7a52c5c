#include "daily_report/ui/ProcessPage.h"

#include "common/SiteRules.h"
#include "records/saving/EditRules.h"
#include "daily_report/ui/WindowLogic.h"
#include "daily_report/ui/Widgets.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"
#include "platform/ui/GridHelpers.h"
#include "platform/ui/QtText.h"
#include "platform/ui/SpreadGrid.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace qtmv::daily {

namespace {
// Cells changed and not yet saved.
const QColor kPendingColour(0xFF, 0xE0, 0x8A);
// How many changes Ctrl+Z can take back.
constexpr std::size_t kUndoDepth = 100;

// The width that shows a heading whole in the grid's header: its widest
// line, in bold as the header draws the current column's, within the
// style's margins and the section's border.
int HeadingWidth(const SpreadGrid& grid, const std::string& heading)
{
    QFont bold = grid.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int widest = 0;
    for (const QString& line : U8(heading).split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const QHeaderView* header = grid.tableView()->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    return widest + 2 * margin + 2;
}
} // namespace

ProcessPage::ProcessPage(const ProcessKind& kind, QWidget* parent)
    : kind_(kind), layout_(GridLayoutOf(kind))
{
    const QString name = U8(kind.gridName);
    frame_ = widgets::Make<QFrame>(parent, QStringLiteral("fra") + name);
    auto* l = new QVBoxLayout(frame_);
    l->setContentsMargins(0, 0, 0, 0);
    grid_ = widgets::Make<SpreadGrid>(frame_, QStringLiteral("fml") + name);
    grid_->setAccessibleGridName(U8(kind.spacedName).remove(QLatin1Char(' ')) + QStringLiteral("日報"));
    l->addWidget(grid_);
}

ProcessPage::~ProcessPage()
{
    // The grid (and an editor in it) outlives the page while the window
    // is taken down.
    QObject::disconnect(editorText_);
    QObject::disconnect(editorGone_);
}

void ProcessPage::setUp(Hooks hooks, std::string_view companyName)
{
    hooks_ = std::move(hooks);
    std::vector<GridColumnSpec> columns;
    columns.reserve(layout_.columns.size());
    for (int col = 1; col <= layout_.columnCount(); ++col)
        columns.push_back({layout_.heading(col), GridColumnWidth(layout_, col), false});
    SetupGrid(*grid_, 500, columns);
    for (int col = 1; col <= layout_.columnCount(); ++col)
        if (IsNumericColumn(layout_, col))
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
    baseHidden_.clear();
    designedWidth_.clear();
    for (int col = 1; col <= layout_.columnCount(); ++col) {
        baseHidden_.push_back(grid_->colHidden(col));
        designedWidth_.push_back(grid_->colWidth(col));
    }
    fittedWidth_.assign(designedWidth_.size(), 0);
    fitHeadings();
    wire();
}

void ProcessPage::fitHeadings()
{
    for (int col = 1; col <= layout_.columnCount(); ++col) {
        const auto i = static_cast<std::size_t>(col - 1);
        // A column the layout hides by width, or one the user has dragged
        // since the last fit, keeps its width.
        if (designedWidth_[i] <= 0 || (fittedWidth_[i] > 0 && grid_->colWidth(col) != fittedWidth_[i]))
            continue;
        fittedWidth_[i] = std::max(designedWidth_[i], HeadingWidth(*grid_, layout_.heading(col)));
        grid_->setColWidth(col, fittedWidth_[i]);
    }
}

void ProcessPage::wire()
{
    SpreadGrid* g = grid_;
    const GridLayout& layout = layout_;

    g->setEditablePredicate([this, &layout](int row, int col) {
        return isRecordRow(row) && ColumnEditOf(layout, col) != ColumnEdit::ReadOnly;
    });

    g->setKeyDownHook([this, g, &layout](const GridKey& k) {
        if (k.key == Qt::Key_Z && k.modifiers == Qt::ControlModifier && !k.editing) {
            undo();
            return true;
        }
        int code = 0;
        switch (k.key) {
        case Qt::Key_Delete: code = kKeyDelete; break;
        case Qt::Key_F2: code = kKeyF2; break;
        case Qt::Key_F9: code = kKeyF9; break;
        case Qt::Key_F4: code = kKeyF4; break;
        case Qt::Key_Space:
            if (k.modifiers != Qt::NoModifier)
                return false;
            code = kKeySpace;
            break;
        default: return false;
        }
        const KeyDown action = KeyDownOf(layout, k.col, code);
        // Keys that would change a record's cell are refused here, before
        // anything is written, when the session may only look.
        const bool edits = isRecordRow(k.row) && !k.editing
                           && ((action == KeyDown::Default && code == kKeyDelete && g->isCellEditable(k.row, k.col))
                               || action == KeyDown::ClearAndFlag || action == KeyDown::Stamp
                               || action == KeyDown::OpenDieLookup);
        if (edits && editRefused())
            return true;
        switch (action) {
        case KeyDown::Default: return false;
        case KeyDown::Swallow: return true;
        case KeyDown::ClearAndFlag:
            changeCells(k.row, {{k.col, ""}});
            return true;
        case KeyDown::Stamp:
            if (!isRecordRow(k.row) || k.editing)
                return false;
            Guarded("輸入資料", [&] {
                const RowText rowText = [g, row = k.row](int c) { return g->text(row, c); };
                const Click click = CellClick(layout, k.row, k.col, rowText, hooks_.clock());
                if (!click.refusal.empty())
                    MsgBox(click.refusal, "訊息", MsgIcon::Exclamation);
                changeCells(k.row, click.changes);
            }, "這一格沒有變更。");
            return true;
        case KeyDown::OpenDieLookup:
            if (isRecordRow(k.row) && !k.editing && hooks_.openDieLookup)
                hooks_.openDieLookup(k.row, k.col);
            return true;
        case KeyDown::OpenCellWindow:
            if (!isRecordRow(k.row) || k.editing || !hooks_.openCellWindow)
                return false;
            hooks_.openCellWindow(k.row, CellWindowOf(layout, k.col));
            return true;
        }
        return false;
    });

    // Typed keys go through the column's key filter first.
    g->setKeyPressHook([this, g, &layout](GridKey& k) {
        if (k.text == QLatin1String("\x1b"))
            return true;
        if (!isRecordRow(k.row))
            return k.text == QLatin1String("\b") || k.text == QLatin1String("\r");
        // Each typed character through the column's filter: dropped ones
        // are left out, mapped ones (full-width digits) typed as mapped.
        QString typed;
        bool flag = false;
        for (char32_t c : k.text.toUcs4()) {
            const auto r = KeyPressOf(layout, k.col, static_cast<int>(c));
            if (!r.pass())
                continue;
            const char32_t mapped = static_cast<char32_t>(r.key);
            typed += QString::fromUcs4(&mapped, 1);
            flag = flag || r.flag;
        }
        if (typed.isEmpty())
            return false;
        // A key that would type into (or flag) the cell: the typing starts
        // here, so a look-only session refuses it here, once.
        if (!k.editing && typed != QLatin1String("\r") && (flag || g->isCellEditable(k.row, k.col)) && editRefused())
            return false;
        k.text = typed;
        if (flag) {
            if (!k.editing)
                beginEditStep(k.row, k.col);
            flagCell(k.row, k.col);
        }
        return true;
    });

    g->setStartEditHook([this, g, &layout](qtmv::EditStart& e) {
        // F2, a double click, an input method's composition: no editor opens
        // in a look-only session.
        if (editRefused())
            return false;
        beginEditStep(e.row, e.col);
        if (auto t = EditStartText(layout, e.col, g->text(e.row, e.col)))
            e.text = U8(*t);
        return true;
    });

    g->setEndEditHook([this, g, &layout](qtmv::EditEnd& e) {
        const std::string typed = e.text.toStdString();
        const auto r = CheckEditEnd(layout, e.col, typed, e.oldText.toStdString());
        if (!r.accepted)
            MsgBox(r.problem, "訊息", MsgIcon::Exclamation);
        e.text = U8(r.text);
        if (e.text != e.oldText)
            flagCell(e.row, e.col);
        endEditStep(e.row, e.col, r.text);
        // The editor is closing: what it does from here is no typing.
        QObject::disconnect(editorText_);
        QObject::disconnect(editorGone_);
        if (!r.accepted && r.text != e.oldText.toStdString() && typed != r.text) {
            // Cut to the limit: say what was cut, and stay on the cell.
            lengthHintShown_ = false;
            if (hooks_.editHint)
                hooks_.editHint(U8(CutNotice(layout, e.col, typed, r.text)));
            const int row = e.row, col = e.col;
            QTimer::singleShot(0, g, [g, row, col] { g->setActiveCell(row, col); });
        } else if (lengthHintShown_) {
            lengthHintShown_ = false;
            if (hooks_.editHint)
                hooks_.editHint(QString());
        }
        return true;
    });
    QObject::connect(g, &SpreadGrid::editorOpened, g, [this](int row, int col) { trackEditor(row, col); });

    QObject::connect(g, &SpreadGrid::cellClicked, g, [this, g, &layout](int row, int col) {
        if (!isRecordRow(row) || col < 1)
            return;
        if (const CellWindow w = CellWindowOf(layout, col); w != CellWindow::None) {
            if (hooks_.openCellWindow)
                hooks_.openCellWindow(row, w);
            return;
        }
        Guarded("輸入資料", [&] {
            const RowText rowText = [g, row](int c) { return g->text(row, c); };
            const Click click = CellClick(layout, row, col, rowText, hooks_.clock());
            if (!click.refusal.empty())
                MsgBox(click.refusal, "訊息", MsgIcon::Exclamation);
            // Only a click that would set a cell is an edit; others just move.
            if (!click.changes.empty() && editRefused())
                return;
            changeCells(row, click.changes);
        }, "這一格沒有變更。");
    });
    QObject::connect(g, &SpreadGrid::cellChanged, g, [this, &layout](int row, int col) {
        if (ColumnEditOf(layout, col) != ColumnEdit::ReadOnly)
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

void ProcessPage::setEntryView(bool on)
{
    entryView_ = on;
    for (int col = 1; col <= layout_.columnCount(); ++col)
        grid_->setColHidden(col, baseHidden_[static_cast<std::size_t>(col - 1)] || (on && !InEntryView(layout_, col)));
}

void ProcessPage::flagCell(int row, int col)
{
    if (isRecordRow(row) && !flags_.isFlagged(row, col))
        setFlag(row, col, "1");
}

void ProcessPage::setFlag(int row, int col, const std::string& flag)
{
    if (flag.empty())
        flags_.clear(row, col);
    else if (!flags_.set(row, col, flag))
        return;
    grid_->setCellBackground(row, col, flags_.isFlagged(row, col) ? kPendingColour : QColor());
    if (hooks_.flagsChanged)
        hooks_.flagsChanged();
}

void ProcessPage::changeCells(int row, const std::vector<CellChange>& changes)
{
    if (!isRecordRow(row) || changes.empty())
        return;
    ++undoStep_;
    editStepOpen_ = false;
    for (const CellChange& c : changes) {
        remember(row, c.col);
        grid_->setText(row, c.col, c.text);
        flagCell(row, c.col);
    }
}

void ProcessPage::takeStored(int row, const std::vector<CellChange>& stored)
{
    if (!isRecordRow(row) || stored.empty())
        return;
    GridRows values(static_cast<std::size_t>(loaded_.rows()));
    for (int r = 1; r <= loaded_.rows(); ++r)
        for (int c = 1; c <= layout_.columnCount(); ++c)
            values[static_cast<std::size_t>(r - 1)].emplace_back(loaded_.at(r, c));
    for (const CellChange& c : stored) {
        grid_->setText(row, c.col, c.text);
        setFlag(row, c.col, std::string());
        std::erase_if(undo_, [&](const UndoEntry& e) { return e.row == row && e.col == c.col; });
        if (row <= loaded_.rows())
            values[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(c.col - 1)] = c.text;
    }
    editStepOpen_ = false;
    loaded_ = LoadedTexts(values);
}

void ProcessPage::remember(int row, int col)
{
    if (undo_.size() >= kUndoDepth) {
        // The oldest step goes as a whole.
        const int oldest = undo_.front().step;
        std::erase_if(undo_, [oldest](const UndoEntry& e) { return e.step == oldest; });
    }
    undo_.push_back({undoStep_, row, col, grid_->text(row, col), flags_.get(row, col)});
}

void ProcessPage::beginEditStep(int row, int col)
{
    // Typing opens the cell's step before its first key flags the cell;
    // the editor that opens next belongs to the same step.
    if (editStepOpen_ && editStepRow_ == row && editStepCol_ == col)
        return;
    if (!isRecordRow(row))
        return;
    ++undoStep_;
    remember(row, col);
    editStepOpen_ = true;
    editStepRow_ = row;
    editStepCol_ = col;
}

void ProcessPage::endEditStep(int row, int col, const std::string& text)
{
    if (!editStepOpen_ || editStepRow_ != row || editStepCol_ != col)
        return;
    editStepOpen_ = false;
    // An edit that changed neither text nor flag is no step.
    if (!undo_.empty() && undo_.back().row == row && undo_.back().col == col && undo_.back().text == text
        && undo_.back().flag == flags_.get(row, col))
        undo_.pop_back();
}

bool ProcessPage::undo()
{
    grid_->cancelEdit();
    editStepOpen_ = false;
    if (undo_.empty())
        return false;
    const int step = undo_.back().step;
    int row = 0, col = 0;
    while (!undo_.empty() && undo_.back().step == step) {
        const UndoEntry e = undo_.back();
        undo_.pop_back();
        grid_->setText(e.row, e.col, e.text);
        setFlag(e.row, e.col, e.flag);
        row = e.row;
        col = e.col;
    }
    grid_->setActiveCell(row, col, true);
    return true;
}

void ProcessPage::clearFlags()
{
    for (int r = 1; r <= flags_.rows(); ++r)
        if (flags_.rowFlagged(r))
            for (int c = 1; c <= flags_.columns(); ++c)
                if (flags_.isFlagged(r, c))
                    grid_->setCellBackground(r, c, QColor());
    flags_ = ChangeFlags(flags_.columns(), flags_.rows());
    undo_.clear();
    editStepOpen_ = false;
    if (hooks_.flagsChanged)
        hooks_.flagsChanged();
}

void ProcessPage::trackEditor(int row, int col)
{
    // A cell with a byte limit shows what its text uses while it is typed.
    const std::string first = LengthHint(layout_, col, grid_->text(row, col));
    auto* line = dynamic_cast<QLineEdit*>(grid_->editor());
    if (first.empty() || !line || !hooks_.editHint)
        return;
    auto show = [this, col](const QString& text) {
        lengthHintShown_ = true;
        hooks_.editHint(U8(LengthHint(layout_, col, text.toStdString())));
    };
    show(line->text());
    QObject::disconnect(editorText_);
    QObject::disconnect(editorGone_);
    editorText_ = QObject::connect(line, &QLineEdit::textChanged, line, show);
    editorGone_ = QObject::connect(line, &QObject::destroyed, grid_, [this] {
        if (lengthHintShown_ && hooks_.editHint) {
            lengthHintShown_ = false;
            hooks_.editHint(QString());
        }
    });
}

void ProcessPage::clear()
{
    grid_->cancelEdit();
    ClearGrid(*grid_);
    grid_->highlightRow(0);
    records_ = 0;
    detailsRow = 0;
    flags_ = ChangeFlags();
    loaded_ = LoadedTexts();
    undo_.clear();
    editStepOpen_ = false;
    if (hooks_.flagsChanged)
        hooks_.flagsChanged();
}

void ProcessPage::show(GridRows rows)
{
    loaded_ = LoadedTexts(rows);
    records_ = static_cast<int>(rows.size());
    CopyRowsToGrid(*grid_, std::move(rows));
    EnableGrid(*grid_, records_ > 0);
    grid_->setMaxCol(layout_.columnCount());
    flags_ = ChangeFlags(layout_.columnCount(), records_);
    undo_.clear();
    editStepOpen_ = false;
    if (hooks_.flagsChanged)
        hooks_.flagsChanged();
}

GridRows ProcessPage::loadedRows() const
{
    GridRows rows = grid_->allCells();
    rows.resize(static_cast<std::size_t>(records_));
    return rows;
}

} // namespace qtmv::daily
