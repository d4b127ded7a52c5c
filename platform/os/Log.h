#pragma once
// The program's log, for the plant's IT: what failed, on which workstation,
// for which user, in which operation, with the SQL text and the engine's own
// words that the users' message boxes leave out. Written through Qt's
// logging categories (qCWarning(qtmv::log::data) << ...) into one file in
// the user's temporary folder, rotated by size.
//
// The file: <folder>/<name> (the program names it), older ones <name>.1 .. .N.
// One record a line, fields separated by tabs (a tab or line break inside a
// field is written as \t, \n):
//   time  level  category  workstation  user  operation  message  [sql=...]  [engine=...]
// time is local ISO 8601 with milliseconds and offset; level is one of
// debug, info, warning, critical.
#include <QLoggingCategory>

#include <cstddef>
#include <string>
#include <string_view>

namespace qtmv::log {

Q_DECLARE_LOGGING_CATEGORY(Data)      // qtmv.data: statements and their failures
Q_DECLARE_LOGGING_CATEGORY(Startup)   // qtmv.startup: locating the database, settings, the register
Q_DECLARE_LOGGING_CATEGORY(Locks)     // qtmv.locks: maintenance checks and their silent abandonments
Q_DECLARE_LOGGING_CATEGORY(Ui)        // qtmv.ui: failures of the windows' handlers

// Opens the log file `fileName` in folder (created when missing) and routes
// the qtmv.* categories into it; other messages go on to the handler before.
// Rotates when the file reaches maxBytes, keeping `keep` older files. Returns
// the file's path, or "" when it cannot be written (records then go to the
// handler before, stderr by default). May be called again to move the log.
std::string Open(const std::string& folder, const std::string& fileName, std::size_t maxBytes = 1024 * 1024,
                 int keep = 3);

// Stops writing and restores the handler before open.
void Close();

// The open log file's path; "" when none is open.
std::string Path();

// Who and where: written into every record from now on.
void SetIdentity(const std::string& workstation, const std::string& user);

// One record in category cat at the warning level.
void Warning(const QLoggingCategory& cat, std::string_view operation, std::string_view message,
             std::string_view sql = {}, std::string_view engine = {});
// The same at the info level (silent outcomes worth knowing, such as an
// abandoned operation).
void Info(const QLoggingCategory& cat, std::string_view operation, std::string_view message,
          std::string_view sql = {}, std::string_view engine = {});

} // namespace qtmv::log
