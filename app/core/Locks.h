#pragma once
// Coordination between workstations through tables of the shared database:
// the maintenance lock (SYSLOCK) and the register of functions in use
// (SYSUSER1).
#include <string>

namespace qtmv {

struct Session;

enum MaintenanceCheck : int {
    MaintenanceFree = 0,    // go on
    MaintenanceLocked = 1,  // the user has been told; the caller ends the program
    MaintenanceUnknown = 9, // the check failed; the caller abandons the operation silently
};

// Reads SYSLOCK. A row means maintenance: MaintenanceHolder is set to its
// USER (trimmed; "" when null) and the message is shown. Database errors
// return 9 without a message.
int CheckMaintenanceLock(Session& s);

// Records that this workstation user runs the function: one SYSUSER1 row per
// user and title, created or reused, its LPID set to ownHandle. Nothing is
// written when the launcher's process is gone. Errors are swallowed.
void RegisterFunctionUse(const Session& s, const std::string& user, double launcherHandle, double ownHandle,
                         const std::string& title);

// Removes the user's row for the title, or all of the user's rows when
// allFunctions is set. Errors are swallowed.
void UnregisterFunctionUse(const Session& s, const std::string& user, const std::string& title,
                           bool allFunctions);

} // namespace qtmv
