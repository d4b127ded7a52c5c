#pragma once
// Small lists of the plant that several entry windows offer: phrases,
// employees, machine capacities.
#include <optional>
#include <string>
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

} // namespace qtmv::lookups
