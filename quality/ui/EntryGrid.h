#pragma once
// What the entry grids of the quality windows share: the checks run when a
// cell is left (length limits counted in Big5 bytes, a Chinese character
// counting two, or in characters; numbers), the rule that a line starts only
// below a filled one, F9, deleting a line, and their buttons.
#include <QString>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QBoxLayout;
class QObject;
class QPushButton;
class QWidget;

namespace qtmv {
class SpreadGrid;
struct EditEnd;
}

namespace qtmv::quality {

// The empty lines an entry grid shows below the stored ones.
constexpr int kEntryBlankRows = 20;

// A cell's text without surrounding blanks.
std::string CellText(const SpreadGrid& grid, int row, int col);

// Called from a window's destructor: its members are gone before the base
// class deletes the children, so nothing a dying child signals may reach the
// window's handlers.
void DropChildConnections(QObject& window);

// Over the limit, not counting blanks around the text: tells the user
// "最多只可輸入N個字元!" (title "訊息") and gives true; the caller refuses
// the cell.
bool OverLimit(const QString& text, std::size_t limit, bool big5);
// The same, cutting the text to the limit instead.
void CutToLimit(QString& text, std::size_t limit, bool big5);
// A control character (a pasted line break or tab, say): tells the user
// "「heading」含有無法儲存的控制字元，請重新輸入!" (title "訊息") and gives
// true; the caller refuses the cell, as the main grid does.
bool ControlCharacter(const QString& text, std::string_view heading);

// Hooks of an entry grid: starting an edit in a line whose previous line is
// empty (while it is empty itself) is refused with "前一列資料尚未輸入!"
// (title "警告"); endEdit checks a committed cell; F9 runs lookup.
void WireEntryGrid(SpreadGrid& grid, std::function<bool(int row)> lineEmpty, std::function<bool(EditEnd&)> endEdit,
                   std::function<void()> lookup);

// Removes the line, adding an empty one at the end; perRow (indexed by row)
// follows the lines.
void DeleteGridLine(SpreadGrid& grid, int row, int columns, std::vector<std::string>& perRow);

// A named, captioned button that is never the default button, added to row
// when given.
QPushButton* EntryButton(QWidget* parent, QBoxLayout* row, const char* name, const char* caption);

// --- Leaving with typed work ----------------------------------------------------
// The lines a save keeps, in order, each as the texts of `columns` without
// the blanks around: an entry window takes them when it loads and compares
// them with the grid when it is left. Empty lines (lineEmpty) are left out
// as the save leaves them out, so a value typed back to the loaded one, or
// an empty line in between, is nothing to lose. The cells of
// `numberColumns` count by their value, as they are stored: "", "0" and
// "0.00" are the same.
using KeptLines = std::vector<std::vector<std::string>>;
KeptLines KeptLinesOf(const SpreadGrid& grid, const std::vector<int>& columns,
                    const std::function<bool(int row)>& lineEmpty, const std::vector<int>& numberColumns = {});

// Asked, as the main window asks about its unsaved cells, before an entry
// window closes on typed work (Esc, 回前畫面, the close button).
inline constexpr const char* kUnsavedQuestion = "尚有資料未儲存，是否先儲存？";
inline constexpr const char* kUnsavedTitle = "詢問";

enum class Leaving {
    Close,   // nothing typed, or the user throws it away
    Save,    // save first; the window closes only when the save went through
    Stay,
};
// Commits an open cell first (a refused one keeps the window open, the
// user has just been told why); then asks only when `typed` says there is
// something to lose. Enter answers Stay: neither saving nor throwing away
// happens unasked.
Leaving AskBeforeLeaving(SpreadGrid& grid, const std::function<bool()>& typed);

// An entry window's reject(): asks as above, then runs save (which closes
// the window once the save went through) or close (the dialog's own
// reject), or stays.
void LeaveAsking(SpreadGrid& grid, const std::function<bool()>& typed, const std::function<void()>& save,
                 const std::function<void()>& close);

} // namespace qtmv::quality
