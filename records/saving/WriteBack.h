#pragma once
// Carrying the daily records over to the work order.
//
// After every save, for each work-order line of the loaded rows (each
// distinct PO and [NO] once, in grid order: the outcome per line does not
// depend on which of its rows asks, so asking once is the same result for
// less work), in a transaction nested in the save's (its failure undoes it
// alone, and the save is kept):
// - all scheduled pieces finished: the line gets the finish text (FDATE and
//   ACT) and finish remark of its latest piece (the latest by the moment
//   its finish text means, FinishMoment; ties by [NO] desc, val(順序)
//   desc), its outsourcing line in VENDERAC is dated where EAMT = 0,
//   paper purchase lines are marked arrived (paper, mounting and other
//   kinds, when the finish text is not empty) and PRINTFLOW is stamped in the
//   kind's column (printing and varnishing by line: ITEM4/ITEM32,
//   ITEM5/ITEM33; no column for other line numbers);
// - a piece still open: the line is opened again (FDATE and ACT emptied);
// - a line without any scheduled piece left (deleted since loading) is not
//   touched: there is nothing to carry over, and blanking the line from
//   nothing would lose its state.
//
// The manual write-back of the current row (the "回存工單" button) copies
// the row's remark to the work-order line (REM); for die-cutting also
// 新舊刀 and 儲位 to the CROWD line, and registers a new die ("新刀") in
// 刀模管理資料 once per die code unless the work order is a rework. It runs
// in one transaction, so the register number cannot be taken twice by two
// workstations.
// - Rework: any 工單lable row of the work order with one of 內容8 .. 內容15
//   beginning with "重工" (blanks around ignored).
// - The die register record: 序 = 1 + the greatest 序; 作廢 = "" (valid);
//   日期 = today's seven-character ROC date; REM = PWORK.貼紙;
//   刀模代號 = the line's REM (the die code); 規格 = CROWD.[OPEN];
//   模數 and MEMB = CROWD.MEMB; ITEM = CROWD.ITEM; 說明 = the label's 說明,
//   else PWORK.FSPEC; 客戶代號/客戶簡稱 = PWORK.CUST/CUST.SNAME;
//   業務員代號/業務員名稱 = PWORK.EMPNO/EMPLOYEE.NAME; 工單單號/工單序 = PO/[NO];
//   產品代號/品名 = PWORK.CODE/PWORK.[DESC]; 廠商代號 and VENDER = CROWD.VENDER;
//   廠商簡稱 and SVENDER = CROWD.SVENDER; 尺寸1..3, 左右尺寸, 上下尺寸, R角,
//   左右模數, 上下模數, 左右模距, 上下模距 = the same fields of the work
//   order's label (the row of this line, else the first row); 總模數 =
//   左右模數 × 上下模數 when both are given, else CROWD.MEMB.
// - A die without a code is not registered.
// - When the work-order line is not found (no row, or several), nothing is
//   written and the user is told so, instead of "資料儲存完畢！".
#include "common/Clock.h"
#include "common/ProcessKind.h"
#include "records/core/ChangeFlags.h"
#include "records/core/GridLoader.h"
#include "records/saving/SaveResult.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv::daily {

struct SaveContext;
struct SaveSummary;

// The transaction body: every distinct line of the rows, on a connection
// whose transaction the caller holds. Returns the number of lines
// processed; a summary receives the lines closed and re-opened, the orders
// dated, the paper lines marked and the flow stamps set. The clock places
// the finish stamps, which have no year (FinishMoment). Throws jet::Error.
// With `changed` (the save's flags), a line none of whose rows is flagged
// is walked only when its walk would write something: when it is marked
// finished while a piece of it is open, or has no open piece left (two
// set-based reads find those); the others are open with empty marks, and
// skipping them leaves the database as walking every row does, repairs of
// drifted lines included.
// In a transaction begun with jet::Writes::Claimed, the lines walked and
// their work orders are claimed before the walk.
int WriteBackLines(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const Clock& clock,
                   SaveSummary* summary = nullptr, const ChangeFlags* changed = nullptr);

// The finish texts a save gives its pieces, by piece: PieceOf(ID, INO
// cells), the ID's letters folded as the database compares keys.
using PieceKey = std::pair<std::string, long long>;
using PieceFinishes = std::map<PieceKey, std::string>;
PieceKey PieceOf(std::string_view idCell, std::string_view inoCell);

// What WalkLines would add to the summary, worked out by reading alone:
// the finish texts the save gives (`finishes`) stand in for the stored ones
// of those pieces, and the flow stamps of lines walked before count for the
// lines after them. Writes nothing; no claim is needed.
void PreviewWalk(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const std::vector<int>& walk,
                 const Clock& clock, const PieceFinishes& finishes, SaveSummary& summary);

// WriteBackLines in its three parts, for a transaction that claims all it
// writes before writing anything: the grid rows whose lines the walk
// visits (the first row of each line, in grid order; the save's own writes
// change none of the others, so this may run before them), what those
// lines and their work orders are claimed as, and the walk.
std::vector<int> LinesToWalk(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows,
                             const ChangeFlags* changed);
std::vector<std::string> WalkClaims(const GridRows& rows, const std::vector<int>& walk);
int WalkLines(jet::Connection& conn, const ProcessKind& kind, const GridRows& rows, const std::vector<int>& walk,
              const Clock& clock, SaveSummary* summary);

// The manual write-back of grid row `row` (1-based) of the kind's rows.
// Saved ends with "資料儲存完畢！"; a work-order line that is not there (or
// not unique), or no loaded row at that place, is Refused with NotFound,
// told, nothing written.
SaveResult WriteBackCurrentRow(const ProcessKind& kind, const GridRows& rows, int row, SaveContext& ctx);

// Whether the work order is a rework order, by its label texts.
bool IsReworkOrder(jet::Connection& conn, const std::string& po);

} // namespace qtmv::daily
