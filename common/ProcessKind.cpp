#include "ProcessKind.h"

#include "platform/text/Text.h"

namespace qtmv {

namespace {
constexpr std::array<ProcessKind, 14> kKinds{{
    {'A', 1, "A-印前", "印前", "印 前", "印前", "IMPRINT", "IMPRINT_S", "印前預排表", "印前"},
    {'B', 2, "B-製版", "製版", "製 版", "製版", "PLATE", "PLATE_S", "製版預排表", "製版"},
    {'C', 3, "C-紙品", "紙品", "紙 品", "紙品", "PAPER", "PAPER_S", "紙品預排表", "紙品"},
    {'D', 4, "D-印刷", "印刷", "印 刷", "印刷", "PRINTING", "PRINTING_S", "印刷預排表", "印刷"},
    {'E', 5, "E-上光", "上光", "上 光", "上光", "GLAZE", "GLAZE_S", "上光預排表", "上光"},
    {'F', 6, "F-裱紙", "裱紙", "裱 紙", "裱紙", "MOUNT", "MOUNT_S", "裱紙預排表", "裱紙"},
    {'G', 7, "G-軋工", "軋工", "軋 工", "軋工", "CROWD", "CROWD_S", "軋工預排表", "軋工"},
    {'H', 8, "H-糊工", "糊工", "糊 工", "糊工", "PASTE", "PASTE_S", "糊工預排表", "糊工"},
    {'I', 9, "I-裁摺", "裁摺", "裁 摺", "裁工", "TRIM", "TRIM_S", "裁工預排表", "裁工"},
    {'J', 10, "J-裝訂", "裝訂", "裝 訂", "裝訂", "BIND", "BIND_S", "裝訂預排表", "裝訂"},
    {'K', 11, "K-刀模", "刀模", "刀 模", "刀模", "KNIFE", "KNIFE_S", "刀模預排表", "刀模"},
    {'L', 12, "L-燙金", "燙金", "燙 金", "燙金", "GILDING", "GILDING_S", "燙金預排表", "燙金"},
    {'M', 13, "M-運送", "運送", "運 送", "運送", "CONVEY", "CONVEY_S", "運送預排表", "運送"},
    {'N', 14, "N-其它", "其它", "其 它", "其他", "OTHER", "OTHER_S", "其他預排表", "其他"},
}};
} // namespace

const std::array<ProcessKind, 14>& ProcessKinds() { return kKinds; }

const ProcessKind* KindByDisplayName(std::string_view displayName)
{
    const std::string t = qtmv::Trim(displayName);
    for (const auto& k : kKinds)
        if (k.displayName == t)
            return &k;
    return nullptr;
}

const ProcessKind& KindOf(KindId id)
{
    return kKinds[static_cast<std::size_t>(static_cast<char>(id) - 'A')];
}

const ProcessKind* KindByLetter(char letter)
{
    for (const auto& k : kKinds)
        if (k.letter == letter)
            return &k;
    return nullptr;
}

const ProcessKind* KindByName(std::string_view name)
{
    for (const auto& k : kKinds)
        if (k.name == name || k.secondName == name)
            return &k;
    return nullptr;
}

std::string ProcessTableName(std::string_view displayName)
{
    const ProcessKind* k = KindByDisplayName(displayName);
    return k ? std::string(k->detailTable) : std::string();
}

} // namespace qtmv
