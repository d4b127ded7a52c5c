#pragma once
// The hand-over variables through which a window and the lookup windows it
// opens (and the work-order query) pass a filter in and a choice back; the
// entry windows take a request and return a result of their own instead.
// One process, one user interface thread: a window sets them right before
// showing another window modally and reads them right after it closes.
#include <array>
#include <cstddef>
#include <string>

namespace qtmv {

// The picked row of a lookup: entry i holds column i of the row. Every
// lookup empties it when it loads, so a lookup closed without a pick leaves
// entry 0 empty.
inline constexpr std::size_t kPickSize = 41;
inline std::array<std::string, kPickSize> gPick;

inline std::string gLookupKind;      // "印刷" .. or "所有廠商"
inline std::string gLookupFilter;    // search text the lookup starts with
inline std::string gLookupContext;   // "設備" offers machines; emptied by the caller after use
// The staff group of the employee lookups: empty lists everybody outside
// the delivery department, any text the delivery staff.
inline std::string gLookupStaffGroup;
inline bool gReturned = false;       // the opened window reports a confirmed choice
inline std::string gQueryOrderNo;    // work-order number confirmed in the work-order query

inline void ClearPick() { gPick.fill(std::string()); }

} // namespace qtmv
