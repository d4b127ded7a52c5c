#pragma once
// Small lists of the plant that several entry windows offer: phrases,
// employees, machine capacities, the machines of a kind.
#include "common/ProcessKind.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jet {
class Connection;
}

namespace qtmv {
struct Session;
}

namespace qtmv::lookups {

// The texts of a phrase list of kind "Z-雜項" ("機別", "停工說明", "油墨明細"), in their order.
std::vector<std::string> PhraseList(jet::Connection& conn, const std::string& item);
// An employee by code or by name: {ID, NAME}; nullopt when there is none.
std::optional<std::pair<std::string, std::string>> FindEmployee(jet::Connection& conn, const std::string& text);
std::optional<std::pair<std::string, std::string>> FindEmployee(const Session& s, const std::string& text);
// 每時產能 of a machine in 印刷產能資料; 0 without a record.
double CapacityPerHour(jet::Connection& conn, const std::string& machine);

// The machines offered for a kind: an empty entry first, then the machine
// phrases of the kind (a phrase with an empty MSG belongs to every kind).
std::string MachineListQuery(const ProcessKind& kind);
// The signed-in employee's own press.
std::string OwnMachineQuery(std::string_view employeeId);

struct MachineList {
    std::vector<std::string> items;   // items[0] is ""
    std::string own;                  // the employee's 車別, "" when none
};
// Throws jet::Error.
MachineList LoadMachineList(const Session& s, const ProcessKind& kind, std::string_view employeeId);

inline constexpr std::string_view kPhraseQuery = "Select * From [PHRASE] Order By ID";

// The whole phrase table, read once when the main window first shows.
struct PhraseTable {
    std::vector<std::string> fields;
    std::vector<std::vector<std::string>> rows;   // trimmed texts, null as ""
    // The [DESC] of every row whose ITEM is the list name, in ID order.
    std::vector<std::string> list(std::string_view item) const;
};
// Throws jet::Error.
PhraseTable LoadPhrases(const Session& s);

} // namespace qtmv::lookups
