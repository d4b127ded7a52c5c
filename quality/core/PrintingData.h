#pragma once
// The colour data of a printing step (工單印刷數據): the paper label, the
// lines, the colour difference from the colour number's target, and saving.
//
// - Several paper items of the step are joined with "、" in the paper label
//   ("紙品： 雪銅紙、銅版紙"); empty items are left out, a step without paper
//   shows "紙品： " alone.
// - △ (測量4) is filled with the CIEDE2000 difference between the measured
//   L, a, b and the colour number's target (色號目標值) when all three are
//   numbers and the target exists. The window keeps a △ the user typed: it
//   writes only into an empty △ or one that still holds the difference
//   computed from the line's values (also when loaded that way).
// - Saving skips entirely empty lines and numbers the kept ones 1, 2, ...;
//   the has-printing-data flag follows whether any line is kept. A save
//   rewrites the whole record, so it first compares the stored rows with
//   those the window loaded and writes nothing when another workstation
//   changed them meanwhile.
// - A measured line is checked against the colour number's tolerances
//   (ColourTolerance.h); a line out of them is still stored as measured.
#include "quality/core/ColourDifference.h"
#include "quality/core/ColourTolerance.h"
#include "quality/core/SaveRun.h"

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace jet {
class Connection;
class Value;
}

namespace qtmv {
struct Session;
}

namespace qtmv::quality {

struct PrintingKey {
    std::string po;
    int seq = 0;
    std::string kind;   // display name, "D-印刷"
};

struct PrintingLine {
    std::string colour;                   // 色號
    std::array<std::string, 7> inks;      // 油墨1 .. 油墨7
    std::array<std::string, 5> measures;  // 測量1 .. 測量5: L, a, b, △, 濃度
    std::string recorderId;               // 記錄員代號
    std::string recorder;                 // 記錄員
    std::string date;                     // 印刷日期, seven digits

    bool empty() const;
};

// "紙品： " followed by the step's paper items.
std::string PaperLabel(jet::Connection& conn, const std::string& po, int seq);
inline constexpr const char* kPaperPrefix = "紙品： ";
inline constexpr const char* kPaperSeparator = "、";

// Big5 byte limits of the typed texts; the recorder's name as the time
// window's operator.
inline constexpr std::size_t kColourBytes = 100, kInkBytes = 50, kMeasureBytes = 20, kRecorderBytes = 20,
                             kDateChars = 7;

// Why the line cannot be stored (a control character, a text over its
// limit), or nothing.
std::optional<std::string> PrintingLineProblem(const PrintingLine& l);

// The record as loaded: its lines, and the record as stored, which a save
// compares with what is stored then (SaveRun.h).
struct PrintingRecord {
    std::vector<PrintingLine> lines;
    StoredRecord stored;
};
PrintingRecord LoadPrintingData(jet::Connection& conn, const PrintingKey& key);

// Colour targets with their tolerances by colour number (upper-cased,
// trimmed, as the column compares them).
using ColourTargets = std::map<std::string, TargetColour, std::less<>>;
ColourTargets LoadColourTargets(jet::Connection& conn);
// A nullable number column (a tolerance): null stays nullopt.
std::optional<double> NullableNumber(const jet::Value& v);
std::string ColourKey(std::string_view colour);

// △ for a line: the difference to its colour's target, two decimals;
// nullopt when L, a or b is not a number or the colour has no target.
std::optional<std::string> ComputedDifference(const PrintingLine& line, const ColourTargets& targets);

// The line against its colour's tolerances; nothing checked without a target.
ToleranceCheck LineTolerance(const PrintingLine& line, const ColourTargets& targets);
// The status-bar words of line `row`: "第2列 M 超出容許：色差 ..." or
// "第2列 M：色差 ... 在容許 ... 內"; "" when nothing was checked.
std::string LineStatus(int row, const PrintingLine& line, const ToleranceCheck& check);
// How many of the (non-empty) lines are out of their tolerances.
int LinesOutOfTolerance(const std::vector<PrintingLine>& lines, const ColourTargets& targets);

// A printing date as typed, normalised (a six-digit date gets its leading
// "0"); nullopt when it is not a valid seven-digit date. "" stays "".
std::optional<std::string> PrintingDate(std::string_view typed);
inline constexpr const char* kBadPrintingDate = "「印刷日期」日期輸入錯誤!";
inline constexpr const char* kBadPrintingDateTitle = "日期輸入錯誤";

using PrintingSaved = WholeRecordSaved;

// Replaces the record's lines in one transaction, when the record is still
// stored as `loaded` (PrintingRecord::stored); otherwise tells the user who
// changed it and when (changedMessage) and writes nothing. A line that
// cannot be stored is told and nothing is written either.
PrintingSaved SavePrintingData(const PrintingKey& key, const std::vector<PrintingLine>& lines,
                               const StoredRecord& loaded, daily::SaveContext& ctx);

// What the window shows when it opens, read on one connection: the ink
// phrases, the paper label, the colour targets and the record.
struct PrintingDataOpened {
    std::vector<std::string> inks;
    std::string paper;
    ColourTargets targets;
    PrintingRecord record;
};
PrintingDataOpened OpenPrintingData(const Session& s, const PrintingKey& key);

} // namespace qtmv::quality
