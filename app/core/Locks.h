#pragma once
// Coordination between workstations through tables of the shared database:
// the maintenance lock (SYSLOCK) and the register of functions in use
// (SYSUSER1).
#include <exception>
#include <functional>
#include <string>

namespace jet {
class Connection;
}

namespace qtmv {

struct Session;

enum MaintenanceCheck : int {
    MaintenanceFree = 0,    // go on
    MaintenanceLocked = 1,  // the user has been told; the caller ends the program
    MaintenanceUnknown = 9, // the check failed; the caller abandons the operation without a further word
};

inline constexpr const char* kUnreachableDatabaseTitle = "資料庫無法使用";

// What the user is told when an operation cannot reach the database: the
// database by name, why, and that nothing was read or written. "" for a
// database that is only busy (held by another workstation past the wait).
std::string UnreachableDatabaseText(const Session& s, const std::exception& e);

// Reads SYSLOCK. A row means maintenance: MaintenanceHolder is set to its
// USER (trimmed; "" when null) and the message is shown. A busy database
// returns 9 without a message; one that cannot be reached (stopped server,
// missing file, broken file) returns 9 after telling the user so
// (UnreachableDatabaseText), once for the operation. With no lock, a registration that start-up
// left pending (FunctionRegistrationPending) is tried again first, waiting
// at most kRegistrationRetryWaitMs: the bookkeeping must not hold up the
// operation the user asked for; it stays pending while the database is busy.
// With `conn`, the check reads on that connection, opening it first when it
// is not open (a save runs all its steps on one; a database that cannot be
// opened is then a failed check); otherwise on one of its own.
int CheckMaintenanceLock(Session& s, jet::Connection* conn = nullptr);

inline constexpr int kRegistrationRetryWaitMs = 1000;

enum class Maintenance { Free, Ended, Abandoned };

// The maintenance check as every guarded operation runs it: Free goes on; a
// lock ends the program through endProgram (at once when there is none) and
// gives Ended, after releasing the record locks the program holds (see
// HoldRecordLock); a check that failed gives Abandoned, silently for the
// user (the log has it).
Maintenance PassMaintenanceCheck(Session& s, const std::function<void()>& endProgram,
                                 jet::Connection* conn = nullptr);

// Record locks this program holds in the shared database (rows such as
// the time window's claim in SYSPOLOCK1). The program ends on the
// maintenance check at once, without the windows' own clean-up: whatever
// it holds is released first, so that no other workstation is blocked by
// a program that is gone. HoldRecordLock registers how to release one
// lock and returns its token; DropRecordLock forgets it (the window
// released it itself); ReleaseRecordLocks runs every registered release
// (errors logged, never thrown) and forgets them.
int HoldRecordLock(Session& s, std::function<void()> release);
void DropRecordLock(Session& s, int token);
void ReleaseRecordLocks(Session& s);

// Records that this workstation user runs the function: one SYSUSER1 row per
// user and title, created or reused, its LPID set to ownHandle. Nothing is
// written when the launcher's process is gone. Errors are swallowed; false
// only when the database was busy (held by another workstation past the
// wait), so that the caller can try again later.
bool RegisterFunctionUse(const Session& s, const std::string& user, double launcherHandle, double ownHandle,
                         const std::string& title);

// The main window's registration on its first activation: this workstation
// user, the launcher and MainWindowHandle, under the application title. When
// the database is busy the registration is left pending for
// CheckMaintenanceLock and the user is told (once, with the rest of what a
// busy start-up could not do).
void RegisterMainWindow(Session& s);

// What the user is told when the registration is left pending.
inline constexpr const char* kRegistrationPendingText = "本工作站尚未登記使用本功能，稍後存取資料時會再登記。";

// Removes the user's row for the title, or all of the user's rows when
// allFunctions is set. Errors are swallowed.
void UnregisterFunctionUse(const Session& s, const std::string& user, const std::string& title,
                           bool allFunctions);

} // namespace qtmv
