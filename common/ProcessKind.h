#pragma once
// The fourteen process kinds and every form of their names. Code never
// spells a kind's names in another form without going through this table.
#include <array>
#include <string>
#include <string_view>

namespace qtmv {

// The kinds by name, for the rules that belong to one kind. The value is the
// kind's letter.
enum class KindId : char {
    Prepress = 'A',     // 印前
    Plate = 'B',        // 製版
    Paper = 'C',        // 紙品
    Printing = 'D',     // 印刷
    Varnishing = 'E',   // 上光
    Mounting = 'F',     // 裱紙
    DieCutting = 'G',   // 軋工
    Gluing = 'H',       // 糊工
    Cutting = 'I',      // 裁摺
    Binding = 'J',      // 裝訂
    DieMaking = 'K',    // 刀模
    FoilStamping = 'L', // 燙金
    Delivery = 'M',     // 運送
    Other = 'N',        // 其它
};

struct ProcessKind {
    char letter;                     // 'A' .. 'N'
    int number;                      // 1 .. 14, the kind's position (ITEMn flags)
    std::string_view displayName;    // "A-印前": combo boxes, passed around as "the kind"
    std::string_view name;           // "印前"
    std::string_view spacedName;     // "印 前": KIND in 預排資料明細 and VENDERAC, captions
    std::string_view secondName;     // "裁工" for I, "其他" for N, else == name
    std::string_view detailTable;    // "IMPRINT"
    std::string_view scheduledTable; // "IMPRINT_S"
    std::string_view preScheduleTable; // "印前預排表"
    std::string_view gridName;       // "印前" .. "裁工" .. "其他": suffix of fml/fra controls

    KindId id() const { return static_cast<KindId>(letter); }
    bool is(KindId k) const { return id() == k; }
};

const std::array<ProcessKind, 14>& ProcessKinds();

// The kind whose display name equals the trimmed argument exactly; nullptr otherwise.
const ProcessKind* KindByDisplayName(std::string_view displayName);
// The kind itself.
const ProcessKind& KindOf(KindId id);
// The kind the main window starts with.
inline constexpr KindId kDefaultKind = KindId::Printing;
// The kind of a letter 'A'..'N'; nullptr otherwise.
const ProcessKind* KindByLetter(char letter);
// The kind of a two-character name, accepting both spellings (裁摺/裁工, 其它/其他).
const ProcessKind* KindByName(std::string_view name);

// The detail table of a display name ("IMPRINT" for "A-印前"); "" when none matches.
std::string ProcessTableName(std::string_view displayName);

} // namespace qtmv
