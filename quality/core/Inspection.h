#pragma once
// The inspection lines of one process step of a work order (工單品檢明細):
// loading, the phrase lists a new record starts from, the defect rate, the
// verdict proposed from the kind's acceptable defect rate, and saving.
//
// A line whose rate (as shown, one decimal) is at most its kind's rate in
// 品檢允收不良率 is proposed "OK", above it "NG"; a kind without a rate gets
// no proposal. The window proposes only into a verdict cell that is empty or
// still holds its own earlier proposal, so a verdict the user chose, or one
// stored, stays. Entirely empty lines are never stored; the kept lines are
// numbered 1, 2, ... without gaps.
#include "quality/core/SaveRun.h"

#include <optional>
#include <string>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv::quality {

// Which record: the kind's display name ("D-印刷"), the work order, the
// process sequence.
struct InspectionKey {
    std::string kind;
    std::string po;
    int seq = 0;
};

struct InspectionLine {
    std::string item;       // 主要檢查項目
    std::string standard;   // 檢查標準
    std::string unit;       // 權責單位
    double inspected = 0;   // 檢驗數量
    double defective = 0;   // 不良數量
    double rate = 0;        // 不良率, percent
    std::string verdict;    // 判定: "OK", "NG" or ""

    // No text and every number 0: not kept.
    bool empty() const;
};

std::vector<InspectionLine> loadInspection(jet::Connection& conn, const InspectionKey& key);

// The kind's phrases, each list in its order; line n of a new record takes
// the n-th of each.
struct InspectionPhrases {
    std::vector<std::string> items, standards, units;
    bool empty() const { return items.empty() && standards.empty() && units.empty(); }
    std::vector<InspectionLine> lines() const;
};
InspectionPhrases inspectionPhrases(jet::Connection& conn, const std::string& kind);

inline constexpr const char* kNoPhrases = "查無片語資料!";
inline constexpr const char* kImportQuestion = "確定要刪除目前資料，而重新匯入「片語資料」？";

// defective / inspected × 100; nullopt when nothing was inspected (the rate
// then stays as it is).
std::optional<double> defectRate(double inspected, double defective);

// The kind's acceptable defect rate in percent; nullopt without one.
std::optional<double> acceptableRate(jet::Connection& conn, const std::string& kind);
// "OK" or "NG" for a rate as shown (one decimal); "" without an acceptable rate.
std::string proposedVerdict(double rate, std::optional<double> acceptable);

struct InspectionSaved {
    SaveStatus status = SaveStatus::Refused;
    bool hasLines = false;  // at least one line was kept
};

// Replaces the record's lines in one transaction.
InspectionSaved saveInspection(const InspectionKey& key, const std::vector<InspectionLine>& lines,
                               daily::SaveContext& ctx);

} // namespace qtmv::quality
