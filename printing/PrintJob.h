#pragma once
// The print operation of the print page without its window: the machine
// copy into the time-consumption details, the check query of the chosen
// report, the company title and footer texts, and which layout opens.
#include "printing/PrintParams.h"

#include <functional>
#include <string>

namespace qtmv::daily::printing {

inline constexpr const char* kNoData = "查無任何資料!";
inline constexpr const char* kExcelMode = "轉Excel";

// Copies the machine of each pre-schedule detail row into its time lines
// of the same kind whose machine is missing (null or blank).
std::string MachineCopySql();

// The condition on [不良分析4] shared by the analyses.
std::string AnalysisCondition(const PrintParams& p);
// The check query of a choice; key is this workstation's key of the
// analysis table (choice 2 with a mode). Empty for an order choice whose
// kind is not one of the fourteen.
std::string CheckQuery(int choice, const PrintParams& p, const std::string& mode, const std::string& key = {});

enum class Target {
    OutsourcingOrder, // rpt外發單_<kind>_xp, always previewed
    ValueExcel,       // frm產值分析明細轉Excel
    DetailExcel,      // frm生產明細表轉Excel
    Report,           // an analysis layout, previewed or printed
};
struct Dispatch {
    Target target = Target::Report;
    std::string layout; // the layout's or window's name
    bool preview = true;
};
// table1: opt報表 "表1" is chosen.
Dispatch Decide(int choice, const PrintParams& p, const std::string& mode, bool table1, bool preview);

struct Outcome {
    enum Status { NoData, Cancelled, Ready } status = NoData;
    PrintParams params;
    Dispatch dispatch;
};
// Runs the operation up to the opening: fills the parameters, builds the
// analysis table for the export of choice 2 (buildAnalysis, false when it
// was cancelled or failed: Cancelled), copies the machines (when printing or
// exporting; a preview writes nothing), checks for data
// (NoData: the caller says kNoData), reads the company title and
// footers. key: this workstation's key of the analysis table. Data errors
// throw.
Outcome RunPrint(const std::string& connectionString, const PageInput& page, bool preview, const std::string& mode,
                 const std::string& key = {}, const std::function<bool(const PrintParams&)>& buildAnalysis = {});

} // namespace qtmv::daily::printing
