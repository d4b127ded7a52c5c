#include "daily_report/saving/EditRules.h"

#include "common/Big5Text.h"
#include "common/RocDate.h"
#include "platform/jet/Value.h"
#include "platform/os/MessageBox.h"

namespace qtmv::daily {

namespace {

bool isKind(const GridLayout& layout, char letter)
{
    return layout.kind != nullptr && layout.kind->letter == letter;
}

bool isPrinting(const GridLayout& layout) { return isKind(layout, 'D'); }
bool isDieCutting(const GridLayout& layout) { return isKind(layout, 'G'); }

bool validColumn(const GridLayout& layout, int col)
{
    return col >= 1 && col <= layout.columnCount();
}

// The column is the nth one carrying this heading.
bool isColumn(const GridLayout& layout, int col, std::string_view heading, int nth = 1)
{
    return validColumn(layout, col) && layout.column(heading, nth) == col;
}

// The kind's remark heading: "說明" for paper and printing, "刀模代號" for
// die-cutting, "備註" elsewhere.
std::string_view remarkHeading(const GridLayout& layout)
{
    if (layout.kind == nullptr)
        return "備註";
    switch (layout.kind->letter) {
    case 'C':
    case 'D': return "說明";
    case 'G': return "刀模代號";
    default: return "備註";
    }
}

std::string limitMessage(int n) { return "最多只可輸入" + std::to_string(n) + "個字元!"; }

} // namespace

ColumnEdit columnEdit(const GridLayout& layout, int col)
{
    if (!validColumn(layout, col))
        return ColumnEdit::ReadOnly;
    const std::string& h = layout.heading(col);
    if (h == "完工日" || h == "完工說明")
        return ColumnEdit::Text;
    if (h == remarkHeading(layout) && isColumn(layout, col, h))
        return ColumnEdit::Text;
    if (isPrinting(layout) && (isColumn(layout, col, "正") || isColumn(layout, col, "反")))
        return ColumnEdit::Numeric;
    return ColumnEdit::ReadOnly;
}

std::vector<std::string> editableHeadings(const GridLayout& layout)
{
    std::vector<std::string> out;
    for (int c = 1; c <= layout.columnCount(); ++c)
        if (columnEdit(layout, c) != ColumnEdit::ReadOnly)
            out.push_back(layout.heading(c));
    return out;
}

KeyPress keyPress(const GridLayout& layout, int col, int key)
{
    switch (columnEdit(layout, col)) {
    case ColumnEdit::Text: return {key, true};
    case ColumnEdit::Numeric: {
        const int k = KeyFilter(key, KeyFilterMode::Decimal);
        return {k, k != 0 && k != kKeyEnter};
    }
    case ColumnEdit::ReadOnly: break;
    }
    return {key == kKeyBackspace || key == kKeyEnter ? key : 0, false};
}

KeyDown keyDown(const GridLayout& layout, int col, int keyCode)
{
    switch (keyCode) {
    case kKeyF2: return KeyDown::Swallow;
    case kKeyDelete:
        // Elsewhere the list is read-only: Delete must not blank a cell that
        // saving would never write.
        return columnEdit(layout, col) == ColumnEdit::ReadOnly ? KeyDown::Swallow
                                                                : KeyDown::ClearAndFlag;
    case kKeyF9:
        if (isDieCutting(layout) && isColumn(layout, col, "刀模代號"))
            return KeyDown::OpenDieLookup;
        return KeyDown::Default;
    default: return KeyDown::Default;
    }
}

std::vector<CellChange> cellClick(const GridLayout& layout, int row, int col,
                                  std::string_view cellText, const Clock& clock)
{
    if (row < 1 || !validColumn(layout, col))
        return {};
    const std::string& h = layout.heading(col);
    if (h == "完工日")
        return {{col, FinishStamp(clock)}};
    const std::string toggled = jet::trim(cellText) == "V" ? "" : "V";
    if (isPrinting(layout) && h == "濃度") {
        std::vector<CellChange> out{{col, toggled}};
        if (const int form = layout.column("表格"); form > 0)
            out.push_back({form, toggled});
        return out;
    }
    if (isDieCutting(layout) && isColumn(layout, col, "紙"))
        return {{col, toggled}};
    return {};
}

std::optional<std::string> editStartText(const GridLayout& layout, int col,
                                         std::string_view displayedText)
{
    if (isPrinting(layout) && isColumn(layout, col, "數量"))
        return std::string(displayedText);
    return std::nullopt;
}

std::optional<LengthLimit> lengthLimit(const GridLayout& layout, int col)
{
    if (!validColumn(layout, col))
        return std::nullopt;
    const std::string& h = layout.heading(col);
    const bool special = isPrinting(layout) || isDieCutting(layout);
    int n = 0;
    if (h == "排序")
        n = 10;
    else if (h == "預排日" || h == "完工日")
        n = 7;
    else if (h == "完工說明")
        n = special ? 50 : 100;
    else if (isPrinting(layout) && h == "台")
        n = 6;
    else if (isPrinting(layout) && h == "色")
        n = 2;
    else if (isPrinting(layout) && columnEdit(layout, col) == ColumnEdit::Numeric)
        n = 10;
    else if (isDieCutting(layout) && h == "新舊刀")
        n = 1;
    else if (isDieCutting(layout) && h == "儲位")
        n = 10;
    else if (isDieCutting(layout) && h == "刀模代號")
        n = 13;
    else if (h == remarkHeading(layout) && isColumn(layout, col, h))
        n = isPrinting(layout) ? 50 : 100;
    if (n == 0)
        return std::nullopt;
    return LengthLimit{n, limitMessage(n)};
}

EditEnd editEnd(const GridLayout& layout, int col, std::string_view text)
{
    const auto limit = lengthLimit(layout, col);
    if (!limit || Big5ByteLength(text) <= static_cast<std::size_t>(limit->maxBytes))
        return {true, std::string(text)};
    MsgBox(limit->message, "訊息", MsgIcon::Exclamation);
    return {false, CutToBytes(text, limit->maxBytes)};
}

std::string_view currentGridName(const GridLayout& layout)
{
    return layout.kind != nullptr ? layout.kind->gridName : std::string_view{};
}

} // namespace qtmv::daily
