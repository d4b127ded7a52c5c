#include "records/saving/EditRules.h"

#include "platform/text/Big5.h"
#include "common/RocDate.h"
#include "common/EntryText.h"
#include "platform/text/Text.h"

#include <algorithm>

namespace qtmv::daily {

namespace {

bool IsKind(const GridLayout& layout, KindId id)
{
    return layout.kind != nullptr && layout.kind->is(id);
}

bool IsPrinting(const GridLayout& layout) { return IsKind(layout, KindId::Printing); }
bool IsDieCutting(const GridLayout& layout) { return IsKind(layout, KindId::DieCutting); }

bool ValidColumn(const GridLayout& layout, int col)
{
    return col >= 1 && col <= layout.columnCount();
}

// The column is the nth one carrying this heading.
bool IsColumn(const GridLayout& layout, int col, std::string_view heading, int nth = 1)
{
    return ValidColumn(layout, col) && layout.column(heading, nth) == col;
}

// The kind's remark heading: "說明" for paper and printing, "刀模代號" for
// die-cutting, "備註" elsewhere.
std::string_view RemarkHeading(const GridLayout& layout)
{
    if (layout.kind == nullptr)
        return "備註";
    switch (layout.kind->id()) {
    case KindId::Paper:
    case KindId::Printing: return "說明";
    case KindId::DieCutting: return "刀模代號";
    default: return "備註";
    }
}

std::string LimitMessage(int n) { return TooLongMessage(static_cast<std::size_t>(n)); }

// The "濃度" mark stands for a non-empty "表格" (the form the work-order
// line prints with). The mark may bring an empty form into being as "V" and
// take that "V" away again, but a real form text such as "A1" belongs to the
// work order and is never replaced by a mark: clearing the mark over it is
// refused with a word to the user.
Click DensityClick(const GridLayout& layout, int col, bool marked, const RowText& rowText)
{
    const int formCol = layout.column("表格");
    const std::string form = formCol > 0 ? qtmv::Trim(rowText(formCol)) : std::string();
    if (!marked) {
        Click out{{{col, "V"}}, {}};
        if (formCol > 0 && form.empty())
            out.changes.push_back({formCol, "V"});
        return out;
    }
    if (!form.empty() && form != "V")
        return {{}, "表格「" + form + "」不是濃度標記，不能由此清除；請在工單作業中修改表格。"};
    Click out{{{col, ""}}, {}};
    if (form == "V")
        out.changes.push_back({formCol, ""});
    return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A count as the grid shows it: digits with the thousands separators, at
// most one decimal point, or nothing (shown for 0).
bool IsCountText(std::string_view text)
{
    bool digit = false, point = false;
    for (const char c : text) {
        if (IsDigit(c))
            digit = true;
        else if (c == '.' && !point)
            point = true;
        else if (c != ',' || point)
            return false;
    }
    return digit || text.empty();
}

// Two ASCII digits at text[at], or -1.
int TwoDigitsAt(std::string_view text, std::size_t at)
{
    if (at + 2 > text.size() || !IsDigit(text[at]) || !IsDigit(text[at + 1]))
        return -1;
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

} // namespace

ColumnEdit ColumnEditOf(const GridLayout& layout, int col)
{
    if (!ValidColumn(layout, col))
        return ColumnEdit::ReadOnly;
    const std::string& h = layout.heading(col);
    if (h == "完工日" || h == "完工說明")
        return ColumnEdit::Text;
    if (h == RemarkHeading(layout) && IsColumn(layout, col, h))
        return ColumnEdit::Text;
    if (IsPrinting(layout) && (IsColumn(layout, col, "正") || IsColumn(layout, col, "反")))
        return ColumnEdit::Numeric;
    return ColumnEdit::ReadOnly;
}

std::vector<std::string> EditableHeadings(const GridLayout& layout)
{
    std::vector<std::string> out;
    for (int c = 1; c <= layout.columnCount(); ++c)
        if (ColumnEditOf(layout, c) != ColumnEdit::ReadOnly)
            out.push_back(layout.heading(c));
    return out;
}

KeyPress KeyPressOf(const GridLayout& layout, int col, int key)
{
    switch (ColumnEditOf(layout, col)) {
    case ColumnEdit::Text: return {key, true};
    case ColumnEdit::Numeric: {
        const int k = KeyFilter(key, KeyFilterMode::Decimal);
        return {k, k != 0 && k != kKeyEnter};
    }
    case ColumnEdit::ReadOnly: break;
    }
    return {key == kKeyBackspace || key == kKeyEnter ? key : 0, false};
}

KeyDown KeyDownOf(const GridLayout& layout, int col, int keyCode)
{
    switch (keyCode) {
    case kKeyF2: return KeyDown::Swallow;
    case kKeyDelete:
        // Elsewhere the list is read-only: Delete must not blank a cell that
        // saving would never write.
        return ColumnEditOf(layout, col) == ColumnEdit::ReadOnly ? KeyDown::Swallow
                                                                : KeyDown::ClearAndFlag;
    case kKeySpace:
    case kKeyF4:
        return ValidColumn(layout, col) && col == layout.finishDateCol ? KeyDown::Stamp : KeyDown::Default;
    case kKeyF9:
        if (IsDieCutting(layout) && IsColumn(layout, col, "刀模代號"))
            return KeyDown::OpenDieLookup;
        // F9 opens a cell's window as a click does; the vendor cell opens
        // on a click only, as it always has.
        if (CellWindowOf(layout, col) == CellWindow::Time)
            return KeyDown::OpenCellWindow;
        return KeyDown::Default;
    default: return KeyDown::Default;
    }
}

CellWindow CellWindowOf(const GridLayout& layout, int col)
{
    if (!ValidColumn(layout, col))
        return CellWindow::None;
    const std::string& h = layout.heading(col);
    if (h == "耗時")
        return CellWindow::Time;
    if (h == "單筆")
        return CellWindow::Vendor;
    return CellWindow::None;
}

Click CellClick(const GridLayout& layout, int row, int col, const RowText& rowText, const Clock& clock)
{
    if (row < 1 || !ValidColumn(layout, col))
        return {};
    const std::string& h = layout.heading(col);
    if (h == "完工日")
        return {{{col, FinishStamp(clock)}}, {}};
    const bool marked = qtmv::Trim(rowText(col)) == "V";
    if (IsPrinting(layout) && h == "濃度")
        return DensityClick(layout, col, marked, rowText);
    if (IsDieCutting(layout) && IsColumn(layout, col, "紙"))
        return {{{col, marked ? "" : "V"}}, {}};
    return {};
}

std::optional<std::string> EditStartText(const GridLayout& layout, int col,
                                         std::string_view displayedText)
{
    if (IsPrinting(layout) && IsColumn(layout, col, "數量"))
        return std::string(displayedText);
    return std::nullopt;
}

std::optional<LengthLimit> LengthLimitOf(const GridLayout& layout, int col)
{
    if (!ValidColumn(layout, col))
        return std::nullopt;
    const std::string& h = layout.heading(col);
    const bool special = IsPrinting(layout) || IsDieCutting(layout);
    int n = 0;
    if (h == "排序")
        n = 10;
    else if (h == "預排日" || h == "完工日")
        n = 7;
    else if (h == "完工說明")
        n = special ? 50 : 100;
    else if (IsPrinting(layout) && h == "台")
        n = 6;
    else if (IsPrinting(layout) && h == "色")
        n = 2;
    else if (IsPrinting(layout) && ColumnEditOf(layout, col) == ColumnEdit::Numeric)
        n = 10;
    else if (IsDieCutting(layout) && h == "新舊刀")
        n = 4;   // "新刀" or "舊刀", which the die register reads
    else if (IsDieCutting(layout) && h == "儲位")
        n = 10;
    else if (IsDieCutting(layout) && h == "刀模代號")
        n = 13;
    else if (h == RemarkHeading(layout) && IsColumn(layout, col, h))
        n = IsPrinting(layout) ? 50 : 100;
    if (n == 0)
        return std::nullopt;
    return LengthLimit{n, LimitMessage(n)};
}

std::optional<std::string> CellProblem(const GridLayout& layout, int col, std::string_view text)
{
    if (!ValidColumn(layout, col))
        return std::nullopt;
    if (HasControlCharacter(text))
        return ControlCharacterMessage(layout.heading(col));
    if (ColumnEditOf(layout, col) == ColumnEdit::Numeric && !IsCountText(qtmv::Trim(text)))
        return "「" + layout.heading(col) + "」只可輸入數字!";
    if (col == layout.finishDateCol && !IsFinishDateText(qtmv::Trim(text)))
        return "「完工日」只可輸入完工時間（月日-時，例如 1204-14，可按空白鍵或 F4 蓋章）或清空!";
    if (const auto limit = LengthLimitOf(layout, col);
        limit && Big5ByteLength(qtmv::Trim(text)) > static_cast<std::size_t>(limit->maxBytes))
        return limit->message;
    return std::nullopt;
}

bool IsFinishDateText(std::string_view text)
{
    if (text.empty())
        return true;
    if (text.size() == 7 && text[4] == '-') {
        static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const int month = TwoDigitsAt(text, 0), day = TwoDigitsAt(text, 2), hour = TwoDigitsAt(text, 5);
        return month >= 1 && month <= 12 && day >= 1 && day <= kDays[month - 1] && hour >= 0 && hour <= 23;
    }
    return text.size() == 7 && CheckRocDate(text, "7") == 0;
}

std::string LengthHint(const GridLayout& layout, int col, std::string_view text)
{
    const auto limit = LengthLimitOf(layout, col);
    if (!limit)
        return {};
    return layout.heading(col) + "：已用 " + std::to_string(Big5ByteLength(qtmv::Trim(text))) + "/"
           + std::to_string(limit->maxBytes) + " 位元組（上限 " + std::to_string(limit->maxBytes / 2) + " 個中文字）";
}

std::string CutNotice(const GridLayout& layout, int col, std::string_view typed, std::string_view kept)
{
    const std::string_view cut = typed.substr(std::min(kept.size(), typed.size()));
    return layout.heading(col) + "：超過的「" + std::string(cut) + "」已截去，只保留前 "
           + std::to_string(Big5ByteLength(kept)) + " 位元組。";
}

EditEnd CheckEditEnd(const GridLayout& layout, int col, std::string_view text, std::string_view oldText)
{
    const auto problem = CellProblem(layout, col, text);
    if (!problem)
        return {true, std::string(text), {}};
    // Too long: keep what fits, so the user can correct it. Anything else
    // cannot be mended by cutting: the cell keeps what it held.
    const auto limit = LengthLimitOf(layout, col);
    if (limit && *problem == limit->message)
        return {false, CutToBytes(text, limit->maxBytes), *problem};
    return {false, std::string(oldText), *problem};
}

bool InEntryView(const GridLayout& layout, int col)
{
    if (!ValidColumn(layout, col))
        return false;
    if (col <= 5 || ColumnEditOf(layout, col) != ColumnEdit::ReadOnly || CellWindowOf(layout, col) != CellWindow::None)
        return true;
    return (IsPrinting(layout) && layout.heading(col) == "濃度") || (IsDieCutting(layout) && IsColumn(layout, col, "紙"));
}

std::string_view CurrentGridName(const GridLayout& layout)
{
    return layout.kind != nullptr ? layout.kind->gridName : std::string_view{};
}

} // namespace qtmv::daily
