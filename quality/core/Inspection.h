#pragma once
// The inspection lines of one process step of a work order (工單品檢明細):
// loading, the phrase lists a new record starts from, the defect rate, the
// verdict proposed from the kind's acceptable defect rate, and saving.
//
// A line whose rate (as shown, one decimal) is at most its kind's rate in
// 品檢允收不良率 is proposed "OK", above it "NG"; a kind without a rate gets
// no proposal. The window proposes only into a verdict cell that is empty or
// still holds a proposal, so a verdict the user chose stays (with a warning
// when it contradicts the rate). Whether a stored verdict was proposed is
// kept beside the lines in 品檢建議判定, so a proposal stored earlier follows
// the rule again when the record is opened; 判定 itself stays as the suite's
// other programs read it. Entirely empty lines are never stored; the kept
// lines are numbered 1, 2, ... without gaps.
//
// A save rewrites the whole record, so it first compares the stored rows
// with those the window loaded and writes nothing when another workstation
// changed them meanwhile.
#include "quality/core/SaveRun.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv {
struct Session;
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
    bool proposed = false;  // the verdict is the program's proposal, not the user's choice

    // No text and every number 0: not kept.
    bool empty() const;
};

// Big5 byte limits of the typed texts.
inline constexpr std::size_t kItemBytes = 200, kStandardBytes = 200, kUnitBytes = 20;

// Why the line cannot be stored (a control character, a text over its
// limit), or nothing.
std::optional<std::string> InspectionLineProblem(const InspectionLine& l);

// The record as loaded: its lines, and the record as stored, which a save
// compares with what is stored then (SaveRun.h).
struct InspectionRecord {
    std::vector<InspectionLine> lines;
    StoredRecord stored;
};
InspectionRecord LoadInspection(jet::Connection& conn, const InspectionKey& key);

// The kind's phrases, each list in its order; line n of a new record takes
// the n-th of each.
struct InspectionPhrases {
    std::vector<std::string> items, standards, units;
    bool empty() const { return items.empty() && standards.empty() && units.empty(); }
    std::vector<InspectionLine> lines() const;
};
InspectionPhrases LoadInspectionPhrases(jet::Connection& conn, const std::string& kind);

inline constexpr const char* kNoPhrases = "查無片語資料!";
inline constexpr const char* kImportQuestion = "確定要刪除目前資料，而重新匯入「片語資料」？";

// defective / inspected × 100; nullopt when nothing was inspected (the rate
// then stays as it is).
std::optional<double> DefectRate(double inspected, double defective);

// The kind's acceptable defect rate in percent; nullopt without one.
std::optional<double> AcceptableRate(jet::Connection& conn, const std::string& kind);
// "OK" or "NG" for a rate as shown (one decimal); "" without an acceptable rate.
std::string ProposedVerdict(double rate, std::optional<double> acceptable);

// A stored proposal follows the rule for the line's rate as it is now (the
// figures or the kind's acceptable rate may have changed since); a line
// nothing was inspected on, or a kind without a rate, keeps its verdict.
void FollowProposals(std::vector<InspectionLine>& lines, std::optional<double> acceptable);

// A verdict the user chose that the rule would not give: "OK" above the
// acceptable rate, "NG" at or below it, on a line with an inspected quantity.
bool ContradictsRule(const InspectionLine& l, std::optional<double> acceptable);
// The warning naming the grid lines (1-based) whose verdict contradicts the rule.
std::string ContradictionMessage(const std::vector<int>& rows, double acceptable);
inline constexpr const char* kContradictionTitle = "警告";

using InspectionSaved = WholeRecordSaved;

// Replaces the record's lines in one transaction, when the record is still
// stored as `loaded` (InspectionRecord::stored); otherwise tells the user
// who changed it and when (changedMessage) and writes nothing. A line that
// cannot be stored is told and nothing is written either.
InspectionSaved SaveInspection(const InspectionKey& key, const std::vector<InspectionLine>& lines,
                               const StoredRecord& loaded, daily::SaveContext& ctx);

// What the window shows when it opens, read on one connection: the kind's
// acceptable rate and phrases, and the record.
struct InspectionOpened {
    std::optional<double> acceptable;
    InspectionPhrases phrases;
    InspectionRecord record;
};
InspectionOpened OpenInspection(const Session& s, const InspectionKey& key);
InspectionPhrases LoadInspectionPhrases(const Session& s, const std::string& kind);

} // namespace qtmv::quality
