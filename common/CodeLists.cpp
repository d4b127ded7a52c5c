#include "common/CodeLists.h"

#include "common/ProcessKind.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <array>

namespace qtmv {

namespace {

constexpr std::string_view kPrintSizeSeparator = "||";
constexpr std::size_t kPrintSizePadding = 100;

struct FixedList {
    std::string_view name;
    std::vector<std::string_view> values;
};

const std::vector<FixedList>& FixedLists()
{
    static const std::vector<FixedList> lists = {
        {"YN", {"Y", "N"}},
        {"判定", {"OK", "NG"}},
        {"版別固定", {"菊版", "全開"}},
        {"紙品單位", {"令", "張"}},
    };
    return lists;
}

constexpr std::array<std::string_view, 11> kDataLists = {
    "機別", "車別", "停工說明", "停工類別", "固定片語", "顏色說明",
    "留版說明", "包裝", "油墨明細", "撥出倉位", "印刷尺寸",
};

class ItemList {
public:
    void add(std::string item)
    {
        if (std::find(items_.begin(), items_.end(), item) == items_.end())
            items_.push_back(std::move(item));
    }
    std::vector<std::string>& items() { return items_; }

private:
    std::vector<std::string> items_;
};

} // namespace

bool IsPrintSizeList(std::string_view kindDisplayName, std::string_view listName)
{
    const ProcessKind* kind = KindByDisplayName(kindDisplayName);
    return listName == "印刷尺寸" && kind && kind->is(KindId::Printing);
}

std::string JoinPrintSizeItem(std::string_view first, std::string_view second)
{
    std::string item(first);
    item.append(kPrintSizePadding, ' ');
    item += kPrintSizeSeparator;
    item += second;
    return item;
}

std::pair<std::string, std::string> SplitPrintSizeItem(std::string_view item)
{
    const std::size_t sep = item.find(kPrintSizeSeparator);
    if (sep == std::string_view::npos)
        return {qtmv::Trim(item), std::string()};
    return {qtmv::Trim(item.substr(0, sep)), qtmv::Trim(item.substr(sep + kPrintSizeSeparator.size()))};
}

CodeList BuildCodeList(std::string_view kindDisplayName, std::string_view listName,
                       std::string_view currentText, const CodeRows& rows)
{
    const std::string current = qtmv::Trim(currentText);
    CodeList result;

    if (listName == "YN1") {
        result.items = {"", "Y", "N"};
        return result;
    }

    ItemList list;
    for (const FixedList& f : FixedLists()) {
        if (f.name != listName)
            continue;
        list.add(current);
        for (std::string_view v : f.values)
            list.add(std::string(v));
        result.items = std::move(list.items());
        return result;
    }
    if (listName == "製程種類") {
        list.add(current);
        for (const ProcessKind& k : ProcessKinds())
            list.add(std::string(k.displayName));
        result.items = std::move(list.items());
        return result;
    }
    if (std::find(kDataLists.begin(), kDataLists.end(), listName) == kDataLists.end()) {
        result.known = false;
        result.items = {current};
        return result;
    }

    const bool printSize = IsPrintSizeList(kindDisplayName, listName);
    std::vector<std::string> rowItems;
    std::string head = current;
    for (const auto& row : rows) {
        if (row.empty())
            continue;
        std::string first = qtmv::Trim(row[0]);
        if (first.empty())
            continue;
        if (!printSize) {
            rowItems.push_back(std::move(first));
            continue;
        }
        std::string item = JoinPrintSizeItem(first, row.size() > 1 ? qtmv::Trim(row[1]) : std::string());
        if (first == current && head == current)
            head = item; // the current choice with its second value
        rowItems.push_back(std::move(item));
    }
    list.add(head);
    for (std::string& item : rowItems) {
        if (printSize && SplitPrintSizeItem(item).first == current)
            continue; // shown once, as the head
        list.add(std::move(item));
    }
    result.items = std::move(list.items());
    return result;
}

std::vector<std::string> ColourSettings()
{
    const long colours[7] = {
        0xC0C000,
        VbColour(253, 254, 239),
        VbColour(0, 0, 217),
        VbColour(255, 255, 255),
        VbColour(62, 139, 255),
        VbColour(255, 255, 255),
        VbColour(255, 74, 74),
    };
    std::vector<std::string> out;
    for (long c : colours)
        out.push_back(std::to_string(c));
    return out;
}

} // namespace qtmv
