#pragma once
// The values a grid column offers in its drop-down, worked out without a
// widget: the fixed lists and the lists backed by the caller's table rows.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qtmv {

// Table rows as the caller read them: rows of column texts.
using CodeRows = std::vector<std::vector<std::string>>;

struct CodeList {
    bool known = true;              // false: no list of that name
    std::vector<std::string> items; // in the order the drop-down shows them
};

// The items for list `listName`:
//  - the current text, trimmed, heads the list and no value appears twice;
//  - fixed lists: "YN" Y, N; "YN1" exactly "", Y, N; "判定" OK, NG;
//    "製程種類" the fourteen kind display names; "版別固定" 菊版, 全開;
//    "紙品單位" 令, 張;
//  - data lists ("機別", "車別", "停工說明", "停工類別", "固定片語",
//    "顏色說明", "留版說明", "包裝", "油墨明細", "撥出倉位", "印刷尺寸"):
//    each row's first column, trimmed; rows without columns or with an
//    empty first column add nothing;
//  - "印刷尺寸" of kind "D-印刷": the row's first value, 100 blanks, "||"
//    and its second value (see JoinPrintSizeItem). When the current text is
//    a row's first value, that row's full item heads the list, so the
//    current choice keeps its second value.
// An unknown list name gives known = false and only the current text.
CodeList BuildCodeList(std::string_view kindDisplayName, std::string_view listName,
                       std::string_view currentText, const CodeRows& rows);

// Whether the list's items carry a second value: "印刷尺寸" of "D-印刷".
bool IsPrintSizeList(std::string_view kindDisplayName, std::string_view listName);
// A "印刷尺寸" item: first + 100 blanks + "||" + second.
std::string JoinPrintSizeItem(std::string_view first, std::string_view second);
// The visible and the hidden part of an item; an item without "||" is all
// visible (the visible part is trimmed of the padding blanks).
std::pair<std::string, std::string> SplitPrintSizeItem(std::string_view item);

// --- Colours ---------------------------------------------------------------
// Colours are values red + 256 * green + 65536 * blue, as the suite stores
// them.

constexpr long VbColour(int red, int green, int blue)
{
    return red + 256L * green + 65536L * blue;
}

// The seven colour settings of the lookup windows, as decimal texts:
// "12632064", "15728381", "14221312", "16777215", "16747326", "16777215",
// "4868863".
std::vector<std::string> ColourSettings();

inline constexpr long kLockedGrey = 0xC0C0C0;   // grey
inline constexpr long kLockedYellow = 0xC0FFFF; // light yellow (red FF, green FF, blue C0)

} // namespace qtmv
