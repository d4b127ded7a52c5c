#pragma once
// The export windows the print page opens when Excel is ticked, by name, and
// the choices each takes: one table that the print page, print-report and
// the export windows read.
#include <string_view>

namespace qtmv::daily::printing {

// The production value detail (choice 1) or summary (choice 2).
inline constexpr std::string_view kValueExcelWindow = "frm產值分析明細轉Excel";
// The production detail (choice 7).
inline constexpr std::string_view kDetailExcelWindow = "frm生產明細表轉Excel";

// The export window of a print-page choice; empty for a choice that has none.
constexpr std::string_view ExportWindowOfChoice(int choice)
{
    switch (choice) {
    case 1: case 2: return kValueExcelWindow;
    case 7: return kDetailExcelWindow;
    default: return {};
    }
}

constexpr bool IsExportWindow(std::string_view name)
{
    return name == kValueExcelWindow || name == kDetailExcelWindow;
}

} // namespace qtmv::daily::printing
