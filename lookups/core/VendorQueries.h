#pragma once
// The statements of the vendor lookups 廠商輔助畫面1, 3 and 5: vendors and
// the plant's own machines (rows of VENDER with 製作 <> 0) of a process kind.
//
// A kind word selects the vendors by their flag column ITEMn (n the kind's
// position A..N); the comparison is exact. 裁工 and 裁摺 both mean kind I,
// 其他 and 其它 kind N; "紙品採購" (paper purchasing) takes the paper,
// mounting and other vendors; any other word lists every vendor.
#include "common/ProcessKind.h"
#include "lookups/core/LookupRows.h"

#include <array>
#include <string>
#include <string_view>

namespace qtmv::lookups {

inline constexpr std::string_view kAllVendors = "所有廠商";       // gLookupKind: every kind, with the kind combo
inline constexpr std::string_view kEquipmentContext = "設備";     // gLookupContext: offer the machines-only box
inline constexpr std::string_view kPaperPurchasing = "紙品採購";

// The flag condition of a kind word: "ITEM4 = '1'", or for 紙品採購
// "(ITEM3 = '1' or ITEM6 = '1' or ITEM14 = '1')"; "" for any other word.
std::string KindFlagCondition(std::string_view kindWord);

// What the window asks for.
struct VendorFilter {
    std::string kind;            // gLookupKind (window 3: the kind combo's text, "D-印刷")
    std::string filter;          // the trimmed filter box
    bool equipmentOnly = false;  // window 1: chk只秀設備 ticked
    int kindEntry = 0;           // window 1 with 所有廠商: the cbo種類 entry, 0 the empty one, 1..14 A..N
};

// 廠商輔助畫面1: nine columns (code, short name, rate, telephone, contact,
// fax, memo, address, payment terms), active vendors only; with no hit the
// list of the kind without the filter.
LookupQuery VendorQuery1(const VendorFilter& f);
// 廠商輔助畫面3: eight columns, disabled vendors included, no fall-back.
LookupQuery VendorQuery3(const VendorFilter& f);
// 廠商輔助畫面5: eight columns, the vendors of the kind together with every
// machine, active only; with no hit the list without the filter.
LookupQuery VendorQuery5(const VendorFilter& f);

// The kinds 廠商輔助畫面3 offers, in its combo's order.
inline constexpr std::array<KindId, 10> kOutsourcingKinds = {
    KindId::Plate,    KindId::Printing, KindId::Varnishing, KindId::Mounting,     KindId::DieCutting,
    KindId::Gluing,   KindId::Cutting,  KindId::Binding,    KindId::FoilStamping, KindId::Other};

// Column widths in twips (0 hides a column; its text still reaches gPick).
inline constexpr std::array<int, 9> kVendorWidths1 = {1200, 1500, 0, 1500, 1200, 1500, 0, 0, 0};
inline constexpr std::array<int, 8> kVendorWidths3 = {1500, 2500, 0, 0, 0, 0, 0, 0};
inline constexpr std::array<int, 8> kVendorWidths5 = {1200, 1500, 0, 1500, 1200, 1500, 0, 0};

} // namespace qtmv::lookups
