#pragma once
// The parts of the daily report window that need no widgets: the sort
// captions per kind, the leave question,
// the hand-off file for the work-order program and the clock.
#include "common/ProcessKind.h"
#include "records/core/GridLayout.h"
#include "records/core/GridLoader.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qtmv::daily {

// Captions of the six sort options, index 0..5. Each caption names the order
// that the option's index sorts by when the grid is loaded.
std::array<std::string, 6> SortOptionCaptions(const ProcessKind& kind);

// Column widths of the process grids, in pixels: the head columns and the
// texts the shop floor reads and writes get room, codes, flags and working
// columns stay narrow; nothing is hidden.
int GridColumnWidth(const GridLayout& layout, int col);
// Columns of amounts and quantities, shown right-aligned.
bool IsNumericColumn(const GridLayout& layout, int col);
// The number of head columns that stay in view while scrolling sideways
// (work order, line, customer).
inline constexpr int kFrozenColumns = 3;

// The pre-schedule number and date boxes narrow the loaded pieces to one
// pre-schedule document and one scheduled day ("預排日", compared as a
// seven-digit date whatever separators were typed). Empty boxes keep
// everything.
void FilterLoadedRows(GridRows& rows, const GridLayout& layout, const std::string& number, std::string date);

// "確定離開" + caption + "嗎？"
std::string LeaveQuestion(std::string_view caption);

// What every operation says while no database can be opened.
std::string NoDatabaseMessage(std::string_view problem);

// Asked before a load, a kind switch or leaving throws flagged cells away:
// Yes saves first, No discards, Cancel stays.
std::string PendingQuestion(int cells);

// Why a load listed nothing: the kind, the press and the boxes that narrowed
// it, e.g. "D-印刷、車別「一號機」沒有未完工的排程資料".
std::string EmptyLoadNote(std::string_view kindText, std::string_view machine, std::string_view number,
                          std::string_view date);

// The hand-off to the work-order program: three lines, "預排", the work
// order and the kind, each ended by CR LF as the suite's programs read text
// files, in the Big5 code page (950).
inline constexpr std::string_view kHandOffFileName = "QTMVTMP.TXT";
std::string HandOffText(std::string_view workOrder, std::string_view kindText);   // UTF-8
// UTF-8 to code page 950. Throws std::runtime_error naming the first
// character the code page cannot hold.
std::string ToCodePage950(std::string_view utf8);
// Writes the file into the folder (replacing an older one as a whole) and
// returns its path. Throws std::runtime_error with a description.
std::string WriteHandOffFile(const std::string& folder, std::string_view workOrder,
                             std::string_view kindText);

// The clock: two-digit hours of the twelve-hour dial, " : ", two-digit minutes.
std::string ClockText(int hour24, int minute);

// The flash at the full hour: the label takes the flash colour on the first
// tick, is hidden and shown on alternate ticks, and after the seventh tick
// the flash ends with the label hidden.
class ClockFlash {
public:
    struct Step {
        bool flashColour;   // first tick: take the flash colour
        bool visible;
        bool finished;      // stop the flash timer
    };
    Step tick();
    int ticks() const { return ticks_; }
    void reset() { ticks_ = 0; }

private:
    int ticks_ = 0;
};

} // namespace qtmv::daily
