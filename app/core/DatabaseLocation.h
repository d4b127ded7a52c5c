#pragma once
// Where the database file is and the one connection string every access uses.
//
// The DSN file "QTMV.DSN" in the program folder holds "SITE=<c>" and
// "DBQ=<path>/QTMV.MDB" lines. A client workstation (site C) takes the
// database from the DBQ folder; any other site uses the program folder.
#include <optional>
#include <string>
#include <string_view>

namespace qtmv {

struct Session;

inline constexpr const char* kDatabasePassword = "kvoz2851kvoz2851";
inline constexpr const char* kDsnFileName = "QTMV.DSN";
inline constexpr const char* kTempMarkerFileName = "QTMV.TXT";

// What start-up learns about the machine; CurrentHost() asks the system,
// tests make up their own.
struct HostInfo {
    std::string computerName;
    std::string userName;
    std::string programFolder;   // ends in "/"
    std::string userProfile;     // USERPROFILE, else HOME; "" when unset
};
HostInfo CurrentHost();

struct DsnSettings {
    std::string siteCode;                    // upper case, "" when absent
    std::optional<std::string> dbqFolder;    // ends in the separator; none when unusable
};

// Reads the DSN text. The keys are found case-insensitively; the folder is
// cut from the original text, so a case-sensitive path keeps its case. A
// text whose first character is "'" is commented out. A DBQ value that does
// not end in "QTMV.MDB" (any case) right after a separator is ignored.
DsnSettings ParseDsnText(std::string_view text);

// Sets WorkstationUser, ProgramFolder, TempFolder (created when missing),
// SiteCode and DatabaseFolder. Never fails: a missing or unreadable DSN file
// means the program folder.
void LocateDatabase(Session& s, const HostInfo& host);

// Sets ConnectionString from DatabaseFolder.
void BuildConnectionString(Session& s);

// Creates TempFolder + "QTMV.TXT" empty, replacing one that exists. Errors
// are ignored.
void ResetTempMarker(const Session& s);

} // namespace qtmv
