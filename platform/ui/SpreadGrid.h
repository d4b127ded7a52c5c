#pragma once
// The spreadsheet grid of the process pages and the entry windows.
//
// Rows and columns are numbered from 1; row 0 is the heading row and column 0
// the row headings (clicks on them are reported with 0). Cells hold UTF-8
// text. The whole sheet is one table model shown by a table view; the first
// columns can be frozen so that they stay visible while scrolling sideways.
//
// Keyboard: arrows, Tab, Home/End and PageUp/PageDown move the active cell
// (hidden columns are skipped, frozen ones reached); Enter moves on like Tab.
// In an editable cell a typed character opens the editor with that character
// (a spreadsheet's overwrite); F2 or a double click open it on the text,
// Backspace opens it empty; Delete empties the cell. In the editor Enter and
// Tab commit and move on, Up/Down commit and move (in a list they step
// through the items), Esc cancels; leaving the cell commits.
//
// Windows react in two ways:
//  - hooks (std::function) for the events a window may veto or change: key
//    down, key press, start and end of a cell edit;
//  - signals for notifications (cell click, selection change, ...), which
//    windows without Q_OBJECT connect to lambdas or member functions.
#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QTableView;

namespace qtmv {

namespace detail {
class SpreadGridModel;
class GridView;
class GridDelegate;
} // namespace detail

// rows × columns of UTF-8 texts; table[r - 1][c - 1] is cell (r, c).
using CellTable = std::vector<std::vector<std::string>>;

// A key arriving while the grid (or its cell editor) has the focus.
struct GridKey {
    int row = 0;          // the active cell
    int col = 0;
    int key = 0;          // Qt::Key (Qt::Key_Delete, Qt::Key_F2, Qt::Key_F9, ...)
    Qt::KeyboardModifiers modifiers;
    // For key press: the typed text. Backspace is "\b", Enter "\r".
    QString text;
    bool editing = false; // true while the cell editor is open
};

// Start of an in-cell edit. `text` is what the editor starts with: the typed
// text when typing started the edit, otherwise the cell's text.
struct EditStart {
    int row = 0;
    int col = 0;
    QString text;
    QString typed;        // the key text that started the edit ("" otherwise)
};

// End of an in-cell edit.
struct EditEnd {
    int row = 0;
    int col = 0;
    QString oldText;      // the cell before the edit
    QString text;         // the editor's text; the hook may change it
};

class SpreadGrid : public QWidget {
    Q_OBJECT
public:
    // Key down: every key while the grid has the focus; while the editor is
    // open only function keys (F1..F35), so Delete and the arrows keep
    // working inside the editor. Return true when the window handled the key:
    // the grid then ignores it.
    using KeyDownHook = std::function<bool(const GridKey&)>;
    // Key press: keys that type a character, Backspace and Enter, before the
    // grid acts on them, while the grid or its editor has the focus (text
    // committed by an input method too). Return false to drop the key; change
    // key.text to type something else.
    using KeyPressHook = std::function<bool(GridKey&)>;
    // Start of an edit: return false to cancel; change e.text to set the
    // editor's starting text.
    using StartEditHook = std::function<bool(EditStart&)>;
    // End of an edit: return false to refuse the new text (the cell keeps its
    // old text); change e.text to store something else.
    using EndEditHook = std::function<bool(EditEnd&)>;
    // Whether cell (row, col) may be edited.
    using EditablePredicate = std::function<bool(int row, int col)>;

    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kDefaultColumnWidth = 80;   // pixels

    explicit SpreadGrid(QWidget* parent = nullptr);
    ~SpreadGrid() override;
    SpreadGrid(const SpreadGrid&) = delete;
    SpreadGrid& operator=(const SpreadGrid&) = delete;

    // --- Size -------------------------------------------------------------
    int maxRow() const;
    void setMaxRow(int rows);          // adds empty rows or drops the last ones
    int maxCol() const;
    void setMaxCol(int cols);          // new columns: default width, no heading
    int MaxCol() const { return maxCol(); }

    // --- Headings and column layout ----------------------------------------
    struct ColumnSetup {
        std::string heading;
        int width = kDefaultColumnWidth;   // pixels; 0 hides the column
        bool hidden = false;
    };
    // Starts the grid afresh: `rows` empty rows and exactly these columns;
    // nothing editable, coloured or aligned stays from an earlier layout.
    // One reset of the views, where column by column would have them
    // measure every heading again after each change.
    void setLayout(int rows, const std::vector<ColumnSetup>& columns);

    std::string heading(int col) const;
    void setHeading(int col, std::string_view text);
    // Headings of columns 1..n; widens the sheet to n columns when needed.
    void setHeadings(const std::vector<std::string>& headings);
    // The nth column (1-based) with this heading, 0 when there is none.
    int columnByHeading(std::string_view heading, int nth = 1) const;

    int colWidth(int col) const;       // pixels
    void setColWidth(int col, int pixels);
    int colWidthTwips(int col) const;
    void setColWidthTwips(int col, int twips);
    // Hidden: marked hidden or width 0.
    bool colHidden(int col) const;
    void setColHidden(int col, bool hidden);
    void setColAlignment(int col, Qt::Alignment alignment);

    // The first `count` columns stay visible while scrolling sideways.
    void setFrozenColumns(int count);
    int frozenColumns() const;

    // --- Cells ----------------------------------------------------------------
    // Row 0 reads the heading, column 0 the row number; cells outside the
    // sheet read as "".
    std::string text(int row, int col) const;
    QString qtext(int row, int col) const;
    // Writing beyond maxRow/maxCol widens the sheet; row 0 sets the heading.
    // Throws std::out_of_range for negative numbers and for column 0.
    void setText(int row, int col, std::string_view text);
    void setText(int row, int col, const QString& text);
    void setText(int row, int col, const char* text) { setText(row, col, std::string_view(text)); }

    // Replaces every cell: row r of `rows` becomes grid row r + 1, field n
    // column n. maxRow becomes rows.size(); the sheet widens to the widest row.
    // Clears cell colours and the row highlight; keeps the layout and, within
    // the new size, the active cell.
    void setRows(CellTable rows);
    // Every cell, maxRow rows of maxCol texts.
    CellTable allCells() const;
    std::vector<std::string> rowTexts(int row) const;   // maxCol texts
    // Empties every cell, keeping size and layout.
    void clearCells();
    // First row >= fromRow whose cell in `col` equals `text`; 0 when none.
    int findRow(int col, std::string_view text, int fromRow = 1) const;

    // --- Colours ----------------------------------------------------------------
    void setCellForeground(int row, int col, const QColor& color);   // invalid colour: none
    void setCellBackground(int row, int col, const QColor& color);
    void setColumnForeground(int col, const QColor& color);
    void setColumnBackground(int col, const QColor& color);
    // Marks one row (0: none), resetting the row marked before. A cell's own
    // background shows on the marked row too.
    void highlightRow(int row);
    int highlightedRow() const;
    void setHighlightColor(const QColor& color);

    // --- Enabled state -----------------------------------------------------------
    // A disabled grid takes no input at all and shows `background` (grey
    // C0C0C0 when not given); enabled, white unless given.
    void setGridEnabled(bool enabled, const QColor& background = QColor());
    bool isGridEnabled() const { return isEnabled(); }
    QColor gridBackground() const;

    // --- Active cell -------------------------------------------------------------
    int activeRow() const;             // 0 when there is none
    int activeCol() const;
    // Moves the active cell (clamped to the sheet; nothing on an empty sheet)
    // and scrolls it into view; selectionChanged is emitted only when `notify`
    // is true.
    void setActiveCell(int row, int col, bool notify = false);

    // --- Editing -----------------------------------------------------------------
    // Nothing is editable until the window allows it, per column or through a
    // predicate (which then decides alone).
    void setColumnEditable(int col, bool editable);
    void setEditablePredicate(EditablePredicate predicate);
    bool isCellEditable(int row, int col) const;   // also false when disabled
    // Opens the editor on a cell (runs the start hook); false when not opened.
    bool startEdit(int row, int col);
    bool isEditing() const;
    // Commits an open editor (runs the end hook). True when nothing is left
    // open and the text, if any, was accepted.
    bool finishEdit();
    void cancelEdit();
    QWidget* editor() const;           // the open editor (QLineEdit or QComboBox), or nullptr

    // Columns edited with a drop-down list: an editable combo box whose text
    // starts as the cell's (or the typed) text. Its items come from the list
    // hook when set (called with the combo box's text already in place, as
    // the code-list filler expects), otherwise from setColumnChoices (which
    // also makes the column a list column). Picking an item commits it.
    using ListFillHook = std::function<void(int row, int col, QComboBox& combo)>;
    void setColumnChoices(int col, std::vector<std::string> choices);
    void setColumnList(int col, bool list);
    void setListFillHook(ListFillHook hook) { listFillHook_ = std::move(hook); }

    void setKeyDownHook(KeyDownHook hook) { keyDownHook_ = std::move(hook); }
    void setKeyPressHook(KeyPressHook hook) { keyPressHook_ = std::move(hook); }
    void setStartEditHook(StartEditHook hook) { startEditHook_ = std::move(hook); }
    void setEndEditHook(EndEditHook hook) { endEditHook_ = std::move(hook); }

    // --- Accessibility and access to the views ----------------------------------
    // Names the grid and its table for assistive technology.
    void setAccessibleGridName(const QString& name);
    QTableView* tableView() const;     // the view with every column
    QTableView* frozenView() const;    // the overlay with the frozen columns

signals:
    void cellClicked(int row, int col);        // headings report 0
    void cellDoubleClicked(int row, int col);
    void selectionChanged(int row, int col);   // the active cell moved (new cell)
    void cellChanged(int row, int col);        // the user changed a cell's text
    void mousePressed();                       // any mouse button, anywhere in the grid
    void editorOpened(int row, int col);       // the cell editor is open (editor() has it)
    void columnResized(int col, int width);    // the user dragged a column's width (pixels)

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class detail::GridView;
    friend class detail::GridDelegate;

    // Keys and input method text arriving at the view (not editing); true when consumed.
    bool handleViewKey(QKeyEvent* event);
    bool handleViewInput(QInputMethodEvent* event);
    // The same for the open editor.
    bool handleEditorKey(QWidget* editor, QKeyEvent* event);
    bool handleEditorInput(QWidget* editor, QInputMethodEvent* event);
    bool startEditing(int row, int col, const QString& typed, bool byTyping);
    // The editor's text is being committed; false when the end hook refused it.
    bool commitEditorText(int row, int col, const QString& text);
    QWidget* liveEditor() const;
    bool isListColumn(int col) const;
    void fillList(QComboBox& combo, int row, int col);
    void editorCreated(detail::GridDelegate* delegate, QWidget* editor, int row, int col);
    void moveActive(int cursorAction);
    void applyColumnLayout();
    void applyColumn(int col);
    void applyBackground();
    void applyRowHeight();
    void layoutFrozen();
    int frozenWidth() const;
    void userResizedColumn(int section, int width);
    void ensureSize(int row, int col);
    void restoreActive(int row, int col);

    std::unique_ptr<detail::SpreadGridModel> model_;
    detail::GridView* view_ = nullptr;
    detail::GridView* frozen_ = nullptr;
    detail::GridDelegate* viewDelegate_ = nullptr;
    detail::GridDelegate* frozenDelegate_ = nullptr;

    KeyDownHook keyDownHook_;
    KeyPressHook keyPressHook_;
    StartEditHook startEditHook_;
    EndEditHook endEditHook_;
    ListFillHook listFillHook_;

    int frozenCount_ = 0;
    QColor background_;
    bool notifySelection_ = true;
    bool applyingLayout_ = false;
    int lastRow_ = 0;
    int lastCol_ = 0;

    // The open editor, the delegate that made it and its cell.
    QWidget* editor_ = nullptr;   // a QLineEdit, or a QComboBox in list columns
    detail::GridDelegate* editorDelegate_ = nullptr;
    int editRow_ = 0;
    int editCol_ = 0;
    bool hasPendingStart_ = false;
    QString pendingStart_;
    bool inEndEdit_ = false;
    bool lastCommitAccepted_ = true;
    bool forwarding_ = false;   // an input event we re-send to the editor: no hooks
};

} // namespace qtmv
