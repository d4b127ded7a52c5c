#pragma once
// Where the database file is and the one connection string every access uses.
//
// The DSN file "QTMV.DSN" in the program folder holds "SITE=<c>" and
// "DBQ=<path>/QTMV.MDB" lines. A client workstation (site C) takes the
// database from the DBQ folder; any other site uses the program folder.
#include "platform/jet/Postgres.h"

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
    std::optional<std::string> dbqValue;     // the DBQ line after "DBQ=", as written; none without one
    // A database server: lines that start "SERVER=", "PORT=", "DATABASE="
    // and "USER=" (any case; values as written, to the end of the line).
    // The password is never read from here: libpq takes it from the
    // user's password file (~/.pgpass).
    jet::ServerAddress server;               // host "" when there is no SERVER= line
};

// Reads the DSN text. The keys are found case-insensitively, anywhere; the
// folder is cut from the original text, so a case-sensitive path keeps its
// case. A text whose first character is "'" is commented out. The folder is
// the DBQ line's text from "DBQ=" up to "QTMV.MDB" (any case) wherever that
// stands on the line, blanks around it dropped; what follows the name
// (";PWD=...") is not part of it. A folder that is empty or does not end in
// "/" or "\" is unusable.
DsnSettings ParseDsnText(std::string_view text);

// What LocateDatabase found beyond the session's fields.
struct LocatedDatabase {
    // A client workstation (SITE=C) whose DSN names its database: that one
    // is used or none, never the program folder's instead.
    bool client = false;
    // A client's DBQ line that names no usable folder: what to tell the
    // user, naming the DSN file. "" when there is nothing wrong.
    std::string problem;
    // The database server the DSN names, for every site code: the program
    // uses that database or none. Host "" for a database file.
    jet::ServerAddress server;
};

// Sets WorkstationUser, ProgramFolder, TempFolder (created when missing),
// SiteCode and DatabaseFolder. A missing or unreadable DSN file (a folder,
// a named pipe: it is never waited on) means the program folder.
LocatedDatabase LocateDatabase(Session& s, const HostInfo& host);

// For a client workstation: why its database cannot be used, naming the
// file; "" when it opens, or is only busy (another workstation writing).
// Expects the connection string built.
std::string ClientDatabaseProblem(const Session& s, const LocatedDatabase& where);

// Why the session's database cannot be opened (the engine's description,
// which names the file); "" when it opens or is only busy.
std::string DatabaseOpenProblem(const Session& s);

// The connection string for a database file (its path quoted as connection
// strings need it).
std::string ConnectionStringFor(const std::string& databaseFile);

// Sets ConnectionString from DatabaseFolder.
void BuildConnectionString(Session& s);

// The connection string of the database file start-up is going to open,
// from a session LocateDatabase has filled, so that the file can be opened
// ahead while the window system starts (see jet::OpenAhead). "" for a
// database server, and when the DSN file leaves the database to a message.
std::string ExpectedConnectionString(const Session& located, const LocatedDatabase& where);

// Creates TempFolder + "QTMV.TXT" empty, replacing one that exists. Errors
// are ignored; anything there that is not a regular file is left alone.
void ResetTempMarker(const Session& s);

} // namespace qtmv
