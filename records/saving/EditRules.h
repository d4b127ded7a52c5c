#pragma once
// What the shop floor may do in a process grid, as decisions the window
// carries out: which columns take typing, which keys pass, what Delete, F2
// and F9 do, what a click stamps or toggles, where an edit starts and how
// long a text may be. Columns are identified by their heading (and, where a
// heading occurs twice, by which occurrence), never by position.
//
// - Printing "正"/"反": only the first pair (the colour counts COLOR1 and
//   COLOR2) is editable. The second pair ([RIGHT], OPPOS) carries the same
//   headings, but saving writes only the colour counts, so typing there
//   would be lost; it stays read-only.
// - Numeric-only columns flag a cell only for keys that change it (digits,
//   "." and Backspace); a dropped key changes nothing and flags nothing.
//   Enter passes there without flagging.
// - Length limits (bytes of the Big5 code page) beyond the common ones:
//     printing     "說明" 50, "完工說明" 50, "正"/"反" 10
//     die-cutting  "刀模代號" 13, "完工說明" 50, "儲位" 10, "新舊刀" 4
//   "新舊刀" holds "新刀" or "舊刀" (two characters, four bytes): the die
//   register is written for "新刀", so a one-byte limit would refuse the
//   very values the column holds.
//   The remark column of the other kinds ("備註", paper "說明") shares the
//   100-byte limit of their "完工說明".
// - An over-long text is cut to the limit (not thrown away), after the
//   message, so the user keeps what fitted and can correct it.
// - The printing "濃度" mark stands for a non-empty "表格". Setting the mark
//   on an empty "表格" makes it "V"; clearing it clears "表格" only when that
//   holds the mark "V" itself. A real form text ("A1") is never replaced:
//   clearing the mark over it is refused with a message. Each changed cell
//   is flagged, and saving writes "表格" only when its own cell is.
// - Cells refuse what a statement or a numeric column cannot take: control
//   characters anywhere, and in the colour counts anything but a number
//   (digits, thousands commas, one point). The same check runs again at
//   save time, since a paste or another path may bypass the grid.
// - "完工日" holds the finish stamp (month, day, "-", hour, with a real
//   month, day and hour), a seven-digit date as the time-consumption window
//   writes it, or nothing; anything else would close the work-order line
//   with a date no report can read, so it is refused like an over-long text
//   and the cell keeps what it held.
// - Space and F4 on a "完工日" cell stamp it as a click does.
#include "common/Clock.h"
#include "common/KeyFilter.h"
#include "records/core/GridLayout.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qtmv::daily {

// Key codes of the grid's key-down event (Backspace 8 and Enter 13 are
// common/KeyFilter.h's).
inline constexpr int kKeyDelete = 46;
inline constexpr int kKeyF2 = 113;
inline constexpr int kKeyF9 = 120;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyF4 = 115;

enum class ColumnEdit {
    ReadOnly,   // only Backspace and Enter pass
    Text,       // any key; the cell is flagged
    Numeric,    // digits and "."; the cell is flagged
};

// How column col (1-based) of the kind's grid takes typing.
ColumnEdit ColumnEditOf(const GridLayout& layout, int col);

// The headings editable by typing in the kind's grid, in grid order.
std::vector<std::string> EditableHeadings(const GridLayout& layout);

struct KeyPress {
    int key = 0;         // the key to let through (a full-width digit becomes
                         // its ASCII form in numeric columns); 0 drops it
    bool flag = false;   // set the cell's change flag to "1"
    bool pass() const { return key != 0; }
};

// A typed character (its code point; 8 Backspace, 13 Enter) in column col.
KeyPress KeyPressOf(const GridLayout& layout, int col, int key);

enum class KeyDown {
    Default,           // the grid handles the key as usual
    ClearAndFlag,      // Delete: empty the cell, flag it, swallow the key
    Swallow,           // F2: the grid's own editor never opens by F2
    OpenDieLookup,     // F9 in the die-cutting "刀模代號" column
    OpenCellWindow,    // F9 in a column that opens a window (cellWindow)
    Stamp,             // Space or F4 on "完工日": what a click there does
};

// The window a click on a cell of the column opens: the time consumption
// from "耗時", the downstream vendor from "單筆".
enum class CellWindow { None, Time, Vendor };
CellWindow CellWindowOf(const GridLayout& layout, int col);

KeyDown KeyDownOf(const GridLayout& layout, int col, int keyCode);

// One cell the window writes (and flags) after a click.
struct CellChange {
    int col = 0;
    std::string text;
};

// The clicked row's text in a column (1-based).
using RowText = std::function<std::string(int col)>;

// A click on cell (row, col). Row or column 0 is a heading: nothing happens.
// "完工日": the finish stamp, also over an existing one. Printing "濃度" and
// die-cutting "紙": the mark "V" set or cleared (for "濃度" see above: it may
// change "表格" too, or be refused: then no change and the reason, for the
// caller to show). The stamp is read off clock.
struct Click {
    std::vector<CellChange> changes;
    std::string refusal;   // non-empty: nothing changes, tell the user this
};
Click CellClick(const GridLayout& layout, int row, int col, const RowText& rowText,
                                  const Clock& clock);

// The text an in-cell editor starts with: for printing "數量" the cell's
// displayed text; std::nullopt lets the grid start as usual.
std::optional<std::string> EditStartText(const GridLayout& layout, int col,
                                         std::string_view displayedText);

struct LengthLimit {
    int maxBytes = 0;
    std::string message;   // "最多只可輸入<n>個字元!"
};

// The byte limit of a column, when it has one.
std::optional<LengthLimit> LengthLimitOf(const GridLayout& layout, int col);

// Why column col cannot take this text (the message to show), if it cannot:
// a control character, a non-number in a colour count, or more bytes than
// the column's limit.
std::optional<std::string> CellProblem(const GridLayout& layout, int col, std::string_view text);

struct EditEnd {
    bool accepted = true;   // false: refused; `problem` says why
    std::string text;       // what the cell holds afterwards
    std::string problem;    // for the caller to show when refused
};

// Whether a "完工日" text can be stored: empty, the finish stamp "MMDD-HH"
// (month 01-12, a day the month has, hour 00-23) or a seven-digit date.
bool IsFinishDateText(std::string_view text);

// While a cell with a byte limit is edited: what the text uses of it, e.g.
// "完工說明：已用 12/100 位元組（上限 50 個中文字）"; "" for a column
// without a limit.
std::string LengthHint(const GridLayout& layout, int col, std::string_view text);

// After an over-long text was cut to the limit: what was cut off.
std::string CutNotice(const GridLayout& layout, int col, std::string_view typed, std::string_view kept);

// The end of an edit in column col. A text with a problem shows its message
// (title "訊息", exclamation); an over-long one is cut to the limit, any
// other goes back to oldText, what the cell held before.
EditEnd CheckEditEnd(const GridLayout& layout, int col, std::string_view text, std::string_view oldText);

// Whether column col shows in the entry view: the head (work order, line,
// customer, vendor, product), the columns typed into, and those a click
// stamps, marks or opens a window from. Hidden columns keep their numbers.
bool InEntryView(const GridLayout& layout, int col);

// The kind's name as the shared current-grid name ("印前" .. "裁工" .. "其他").
std::string_view CurrentGridName(const GridLayout& layout);

} // namespace qtmv::daily
