#pragma once
// The user's rights: flag strings whose character positions stand for
// functions, and the rights groups that limit lookup lists.
#include <string>
#include <string_view>

namespace qtmv {

struct Session;

// A function's place in a rights string: the character position (from 1)
// and the value that refuses it.
struct RightsFlag {
    int position;
    std::string_view restricting;
};
// ProductionRights: "1" at 12 makes the user query-only (no saving).
inline constexpr RightsFlag kQueryOnly{12, "1"};
// ProductionRights: "1" at 14 hides the print functions of the main window.
inline constexpr RightsFlag kNoPrinting{14, "1"};
// ProductionRights: "1" at 15 limits the customer lists to the user's own
// customers. Any other character, or a shorter string, lists every customer,
// so a plant that never set the position sees no change for its staff.
inline constexpr RightsFlag kOwnCustomersOnly{15, "1"};
// WorkOrderRights: "0" at 1 refuses handing a work order to the work-order program.
inline constexpr RightsFlag kNoWorkOrderProgram{1, "0"};
// WorkOrderRights, the binding instructions of a work order (裝訂說明 window):
// "0" at 9 refuses opening them, "0" at 13 lets the user read but not change
// them, "0" at 44 refuses printing them.
inline constexpr RightsFlag kNoBindingInstructions{9, "0"};
inline constexpr RightsFlag kBindingReadOnly{13, "0"};
inline constexpr RightsFlag kNoBindingPrint{44, "0"};

// The rights test every guarded action uses: true when the action is
// refused. Positions count characters from 1. Administrators (LoginUser not
// empty) are never refused, nor is anyone whose string is shorter than the
// position.
bool RightsRestricted(const Session& s, std::string_view rights, int position, std::string_view restrictingValue);
inline bool RightsRestricted(const Session& s, std::string_view rights, RightsFlag flag)
{
    return RightsRestricted(s, rights, flag.position, flag.restricting);
}

// The gate of every edit function (saving, the write-back, an entry
// window's confirm): true when the edit is refused, after telling the user.
// Refused while the session's user or rights are not established (the
// first refusal says why, later ones "您的權限僅可以查詢！"; the rights row
// is read again first, in case start-up only found the database busy), and
// for a read-only user ("1" at position 12 of ProductionRights).
bool EditRefused(Session& s);
// EditRefused without the message box: what the user must be told, ""
// when the edit may go on (the first refusal counts as told).
std::string EditRefusal(Session& s);

// Why this run may only look, as EditRefused's first refusal says it; ""
// when edits are allowed. Reads nothing: what start-up (or the last
// EditRefused) established.
std::string QueryOnlyReason(const Session& s);

// Appends to the statement text, for every non-empty group of the user, one
// condition per group column (GROUP, GROUP1 .. GROUP19):
//   " or " + prefix + ".[GROUPn] = '" + group + "' "   (prefix given)
//   " or [GROUPn] = '" + group + "' "                  (no prefix)
// The caller's text ends in the condition the first " or " continues.
std::string BuildGroupFilter(const std::string& sql, const std::string& prefix, const Session& s);

} // namespace qtmv
