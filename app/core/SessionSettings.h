#pragma once
// Filling the session at start-up: location, connection string, the user
// from the command line (or the administrator when started without the
// launcher), company names, rights strings and this workstation's settings.
#include "app/core/DatabaseLocation.h"

#include <functional>
#include <string>

namespace qtmv {

struct Session;

// The log's file in the user's temporary folder (InitSession opens it there);
// the log keeps its older files beside it as daily-report.log.1 and so on.
inline constexpr const char* kLogFileName = "daily-report.log";

struct StartupEnvironment {
    std::string commandLine;             // the arguments joined with single blanks
    HostInfo host;
    // Called with true before the settings are read and with false after
    // (also before an error is shown): the windows show the busy pointer.
    std::function<void(bool busy)> setBusy;
};

// Reads the settings into the session through one connection. Any data
// error stops the reading where it happened; its description is shown with
// the title "取得系統相關設定資料錯誤", naming the settings that were read
// (they stay) and those that were not. Returns false when it stopped on an
// error.
bool LoadSessionSettings(Session& s, bool loadUser, const StartupEnvironment& env);

// LocateDatabase (on env.host), ResetTempMarker, BuildConnectionString,
// LoadSessionSettings, the Excel folder default (the home folder when the
// table gave none) and the colour settings. A client workstation whose
// database cannot be used (its DBQ line is unusable, or the file named there
// cannot be opened) stops start-up before the settings: the user is told in
// a critical message naming the file, the log says the same, no other
// database is used, and the result is false (the program ends).
bool InitSession(Session& s, bool loadUser, const StartupEnvironment& env);

// The same for a session LocateDatabase has already filled from env.host:
// the DSN file is read once.
bool InitSession(Session& s, const LocatedDatabase& where, bool loadUser, const StartupEnvironment& env);

} // namespace qtmv
