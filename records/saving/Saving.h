#pragma once
// Saving the daily data of one process grid: the cells the user changed
// (change flag "1") go to the kind's scheduled table, to 預排資料明細 and, for
// some fields, to the work-order line, all in one transaction on a
// connection of the save's own, with the write-back to the work order
// nested in it (WriteBack.h). No widgets: the window hands
// over its cell values and flags; message boxes go through qtmv::MsgBox.
//
// Which cells trigger which statements:
// - remark, "完工日", "完工說明": their own flag; written trimmed.
// - Extras write only the fields whose own cells are flagged: a field that
//   another workstation saved since this grid was loaded is not put back
//   to the value loaded here.
// - Printing: the flagged ones of the first "正", "反" (colour counts) and
//   "計" go to the work-order line (PRINTING) and to its scheduled pieces
//   (PRINTING_S, which the grid loads), followed by the item update of
//   預排資料明細. Counts are written without the thousands separators the
//   grid shows, and a blank count (the grid shows 0 blank) as "0". A flag
//   on "表格" (the "濃度" click may set it, see EditRules.h) writes 表格 to
//   PRINTING and PRINTING_S.
// - Die-cutting: the flagged ones of "新舊刀" and "儲位", and of "留", "紙"
//   and the first "刀" (CROWD.刀), go to both CROWD (the work-order line)
//   and CROWD_S (its scheduled pieces), so line and pieces stay alike
//   whichever of them a later load or report reads. "新舊刀" holds "新刀"
//   or "舊刀" (the die register looks for "新刀"). The die-making flag is
//   the second "刀" column (the
//   V-flag of the KNIFE line). For a row with one of these die cells
//   flagged, "V" stamps the die-making line (KNIFE.FDATE) and the die order
//   ('刀 模' in VENDERAC, ODATE) where they are empty, keeping a stamp that
//   is there; an empty die flag clears both only when the flag cell itself
//   is flagged (see writeDieCuttingExtras).
//
// Safeguards:
// - The item update of 預排資料明細 also matches KIND = '印 刷', so it
//   cannot rename a piece of another kind that shares ID and INO.
// - Flagged cells the grid would refuse (over-long, control characters,
//   a count that is not a number) are refused before anything is written.
// - A read-only user (the rights test) cannot save.
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "records/saving/SaveResult.h"
#include "records/core/ChangeFlags.h"
#include "records/core/GridLoader.h"
#include "records/core/LoadedTexts.h"
#include "records/saving/ChangeHistory.h"

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qtmv {
struct Session;
}

namespace qtmv::daily {

// What a save or a manual write-back needs from its surroundings.
struct SaveContext {
    Session& session;                  // connection string, rights, lock holder
    const Clock& clock;                // the die-making stamp
    // Runs when the maintenance check reports a lock (1): ends the program.
    // Empty: std::exit(0).
    std::function<void()> endProgram;
};

// The main save's outcome: the sequence's result (Refused with Declined
// for "No" to "確定儲存資料?", Invalid for a text over its limit), whether
// the write-back after a save went through, and for Invalid the cell to
// show.
struct SaveOutcome {
    SaveResult result;
    bool writtenBack = false;   // Saved: the work order was written back too
    int row = 0;
    int col = 0;

    bool complete() const { return result.saved() && writtenBack; }
};

// Saves the flagged cells of the kind's loaded grid. rows[r - 1] is grid row
// r (the loader's form); flags are the grid's change flags; loaded are the
// rows as the load gave them (the history's old values). None is changed:
// after a failure the user still has every value and flag. The question
// and the closing message list what the save does (ChangeHistory.h); the
// cells written go to the change history in the save's transaction.
SaveOutcome SaveDailyReport(const ProcessKind& kind, const GridRows& rows, const ChangeFlags& flags,
                            SaveContext& ctx, const LoadedTexts& loaded);

// The transaction body of the save: every flagged-cell write, on a
// connection whose transaction the caller holds. With a summary, every cell
// written is listed there with its loaded value (from `loaded`, "" without).
// Throws jet::Error.
void WriteFlaggedCells(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows,
                       const ChangeFlags& flags, const Clock& clock, SaveSummary* summary = nullptr,
                       const LoadedTexts* loaded = nullptr);

// The whole of a save in the caller's transaction (begun with
// jet::Writes::Claimed, or holding everything): first the claims (the
// flagged rows' lines, the lines the write-back walks and their work
// orders, all at once, so a save never waits in a circle with another),
// then the flagged cells and their history, then the write-back in a
// nested transaction of its own. A write-back that fails is undone alone
// and the save's writes stay: `writeBackFailure` receives why (without one
// the failure goes to the caller). With `walk`, the write-back walks those
// rows' lines (the ones the save's question listed, PreviewSave) instead
// of working them out again. Returns what it did. Throws jet::Error for a
// failure of the save's own writes.
SaveSummary WriteSave(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const LoadedTexts& loaded,
                      const ChangeFlags& flags, const Clock& clock, const HistoryAuthor& author,
                      std::exception_ptr* writeBackFailure = nullptr, const std::vector<int>* walk = nullptr);

// What saving would do now, worked out without writing: each write of the
// save reads whether its rows are there, and the write-back's walk reads
// the lines with the save's finish texts in place of the stored ones
// (WriteBack.h PreviewWalk), in one read-only transaction that takes no
// write lock. The result equals what WriteSave returns on the same
// database. `walk` receives the grid rows whose lines the write-back walks
// (LinesToWalk). Throws jet::Error.
SaveSummary PreviewSave(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows,
                        const LoadedTexts& loaded, const ChangeFlags& flags, const Clock& clock,
                        std::vector<int>* walk = nullptr);

// A flagged cell that cannot be saved, with the message that says why
// (EditRules.h cellProblem); row 0 when every flagged cell can.
struct CellRefusal {
    int row = 0;
    int col = 0;
    std::string message;
};
CellRefusal FirstRefusedCell(const ProcessKind& kind, const GridRows& rows, const ChangeFlags& flags);

} // namespace qtmv::daily
