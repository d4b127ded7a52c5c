#include "platform/ui/SpreadGrid.h"

#include "platform/ui/QtText.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QPointer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <unordered_map>

namespace qtmv::detail {

namespace {

const QColor kDisabledBackground(0xC0, 0xC0, 0xC0);
const QColor kEnabledBackground(Qt::white);
const QColor kDefaultHighlight(0xCC, 0xE8, 0xFF);

} // namespace

struct ColumnInfo {
    std::string heading;
    int width = SpreadGrid::kDefaultColumnWidth;
    bool hidden = false;
    bool editable = false;
    bool list = false;
    std::vector<std::string> choices;
    QColor foreground;
    QColor background;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

struct CellColors {
    QColor foreground;
    QColor background;
};

// The sheet's data. Texts stay UTF-8 and become QStrings only when a view
// asks for them, so a bulk load just moves the strings in. Rows may be
// shorter than the column count: missing cells are empty.
class SpreadGridModel final : public QAbstractTableModel {
public:
    explicit SpreadGridModel(const SpreadGrid* grid) : grid_(grid) {}

    CellTable cells;
    std::vector<ColumnInfo> columns;
    std::unordered_map<std::uint64_t, CellColors> cellColors;   // by key(row0, col0)
    int highlightRow = 0;                                        // 1-based, 0 none
    QColor highlightColor = kDefaultHighlight;
    SpreadGrid::EditablePredicate editable;

    static std::uint64_t key(int row0, int col0)
    {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(row0)) << 32)
               | static_cast<std::uint32_t>(col0);
    }

    int rows() const { return static_cast<int>(cells.size()); }
    int cols() const { return static_cast<int>(columns.size()); }

    const std::string& cell(int row0, int col0) const
    {
        static const std::string empty;
        const auto& row = cells[static_cast<std::size_t>(row0)];
        return static_cast<std::size_t>(col0) < row.size() ? row[static_cast<std::size_t>(col0)] : empty;
    }

    void setCell(int row0, int col0, std::string text)
    {
        auto& row = cells[static_cast<std::size_t>(row0)];
        if (static_cast<std::size_t>(col0) >= row.size()) {
            if (text.empty())
                return;
            row.resize(static_cast<std::size_t>(col0) + 1);
        }
        row[static_cast<std::size_t>(col0)] = std::move(text);
        const QModelIndex i = index(row0, col0);
        emit dataChanged(i, i);
    }

    void cellRepaint(int row0, int col0)
    {
        const QModelIndex i = index(row0, col0);
        emit dataChanged(i, i);
    }

    void rowChanged(int row1)
    {
        if (row1 >= 1 && row1 <= rows() && cols() > 0)
            emit dataChanged(index(row1 - 1, 0), index(row1 - 1, cols() - 1));
    }

    void allChanged()
    {
        if (rows() > 0 && cols() > 0)
            emit dataChanged(index(0, 0), index(rows() - 1, cols() - 1));
    }

    void headingChanged(int col0) { emit headerDataChanged(Qt::Horizontal, col0, col0); }

    void resizeRows(int n)
    {
        const int old = rows();
        if (n > old) {
            beginInsertRows(QModelIndex(), old, n - 1);
            cells.resize(static_cast<std::size_t>(n));
            endInsertRows();
        } else if (n < old) {
            beginRemoveRows(QModelIndex(), n, old - 1);
            cells.resize(static_cast<std::size_t>(n));
            std::erase_if(cellColors, [n](const auto& kv) { return static_cast<int>(kv.first >> 32) >= n; });
            if (highlightRow > n)
                highlightRow = 0;
            endRemoveRows();
        }
    }

    void resizeCols(int n)
    {
        const int old = cols();
        if (n > old) {
            beginInsertColumns(QModelIndex(), old, n - 1);
            columns.resize(static_cast<std::size_t>(n));
            endInsertColumns();
        } else if (n < old) {
            beginRemoveColumns(QModelIndex(), n, old - 1);
            columns.resize(static_cast<std::size_t>(n));
            for (auto& row : cells)
                if (row.size() > static_cast<std::size_t>(n))
                    row.resize(static_cast<std::size_t>(n));
            std::erase_if(cellColors, [n](const auto& kv) {
                return static_cast<int>(kv.first & 0xffffffffu) >= n;
            });
            endRemoveColumns();
        }
    }

    template <class F>
    void reset(F&& change)
    {
        beginResetModel();
        change();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : rows();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : cols();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const int r = index.row();
        const int c = index.column();
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::AccessibleTextRole:
        case Qt::ToolTipRole:   // a text cut off by a narrow column shows in full
            return U8(cell(r, c));
        case Qt::BackgroundRole: {
            // A cell's own colour marks that cell (a change not yet saved)
            // and stays visible on the highlighted row too.
            if (!cellColors.empty()) {
                const auto it = cellColors.find(key(r, c));
                if (it != cellColors.end() && it->second.background.isValid())
                    return QBrush(it->second.background);
            }
            if (highlightRow == r + 1 && highlightColor.isValid())
                return QBrush(highlightColor);
            const QColor& bg = columns[static_cast<std::size_t>(c)].background;
            return bg.isValid() ? QVariant(QBrush(bg)) : QVariant();
        }
        case Qt::ForegroundRole: {
            if (!cellColors.empty()) {
                const auto it = cellColors.find(key(r, c));
                if (it != cellColors.end() && it->second.foreground.isValid())
                    return QBrush(it->second.foreground);
            }
            const QColor& fg = columns[static_cast<std::size_t>(c)].foreground;
            return fg.isValid() ? QVariant(QBrush(fg)) : QVariant();
        }
        case Qt::TextAlignmentRole:
            return static_cast<int>(columns[static_cast<std::size_t>(c)].alignment);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::ToolTipRole)
            return {};
        if (orientation == Qt::Horizontal)
            return section >= 0 && section < cols()
                ? U8(columns[static_cast<std::size_t>(section)].heading) : QVariant();
        return QString::number(section + 1);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (grid_->isCellEditable(index.row() + 1, index.column() + 1))
            f |= Qt::ItemIsEditable;
        return f;
    }

private:
    const SpreadGrid* grid_;
};

// The column headings or the row numbers. A header is as deep as its
// tallest heading and as wide as its widest row number; the stock header
// finds them by measuring every section's label each time the sheet changes
// shape, which for a wide sheet loads the glyphs of every heading before the
// first paint (that needs only those in sight), and for 500 rows measures
// two hundred numbers again on every change. Here only the label that
// decides is measured: the first heading with the most lines, the last
// row's number.
class GridHeader final : public QHeaderView {
public:
    GridHeader(Qt::Orientation orientation, const SpreadGridModel* model, QWidget* parent)
        : QHeaderView(orientation, parent), model_(model)
    {
        // As the table view's own headers are.
        setSectionsClickable(true);
        setHighlightSections(true);
    }

    QSize sizeHint() const override
    {
        const int section = decidingSection();
        if (section < 0)
            return QHeaderView::sizeHint();
        const QString label = model_->headerData(section, orientation(), Qt::DisplayRole).toString();
        if (label != measured_ || !hint_.isValid()) {
            const QSize size = sectionSizeFromContents(section);
            hint_ = orientation() == Qt::Horizontal ? QSize(defaultSectionSize(), size.height())
                                                    : QSize(size.width(), defaultSectionSize());
            measured_ = label;
        }
        return hint_;
    }

protected:
    void changeEvent(QEvent* e) override
    {
        if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange)
            hint_ = QSize();
        QHeaderView::changeEvent(e);
    }

private:
    int decidingSection() const
    {
        if (orientation() == Qt::Vertical)
            return count() - 1;
        int best = -1;
        std::ptrdiff_t most = -1;
        for (int i = 0; i < count(); ++i) {
            if (isSectionHidden(i))
                continue;
            const std::string& h = model_->columns[static_cast<std::size_t>(i)].heading;
            if (const auto lines = std::count(h.begin(), h.end(), '\n'); lines > most) {
                most = lines;
                best = i;
            }
        }
        return best;
    }

    const SpreadGridModel* model_;
    mutable QString measured_;
    mutable QSize hint_;
};

// One view of the sheet: the main view with every column, or the overlay
// that shows the frozen columns on top of the main view's left side.
class GridView final : public QTableView {
public:
    GridView(SpreadGrid* grid, bool frozen, QWidget* parent)
        : QTableView(parent), grid_(grid), frozen_(frozen)
    {
        setAttribute(Qt::WA_InputMethodEnabled);
        setHorizontalHeader(new GridHeader(Qt::Horizontal, grid->model_.get(), this));
        setVerticalHeader(new GridHeader(Qt::Vertical, grid->model_.get(), this));
        // The view keeps its grid (each cell leaves its last pixel row and
        // column to the lines) but draws no lines: paintEvent fills them.
        setGridStyle(Qt::NoPen);
    }

    enum Move { Next, Previous, Up, Down };
    QModelIndex cursorMove(int move)
    {
        static constexpr CursorAction actions[] = {MoveNext, MovePrevious, MoveUp, MoveDown};
        return moveCursor(actions[move], Qt::NoModifier);
    }

    void keyboardSearch(const QString&) override {}

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override
    {
        if (frozen_ || grid_->frozenCount_ <= 0) {
            QTableView::scrollTo(index, hint);
            return;
        }
        QScrollBar* h = horizontalScrollBar();
        if (index.column() < grid_->frozenCount_) {
            // Frozen cells are always in sight sideways: scroll up or down only.
            const int keep = h->value();
            QTableView::scrollTo(index, hint);
            h->setValue(keep);
            return;
        }
        QTableView::scrollTo(index, hint);
        const int covered = grid_->frozenWidth();
        const QRect rect = visualRect(index);
        if (rect.isValid() && rect.left() < covered)
            h->setValue(h->value() - (covered - rect.left()));
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!grid_->handleViewKey(event))
            QTableView::keyPressEvent(event);
    }

    void inputMethodEvent(QInputMethodEvent* event) override
    {
        if (!grid_->handleViewInput(event))
            QTableView::inputMethodEvent(event);
    }

    void focusInEvent(QFocusEvent* event) override
    {
        if (frozen_) {
            // The overlay never keeps the focus: keys belong to the main view.
            grid_->view_->setFocus(event->reason());
            return;
        }
        QTableView::focusInEvent(event);
    }

    void updateGeometries() override
    {
        QTableView::updateGeometries();
        if (!frozen_)
            grid_->layoutFrozen();
    }

    // The grid lines where the table view draws them, as one-pixel fills: the
    // view strokes each line pixel by pixel, a third of a large sheet's
    // repaint. Sheets are laid out left to right and span no cells.
    void paintEvent(QPaintEvent* event) override
    {
        QTableView::paintEvent(event);
        const QHeaderView* rows = verticalHeader();
        const QHeaderView* cols = horizontalHeader();
        if (!showGrid() || rows->count() == 0 || cols->count() == 0)
            return;
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QColor color = QColor::fromRgba(
            static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
        QPainter painter(viewport());
        const int lastY = rows->length() - rows->offset() - 1;
        const int lastX = cols->length() - cols->offset() - 1;
        for (QRect dirty : event->region()) {
            dirty.setBottom(std::min(dirty.bottom(), lastY));
            dirty.setRight(std::min(dirty.right(), lastX));
            if (!dirty.isValid())
                continue;
            int top = rows->visualIndexAt(dirty.top());
            int bottom = rows->visualIndexAt(dirty.bottom());
            int left = cols->visualIndexAt(dirty.left());
            int right = cols->visualIndexAt(dirty.right());
            if (bottom == -1)
                bottom = rows->count() - 1;
            if (left == -1)
                left = 0;
            if (right == -1)
                right = cols->count() - 1;
            if (top == -1 || top > bottom)
                continue;
            for (int v = top; v <= bottom; ++v) {
                const int row = rows->logicalIndex(v);
                if (!rows->isSectionHidden(row))
                    painter.fillRect(QRect(dirty.left(), rowViewportPosition(row) + rowHeight(row) - 1, dirty.width(), 1),
                                     color);
            }
            for (int h = left; h <= right; ++h) {
                const int col = cols->logicalIndex(h);
                if (!cols->isSectionHidden(col))
                    painter.fillRect(
                        QRect(columnViewportPosition(col) + columnWidth(col) - 1, dirty.top(), 1, dirty.height()),
                        color);
            }
        }
    }

private:
    SpreadGrid* grid_;
    bool frozen_;
};

// A plain line editor per cell. The grid sees every key and every commit.
class GridDelegate final : public QStyledItemDelegate {
public:
    GridDelegate(SpreadGrid* grid, QObject* parent) : QStyledItemDelegate(parent), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        // An empty cell with no colour of its own, neither selected nor
        // current, shows only the view's background: the style is not asked
        // to draw it. Most of a sheet's cells are such, at every repaint.
        const auto* model = static_cast<const SpreadGridModel*>(index.model());
        if (!(option.state & (QStyle::State_Selected | QStyle::State_HasFocus))
            && model->cell(index.row(), index.column()).empty() && !index.data(Qt::BackgroundRole).isValid())
            return;
        QStyledItemDelegate::paint(painter, option, index);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        const int row = index.row() + 1;
        const int col = index.column() + 1;
        QWidget* editor = nullptr;
        if (grid_->isListColumn(col)) {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setFrame(false);
            // Picking from the list takes the item at once.
            QPointer<QComboBox> guard(combo);
            SpreadGrid* grid = grid_;
            QObject::connect(combo, &QComboBox::activated, grid, [grid, guard] {
                QTimer::singleShot(0, grid, [grid, guard] {
                    if (guard && grid->liveEditor() == guard.data())
                        grid->finishEdit();
                });
            });
            editor = combo;
        } else {
            auto* line = new QLineEdit(parent);
            line->setFrame(false);
            editor = line;
        }
        grid_->editorCreated(const_cast<GridDelegate*>(this), editor, row, col);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        QString text;
        if (grid_->hasPendingStart_) {
            grid_->hasPendingStart_ = false;
            text = grid_->pendingStart_;
        } else {
            text = index.data(Qt::EditRole).toString();
        }
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->clear();
            combo->setEditText(text);
            grid_->fillList(*combo, index.row() + 1, index.column() + 1);
            const int found = combo->findText(text);
            if (found >= 0)
                combo->setCurrentIndex(found);
            combo->setEditText(text);
        } else {
            static_cast<QLineEdit*>(editor)->setText(text);
        }
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        grid_->commitEditorText(index.row() + 1, index.column() + 1, editorText(editor));
    }

    static QString editorText(const QWidget* editor)
    {
        if (auto* combo = qobject_cast<const QComboBox*>(editor))
            return combo->currentText();
        return static_cast<const QLineEdit*>(editor)->text();
    }

    static QLineEdit* lineOf(QWidget* editor)
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            return combo->lineEdit();
        return qobject_cast<QLineEdit*>(editor);
    }

    void commitAndClose(QWidget* editor)
    {
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    }

    void revertAndClose(QWidget* editor) { emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache); }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (object == grid_->editor_) {
            auto* editor = static_cast<QWidget*>(object);
            switch (event->type()) {
            case QEvent::KeyPress:
                if (grid_->handleEditorKey(editor, static_cast<QKeyEvent*>(event)))
                    return true;
                break;
            case QEvent::InputMethod:
                if (grid_->handleEditorInput(editor, static_cast<QInputMethodEvent*>(event)))
                    return true;
                break;
            case QEvent::FocusOut:
                // A message box of the end-of-edit hook takes the focus; that
                // must not commit the same edit a second time.
                if (grid_->inEndEdit_)
                    return true;
                break;
            default:
                break;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    SpreadGrid* grid_;
};

} // namespace qtmv::detail

namespace qtmv {

using detail::GridDelegate;
using detail::GridView;
using detail::SpreadGridModel;

namespace {

// The text a key types: control keys that the windows filter get their
// control character, printable keys their text; others "".
QString TypedText(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace: return QStringLiteral("\b");
    case Qt::Key_Return:
    case Qt::Key_Enter: return QStringLiteral("\r");
    default: break;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    const QString text = event->text();
    for (const QChar ch : text)
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7f)
            return {};
    return text;
}

bool IsPrintable(const QString& text)
{
    if (text.isEmpty())
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() >= 0x20 && ch.unicode() != 0x7f; });
}

} // namespace

SpreadGrid::SpreadGrid(QWidget* parent)
    : QWidget(parent), model_(std::make_unique<SpreadGridModel>(this)), background_(detail::kEnabledBackground)
{
    view_ = new GridView(this, false, this);
    frozen_ = new GridView(this, true, view_);
    viewDelegate_ = new GridDelegate(this, view_);
    frozenDelegate_ = new GridDelegate(this, frozen_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);

    for (GridView* v : {view_, frozen_}) {
        v->setModel(model_.get());
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->setSelectionMode(QAbstractItemView::SingleSelection);
        v->setSelectionBehavior(QAbstractItemView::SelectItems);
        v->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        v->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        v->setWordWrap(false);
        v->setCornerButtonEnabled(false);
        v->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        v->horizontalHeader()->setMinimumSectionSize(1);
        v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    }
    view_->setItemDelegate(viewDelegate_);
    frozen_->setItemDelegate(frozenDelegate_);
    view_->setTabKeyNavigation(true);

    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->verticalHeader()->hide();
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setSelectionModel(view_->selectionModel());
    view_->viewport()->stackUnder(frozen_);
    frozen_->hide();

    connect(view_->verticalScrollBar(), &QAbstractSlider::valueChanged,
            frozen_->verticalScrollBar(), &QAbstractSlider::setValue);
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged,
            view_->verticalScrollBar(), &QAbstractSlider::setValue);

    connect(view_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) { userResizedColumn(section, size); });
    connect(frozen_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) { userResizedColumn(section, size); });

    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                const int r = current.isValid() ? current.row() + 1 : 0;
                const int c = current.isValid() ? current.column() + 1 : 0;
                if (r == lastRow_ && c == lastCol_)
                    return;
                lastRow_ = r;
                lastCol_ = c;
                if (notifySelection_ && r > 0)
                    emit selectionChanged(r, c);
            });

    for (GridView* v : {view_, frozen_}) {
        connect(v, &QAbstractItemView::clicked, this,
                [this](const QModelIndex& i) { emit cellClicked(i.row() + 1, i.column() + 1); });
        connect(v, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) {
            const int r = i.row() + 1;
            const int c = i.column() + 1;
            emit cellDoubleClicked(r, c);
            if (!isEditing() && isCellEditable(r, c))
                startEditing(r, c, QString(), false);
        });
        connect(v->horizontalHeader(), &QHeaderView::sectionClicked, this,
                [this](int section) { emit cellClicked(0, section + 1); });
        v->viewport()->installEventFilter(this);
        v->horizontalHeader()->viewport()->installEventFilter(this);
    }
    connect(view_->verticalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit cellClicked(section + 1, 0); });
    view_->verticalHeader()->viewport()->installEventFilter(this);

    for (GridDelegate* d : {viewDelegate_, frozenDelegate_})
        connect(d, &QAbstractItemDelegate::closeEditor, this, [this](QWidget* editor) {
            if (editor == editor_) {
                editor_ = nullptr;
                editorDelegate_ = nullptr;
            }
        });

    applyBackground();
    applyRowHeight();
}

SpreadGrid::~SpreadGrid()
{
    // The views go before the model they show.
    delete view_;
    view_ = nullptr;
    frozen_ = nullptr;
}

// --- Size ---------------------------------------------------------------------

int SpreadGrid::maxRow() const { return model_->rows(); }
int SpreadGrid::maxCol() const { return model_->cols(); }

void SpreadGrid::setMaxRow(int rows)
{
    rows = std::max(rows, 0);
    if (rows < maxRow() && isEditing() && editRow_ > rows)
        cancelEdit();
    model_->resizeRows(rows);
}

void SpreadGrid::setMaxCol(int cols)
{
    cols = std::max(cols, 0);
    const int old = maxCol();
    if (cols < old && isEditing() && editCol_ > cols)
        cancelEdit();
    model_->resizeCols(cols);
    for (int c = old + 1; c <= cols; ++c)
        applyColumn(c);
    layoutFrozen();
}

void SpreadGrid::ensureSize(int row, int col)
{
    if (col > maxCol())
        setMaxCol(col);
    if (row > maxRow())
        setMaxRow(row);
}

// --- Headings and columns -------------------------------------------------------

void SpreadGrid::setLayout(int rows, const std::vector<ColumnSetup>& columns)
{
    cancelEdit();
    model_->reset([&] {
        model_->cells.assign(static_cast<std::size_t>(std::max(rows, 0)), {});
        model_->columns.assign(columns.size(), detail::ColumnInfo{});
        for (std::size_t i = 0; i < columns.size(); ++i) {
            detail::ColumnInfo& info = model_->columns[i];
            info.heading = columns[i].heading;
            info.width = std::max(columns[i].width, 0);
            info.hidden = columns[i].hidden;
        }
        model_->cellColors.clear();
        model_->highlightRow = 0;
    });
    lastRow_ = lastCol_ = 0;
    applyColumnLayout();
}

std::string SpreadGrid::heading(int col) const
{
    return col >= 1 && col <= maxCol() ? model_->columns[static_cast<std::size_t>(col - 1)].heading : std::string();
}

void SpreadGrid::setHeading(int col, std::string_view text)
{
    if (col < 1)
        throw std::out_of_range("SpreadGrid: heading column must be 1 or more");
    ensureSize(0, col);
    model_->columns[static_cast<std::size_t>(col - 1)].heading = std::string(text);
    model_->headingChanged(col - 1);
}

void SpreadGrid::setHeadings(const std::vector<std::string>& headings)
{
    ensureSize(0, static_cast<int>(headings.size()));
    for (std::size_t i = 0; i < headings.size(); ++i)
        model_->columns[i].heading = headings[i];
    if (!headings.empty())
        emit model_->headerDataChanged(Qt::Horizontal, 0, static_cast<int>(headings.size()) - 1);
}

int SpreadGrid::columnByHeading(std::string_view text, int nth) const
{
    for (int c = 1; c <= maxCol(); ++c)
        if (model_->columns[static_cast<std::size_t>(c - 1)].heading == text && --nth <= 0)
            return c;
    return 0;
}

int SpreadGrid::colWidth(int col) const
{
    return col >= 1 && col <= maxCol() ? model_->columns[static_cast<std::size_t>(col - 1)].width : 0;
}

void SpreadGrid::setColWidth(int col, int pixels)
{
    if (col < 1)
        throw std::out_of_range("SpreadGrid: column must be 1 or more");
    ensureSize(0, col);
    model_->columns[static_cast<std::size_t>(col - 1)].width = std::max(pixels, 0);
    applyColumn(col);
    layoutFrozen();
}

int SpreadGrid::colWidthTwips(int col) const { return colWidth(col) * kTwipsPerPixel; }

void SpreadGrid::setColWidthTwips(int col, int twips)
{
    setColWidth(col, (std::max(twips, 0) + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

bool SpreadGrid::colHidden(int col) const
{
    if (col < 1 || col > maxCol())
        return false;
    const auto& info = model_->columns[static_cast<std::size_t>(col - 1)];
    return info.hidden || info.width <= 0;
}

void SpreadGrid::setColHidden(int col, bool hidden)
{
    if (col < 1)
        throw std::out_of_range("SpreadGrid: column must be 1 or more");
    ensureSize(0, col);
    model_->columns[static_cast<std::size_t>(col - 1)].hidden = hidden;
    applyColumn(col);
    layoutFrozen();
}

void SpreadGrid::setColAlignment(int col, Qt::Alignment alignment)
{
    if (col < 1 || col > maxCol())
        return;
    model_->columns[static_cast<std::size_t>(col - 1)].alignment = alignment;
    emit model_->dataChanged(model_->index(0, col - 1), model_->index(std::max(maxRow() - 1, 0), col - 1));
}

void SpreadGrid::setFrozenColumns(int count)
{
    frozenCount_ = std::clamp(count, 0, 1000);
    applyColumnLayout();
}

int SpreadGrid::frozenColumns() const { return frozenCount_; }

int SpreadGrid::frozenWidth() const
{
    int width = 0;
    for (int c = 1; c <= std::min(frozenCount_, maxCol()); ++c)
        if (!colHidden(c))
            width += view_->columnWidth(c - 1);
    return width;
}

void SpreadGrid::applyColumn(int col)
{
    if (col < 1 || col > maxCol())
        return;
    const auto& info = model_->columns[static_cast<std::size_t>(col - 1)];
    const bool hidden = info.hidden || info.width <= 0;
    applyingLayout_ = true;
    view_->setColumnHidden(col - 1, hidden);
    if (!hidden && view_->columnWidth(col - 1) != info.width)
        view_->setColumnWidth(col - 1, info.width);
    const bool frozenShown = !hidden && col <= frozenCount_;
    frozen_->setColumnHidden(col - 1, !frozenShown);
    if (frozenShown && frozen_->columnWidth(col - 1) != info.width)
        frozen_->setColumnWidth(col - 1, info.width);
    applyingLayout_ = false;
}

void SpreadGrid::applyColumnLayout()
{
    for (int c = 1; c <= maxCol(); ++c)
        applyColumn(c);
    layoutFrozen();
}

void SpreadGrid::userResizedColumn(int section, int width)
{
    if (applyingLayout_ || section < 0 || section >= maxCol())
        return;
    auto& info = model_->columns[static_cast<std::size_t>(section)];
    if (info.hidden || width <= 0)
        return;   // hiding a section reports size 0: not a width the user chose
    info.width = width;
    applyColumn(section + 1);
    layoutFrozen();
    emit columnResized(section + 1, width);
}

void SpreadGrid::layoutFrozen()
{
    if (!frozen_)
        return;
    const int width = frozenCount_ > 0 ? frozenWidth() : 0;
    if (width <= 0) {
        frozen_->hide();
        return;
    }
    const QRect viewport = view_->viewport()->geometry();
    QHeaderView* header = view_->horizontalHeader();
    const int headerHeight = header->isHidden() ? 0 : header->height();
    frozen_->horizontalHeader()->setFixedHeight(headerHeight);
    frozen_->setGeometry(viewport.left(), viewport.top() - headerHeight,
                         std::min(width, viewport.width()), viewport.height() + headerHeight);
    frozen_->verticalScrollBar()->setValue(view_->verticalScrollBar()->value());
    frozen_->show();
}

void SpreadGrid::applyRowHeight()
{
    const int height = fontMetrics().height() + 6;
    for (GridView* v : {view_, frozen_}) {
        v->verticalHeader()->setMinimumSectionSize(std::min(height, v->verticalHeader()->minimumSectionSize()));
        v->verticalHeader()->setDefaultSectionSize(height);
    }
}

void SpreadGrid::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        applyRowHeight();
        layoutFrozen();
    }
    QWidget::changeEvent(event);
}

// --- Cells ----------------------------------------------------------------------

std::string SpreadGrid::text(int row, int col) const
{
    if (row == 0)
        return heading(col);
    if (col == 0)
        return row >= 1 && row <= maxRow() ? std::to_string(row) : std::string();
    if (row < 0 || col < 0 || row > maxRow() || col > maxCol())
        return {};
    return model_->cell(row - 1, col - 1);
}

QString SpreadGrid::qtext(int row, int col) const
{
    if (row >= 1 && col >= 1 && row <= maxRow() && col <= maxCol())
        return U8(model_->cell(row - 1, col - 1));
    return U8(text(row, col));
}

void SpreadGrid::setText(int row, int col, std::string_view text)
{
    if (row < 0 || col < 1)
        throw std::out_of_range("SpreadGrid: no cell at row " + std::to_string(row) + ", column " + std::to_string(col));
    if (row == 0) {
        setHeading(col, text);
        return;
    }
    ensureSize(row, col);
    model_->setCell(row - 1, col - 1, std::string(text));
}

void SpreadGrid::setText(int row, int col, const QString& text)
{
    setText(row, col, std::string_view(text.toStdString()));
}

void SpreadGrid::restoreActive(int row, int col)
{
    if (row < 1 || col < 1 || maxRow() < 1 || maxCol() < 1) {
        lastRow_ = lastCol_ = 0;
        return;
    }
    setActiveCell(std::min(row, maxRow()), std::min(col, maxCol()), false);
}

void SpreadGrid::setRows(CellTable rows)
{
    cancelEdit();
    const int row = activeRow();
    const int col = activeCol();
    std::size_t widest = 0;
    for (const auto& r : rows)
        widest = std::max(widest, r.size());
    model_->reset([&] {
        model_->cells = std::move(rows);
        if (widest > model_->columns.size())
            model_->columns.resize(widest);
        model_->cellColors.clear();
        model_->highlightRow = 0;
    });
    lastRow_ = lastCol_ = 0;
    applyColumnLayout();
    restoreActive(row, col);
}

CellTable SpreadGrid::allCells() const
{
    CellTable table;
    table.reserve(model_->cells.size());
    for (const auto& row : model_->cells) {
        auto& out = table.emplace_back(row);
        out.resize(model_->columns.size());
    }
    return table;
}

std::vector<std::string> SpreadGrid::rowTexts(int row) const
{
    std::vector<std::string> out;
    if (row >= 1 && row <= maxRow())
        out = model_->cells[static_cast<std::size_t>(row - 1)];
    out.resize(model_->columns.size());
    return out;
}

void SpreadGrid::clearCells()
{
    cancelEdit();
    for (auto& row : model_->cells)
        std::vector<std::string>().swap(row);
    model_->cellColors.clear();
    model_->highlightRow = 0;
    model_->allChanged();
}

int SpreadGrid::findRow(int col, std::string_view text, int fromRow) const
{
    if (col < 1 || col > maxCol())
        return 0;
    for (int r = std::max(fromRow, 1); r <= maxRow(); ++r)
        if (model_->cell(r - 1, col - 1) == text)
            return r;
    return 0;
}

// --- Colours ----------------------------------------------------------------------

void SpreadGrid::setCellForeground(int row, int col, const QColor& color)
{
    if (row < 1 || col < 1 || row > maxRow() || col > maxCol())
        return;
    model_->cellColors[SpreadGridModel::key(row - 1, col - 1)].foreground = color;
    model_->cellRepaint(row - 1, col - 1);
}

void SpreadGrid::setCellBackground(int row, int col, const QColor& color)
{
    if (row < 1 || col < 1 || row > maxRow() || col > maxCol())
        return;
    model_->cellColors[SpreadGridModel::key(row - 1, col - 1)].background = color;
    model_->cellRepaint(row - 1, col - 1);
}

void SpreadGrid::setColumnForeground(int col, const QColor& color)
{
    if (col < 1 || col > maxCol())
        return;
    model_->columns[static_cast<std::size_t>(col - 1)].foreground = color;
    model_->allChanged();
}

void SpreadGrid::setColumnBackground(int col, const QColor& color)
{
    if (col < 1 || col > maxCol())
        return;
    model_->columns[static_cast<std::size_t>(col - 1)].background = color;
    model_->allChanged();
}

void SpreadGrid::highlightRow(int row)
{
    if (row < 0 || row > maxRow())
        row = 0;
    const int previous = model_->highlightRow;
    if (previous == row)
        return;
    model_->highlightRow = row;
    model_->rowChanged(previous);
    model_->rowChanged(row);
}

int SpreadGrid::highlightedRow() const { return model_->highlightRow; }

void SpreadGrid::setHighlightColor(const QColor& color)
{
    model_->highlightColor = color;
    model_->rowChanged(model_->highlightRow);
}

// --- Enabled state -----------------------------------------------------------------

void SpreadGrid::setGridEnabled(bool enabled, const QColor& background)
{
    if (!enabled)
        cancelEdit();
    background_ = background.isValid() ? background
                                       : (enabled ? detail::kEnabledBackground : detail::kDisabledBackground);
    setEnabled(enabled);
    applyBackground();
}

QColor SpreadGrid::gridBackground() const { return background_; }

void SpreadGrid::applyBackground()
{
    for (GridView* v : {view_, frozen_}) {
        QPalette p = v->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, QPalette::Base, background_);
        // Readable on the grey of a disabled grid.
        p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x40, 0x40, 0x40));
        v->setPalette(p);
    }
}

// --- Active cell --------------------------------------------------------------------

int SpreadGrid::activeRow() const
{
    const QModelIndex i = view_->currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

int SpreadGrid::activeCol() const
{
    const QModelIndex i = view_->currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

void SpreadGrid::setActiveCell(int row, int col, bool notify)
{
    if (maxRow() < 1 || maxCol() < 1)
        return;
    row = std::clamp(row, 1, maxRow());
    col = std::clamp(col, 1, maxCol());
    const QModelIndex index = model_->index(row - 1, col - 1);
    notifySelection_ = notify;
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    notifySelection_ = true;
    view_->scrollTo(index);
}

void SpreadGrid::moveActive(int cursorAction)
{
    const QModelIndex next = view_->cursorMove(cursorAction);
    if (next.isValid() && next != view_->currentIndex())
        view_->setCurrentIndex(next);
}

// --- Editing ---------------------------------------------------------------------------

void SpreadGrid::setColumnEditable(int col, bool editable)
{
    if (col < 1)
        throw std::out_of_range("SpreadGrid: column must be 1 or more");
    ensureSize(0, col);
    model_->columns[static_cast<std::size_t>(col - 1)].editable = editable;
}

void SpreadGrid::setColumnList(int col, bool list)
{
    if (col < 1)
        throw std::out_of_range("SpreadGrid: column must be 1 or more");
    ensureSize(0, col);
    model_->columns[static_cast<std::size_t>(col - 1)].list = list;
}

void SpreadGrid::setColumnChoices(int col, std::vector<std::string> choices)
{
    setColumnList(col, true);
    model_->columns[static_cast<std::size_t>(col - 1)].choices = std::move(choices);
}

bool SpreadGrid::isListColumn(int col) const
{
    return col >= 1 && col <= maxCol() && model_->columns[static_cast<std::size_t>(col - 1)].list;
}

void SpreadGrid::fillList(QComboBox& combo, int row, int col)
{
    if (listFillHook_) {
        listFillHook_(row, col, combo);
        return;
    }
    for (const auto& choice : model_->columns[static_cast<std::size_t>(col - 1)].choices)
        combo.addItem(U8(choice));
}

void SpreadGrid::setEditablePredicate(EditablePredicate predicate) { model_->editable = std::move(predicate); }

bool SpreadGrid::isCellEditable(int row, int col) const
{
    if (!isEnabled() || row < 1 || col < 1 || row > maxRow() || col > maxCol())
        return false;
    if (model_->editable)
        return model_->editable(row, col);
    return model_->columns[static_cast<std::size_t>(col - 1)].editable;
}

bool SpreadGrid::startEdit(int row, int col) { return startEditing(row, col, QString(), false); }

bool SpreadGrid::startEditing(int row, int col, const QString& typed, bool byTyping)
{
    if (!isCellEditable(row, col))
        return false;
    if (isEditing() && !finishEdit())
        return false;
    if (activeRow() != row || activeCol() != col)
        setActiveCell(row, col, false);
    EditStart start{row, col, byTyping ? typed : qtext(row, col), typed};
    if (startEditHook_ && !startEditHook_(start))
        return false;
    if (!isCellEditable(row, col))   // the hook may have disabled the grid
        return false;
    hasPendingStart_ = true;
    pendingStart_ = start.text;
    GridView* v = col <= frozenCount_ ? frozen_ : view_;
    v->edit(model_->index(row - 1, col - 1));
    hasPendingStart_ = false;
    QWidget* editor = liveEditor();
    if (editor) {
        editor->setFocus(Qt::OtherFocusReason);
        if (QLineEdit* line = GridDelegate::lineOf(editor))
            line->end(false);
        emit editorOpened(row, col);
    }
    return editor != nullptr;
}

void SpreadGrid::editorCreated(GridDelegate* delegate, QWidget* editor, int row, int col)
{
    editor_ = editor;
    editorDelegate_ = delegate;
    editRow_ = row;
    editCol_ = col;
    connect(editor, &QObject::destroyed, this, [this, editor] {
        if (editor_ == editor) {
            editor_ = nullptr;
            editorDelegate_ = nullptr;
        }
    });
}

QWidget* SpreadGrid::liveEditor() const
{
    // The view hides an editor it closes on its own (moving to another cell)
    // and deletes it later.
    return editor_ && !editor_->isHidden() ? editor_ : nullptr;
}

bool SpreadGrid::isEditing() const { return liveEditor() != nullptr; }

QWidget* SpreadGrid::editor() const { return liveEditor(); }

bool SpreadGrid::finishEdit()
{
    QWidget* editor = liveEditor();
    if (!editor)
        return true;
    if (inEndEdit_)
        return false;
    const bool hadFocus = editor->hasFocus();
    lastCommitAccepted_ = true;
    editorDelegate_->commitAndClose(editor);
    editor_ = nullptr;
    if (hadFocus)   // the frozen part cannot take it back itself
        view_->setFocus(Qt::OtherFocusReason);
    return lastCommitAccepted_;
}

void SpreadGrid::cancelEdit()
{
    QWidget* editor = liveEditor();
    if (!editor || inEndEdit_)
        return;
    const bool hadFocus = editor->hasFocus();
    editorDelegate_->revertAndClose(editor);
    editor_ = nullptr;
    if (hadFocus)
        view_->setFocus(Qt::OtherFocusReason);
}

bool SpreadGrid::commitEditorText(int row, int col, const QString& text)
{
    if (inEndEdit_)
        return false;
    EditEnd end{row, col, qtext(row, col), text};
    bool accepted = true;
    if (endEditHook_) {
        inEndEdit_ = true;
        try {
            accepted = endEditHook_(end);
        } catch (...) {
            inEndEdit_ = false;
            throw;
        }
        inEndEdit_ = false;
    }
    lastCommitAccepted_ = accepted;
    if (!accepted || row > maxRow() || col > maxCol())
        return false;
    if (end.text != end.oldText) {
        model_->setCell(row - 1, col - 1, end.text.toStdString());
        emit cellChanged(row, col);
    }
    return true;
}

// --- Keys -----------------------------------------------------------------------------------

bool SpreadGrid::handleViewKey(QKeyEvent* event)
{
    if (isEditing()) {
        // Left over by the editor (it did not use the key): pass it on to the window.
        event->ignore();
        return true;
    }
    const int row = activeRow();
    const int col = activeCol();
    GridKey key{row, col, event->key(), event->modifiers(), QString(), false};
    if (keyDownHook_ && keyDownHook_(key)) {
        event->accept();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        // Belongs to the window (leave, cancel).
        event->ignore();
        return true;
    }
    QString text = TypedText(event);
    if (!text.isEmpty() && keyPressHook_) {
        GridKey press = key;
        press.text = text;
        if (!keyPressHook_(press) || press.text.isEmpty()) {
            event->accept();
            return true;
        }
        if (IsPrintable(text))
            text = press.text;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        moveActive(GridView::Next);
        event->accept();
        return true;
    case Qt::Key_Backspace:
        if (isCellEditable(row, col))
            startEditing(row, col, QString(), true);
        event->accept();
        return true;
    case Qt::Key_F2:
        if (!isCellEditable(row, col))
            return false;
        startEditing(row, col, QString(), false);
        event->accept();
        return true;
    case Qt::Key_Delete:
        if (!isCellEditable(row, col))
            return false;
        if (!model_->cell(row - 1, col - 1).empty()) {
            model_->setCell(row - 1, col - 1, std::string());
            emit cellChanged(row, col);
        }
        event->accept();
        return true;
    default:
        break;
    }
    if (IsPrintable(text)) {
        if (isCellEditable(row, col))
            startEditing(row, col, text, true);
        event->accept();
        return true;
    }
    return false;
}

bool SpreadGrid::handleViewInput(QInputMethodEvent* event)
{
    if (isEditing())
        return false;
    const int row = activeRow();
    const int col = activeCol();
    if (!isCellEditable(row, col))
        return true;   // nothing to type into
    if (!event->commitString().isEmpty() && event->preeditString().isEmpty()) {
        GridKey press{row, col, Qt::Key_unknown, Qt::NoModifier, event->commitString(), false};
        if (keyPressHook_ && (!keyPressHook_(press) || press.text.isEmpty()))
            return true;
        startEditing(row, col, press.text, true);
        return true;
    }
    // Composition starts: open the editor and let it show the composition.
    if (startEditing(row, col, QString(), true))
        QCoreApplication::sendEvent(editor_, event);
    return true;
}

bool SpreadGrid::handleEditorKey(QWidget* editor, QKeyEvent* event)
{
    if (forwarding_ || editor != editor_)
        return false;
    const int key = event->key();
    GridKey k{editRow_, editCol_, key, event->modifiers(), QString(), true};
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return keyDownHook_ && keyDownHook_(k);
    switch (key) {
    case Qt::Key_Escape:
        cancelEdit();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        k.text = QStringLiteral("\r");
        if (keyPressHook_ && !keyPressHook_(k))
            return true;
        if (finishEdit())
            moveActive(GridView::Next);
        return true;
    }
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        if (finishEdit())
            moveActive(key == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier)
                           ? GridView::Next : GridView::Previous);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (qobject_cast<QComboBox*>(editor))
            return false;   // steps through the list
        if (finishEdit())
            moveActive(key == Qt::Key_Up ? GridView::Up : GridView::Down);
        return true;
    default:
        break;
    }
    const QString text = TypedText(event);
    if (text.isEmpty() || !keyPressHook_)
        return false;
    k.text = text;
    if (!keyPressHook_(k))
        return true;
    if (k.text == text)
        return false;   // unchanged: the editor types it
    if (IsPrintable(k.text))
        if (QLineEdit* line = GridDelegate::lineOf(editor))
            line->insert(k.text);
    return true;
}

bool SpreadGrid::handleEditorInput(QWidget* editor, QInputMethodEvent* event)
{
    if (forwarding_ || editor != editor_ || !keyPressHook_ || event->commitString().isEmpty())
        return false;
    GridKey k{editRow_, editCol_, Qt::Key_unknown, Qt::NoModifier, event->commitString(), true};
    const bool pass = keyPressHook_(k);
    if (pass && k.text == event->commitString())
        return false;
    // Dropped or changed: hand the editor the composition with the new commit.
    QInputMethodEvent changed(event->preeditString(), event->attributes());
    if (pass)
        changed.setCommitString(k.text);
    forwarding_ = true;
    QCoreApplication::sendEvent(editor, &changed);
    forwarding_ = false;
    return true;
}

// --- Mouse, accessibility, views ---------------------------------------------------------------

bool SpreadGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        if (event->type() == QEvent::MouseButtonPress)
            emit mousePressed();
        if (frozen_ && (watched == frozen_->viewport() || watched == frozen_->horizontalHeader()->viewport())
            && isEnabled())
            view_->setFocus(Qt::MouseFocusReason);
    }
    return QWidget::eventFilter(watched, event);
}

void SpreadGrid::setAccessibleGridName(const QString& name)
{
    setAccessibleName(name);
    view_->setAccessibleName(name);
    frozen_->setAccessibleName(name + QStringLiteral(" 固定欄"));
}

QTableView* SpreadGrid::tableView() const { return view_; }
QTableView* SpreadGrid::frozenView() const { return frozen_; }

} // namespace qtmv
