#pragma once
// What the shop floor may do in a process grid, as decisions the window
// carries out: which columns take typing, which keys pass, what Delete, F2
// and F9 do, what a click stamps or toggles, where an edit starts and how
// long a text may be. Columns are identified by their heading (and, where a
// heading occurs twice, by which occurrence), never by position.
//
// Decisions taken here:
// - Printing "正"/"反": only the first pair (the colour counts COLOR1 and
//   COLOR2) is editable. The second pair ([RIGHT], OPPOS) carries the same
//   headings, but saving writes only the colour counts, so typing there
//   would be lost; it stays read-only.
// - Numeric-only columns flag a cell only for keys that change it (digits,
//   "." and Backspace); a dropped key changes nothing and flags nothing.
//   Enter passes there without flagging.
// - Length limits (bytes of the Big5 code page) beyond the common ones:
//     printing     "說明" 50, "完工說明" 50, "正"/"反" 10
//     die-cutting  "刀模代號" 13, "完工說明" 50, "儲位" 10
//   The remark column of the other kinds ("備註", paper "說明") shares the
//   100-byte limit of their "完工說明".
// - An over-long text is cut to the limit (not thrown away), after the
//   message, so the user keeps what fitted and can correct it.
// - The printing "濃度" mark stands for a non-empty "表格"; toggling it sets
//   "表格" to "V" or clears it too, and flags both, so saving writes the
//   form flag that the mark shows.
#include "common/Clock.h"
#include "common/KeyFilter.h"
#include "daily_report/core/GridLayout.h"

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

enum class ColumnEdit {
    ReadOnly,   // only Backspace and Enter pass
    Text,       // any key; the cell is flagged
    Numeric,    // digits and "."; the cell is flagged
};

// How column col (1-based) of the kind's grid takes typing.
ColumnEdit columnEdit(const GridLayout& layout, int col);

// The headings editable by typing in the kind's grid, in grid order.
std::vector<std::string> editableHeadings(const GridLayout& layout);

struct KeyPress {
    int key = 0;         // the key to let through (a full-width digit becomes
                         // its ASCII form in numeric columns); 0 drops it
    bool flag = false;   // set the cell's change flag to "1"
    bool pass() const { return key != 0; }
};

// A typed character (its code point; 8 Backspace, 13 Enter) in column col.
KeyPress keyPress(const GridLayout& layout, int col, int key);

enum class KeyDown {
    Default,           // the grid handles the key as usual
    ClearAndFlag,      // Delete: empty the cell, flag it, swallow the key
    Swallow,           // F2: the grid's own editor never opens by F2
    OpenDieLookup,     // F9 in the die-cutting "刀模代號" column
};

KeyDown keyDown(const GridLayout& layout, int col, int keyCode);

// One cell the window writes (and flags) after a click.
struct CellChange {
    int col = 0;
    std::string text;
};

// A click on cell (row, col). Row or column 0 is a heading: nothing happens.
// "完工日": the finish stamp, also over an existing one. Printing "濃度" and
// die-cutting "紙": the mark "V" set or cleared (printing also "表格").
// cellText is the clicked cell's current text; the stamp is read off clock.
std::vector<CellChange> cellClick(const GridLayout& layout, int row, int col,
                                  std::string_view cellText, const Clock& clock);

// The text an in-cell editor starts with: for printing "數量" the cell's
// displayed text; std::nullopt lets the grid start as usual.
std::optional<std::string> editStartText(const GridLayout& layout, int col,
                                         std::string_view displayedText);

struct LengthLimit {
    int maxBytes = 0;
    std::string message;   // "最多只可輸入<n>個字元!"
};

// The byte limit of a column, when it has one.
std::optional<LengthLimit> lengthLimit(const GridLayout& layout, int col);

struct EditEnd {
    bool accepted = true;   // false: the text was too long and has been cut
    std::string text;       // what the cell holds afterwards
};

// The end of an edit in column col: an over-long text (Big5 bytes) shows the
// column's message (title "訊息", exclamation) and is cut to the limit.
EditEnd editEnd(const GridLayout& layout, int col, std::string_view text);

// The kind's name as the shared current-grid name ("印前" .. "裁工" .. "其他").
std::string_view currentGridName(const GridLayout& layout);

} // namespace qtmv::daily
