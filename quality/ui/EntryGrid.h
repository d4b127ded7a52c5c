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
std::string cellText(const SpreadGrid& grid, int row, int col);

// Called from a window's destructor: its members are gone before the base
// class deletes the children, so nothing a dying child signals may reach the
// window's handlers.
void dropChildConnections(QObject& window);

// Over the limit, not counting blanks around the text: tells the user
// "最多只可輸入N個字元!" (title "訊息") and gives true; the caller refuses
// the cell.
bool overLimit(const QString& text, std::size_t limit, bool big5);
// The same, cutting the text to the limit instead.
void cutToLimit(QString& text, std::size_t limit, bool big5);
// A control character (a pasted line break or tab, say): tells the user
// "「heading」含有無法儲存的控制字元，請重新輸入!" (title "訊息") and gives
// true; the caller refuses the cell, as the main grid does.
bool controlCharacter(const QString& text, std::string_view heading);

// Hooks of an entry grid: starting an edit in a line whose previous line is
// empty (while it is empty itself) is refused with "前一列資料尚未輸入!"
// (title "警告"); endEdit checks a committed cell; F9 runs lookup.
void wireEntryGrid(SpreadGrid& grid, std::function<bool(int row)> lineEmpty, std::function<bool(EditEnd&)> endEdit,
                   std::function<void()> lookup);

// Removes the line, adding an empty one at the end; perRow (indexed by row)
// follows the lines.
void deleteGridLine(SpreadGrid& grid, int row, int columns, std::vector<std::string>& perRow);

// A named, captioned button that is never the default button, added to row
// when given.
QPushButton* entryButton(QWidget* parent, QBoxLayout* row, const char* name, const char* caption);

} // namespace qtmv::quality
