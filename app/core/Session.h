#pragma once
// The process-wide session: who works, where the database is, the company
// names and folders. Start-up fills it once; every window reads it.
#include <array>
#include <functional>
#include <map>
#include <string>

namespace qtmv {

// The application title under which the main window registers itself as a
// function in use (SYSUSER1.FUNC).
inline constexpr const char* kApplicationTitle = "日報登錄作業";

// The launch token every start by the suite's launcher carries.
inline constexpr const char* kLaunchToken = "-kvo2851";

struct Session {
    // Identity from the command line (or the administrator fallback).
    std::string LoginUser;         // non-empty: runs as an administrator
    std::string EmployeeName;
    std::string EmployeeId;
    std::string ExcelExtension;
    std::string WordExtension;
    double LauncherProcessId = 0;  // the launcher's process (is-alive tested)

    // From EMPLOYEE and 使用者資料明細.
    std::array<std::string, 20> RightsGroups;   // GROUP, GROUP1 .. GROUP19, trimmed
    std::string PhoneExtension;
    std::string WorkOrderRights;   // 工單作業細部
    std::string ProductionRights;  // 生產管理細部
    // Fail closed: until start-up has established who the user is (a
    // complete launch line) and read the user's rights, the session is
    // query-only; a malformed launch line or an unreadable rights row must
    // not count as "not restricted". RightsProblem says why, for the one
    // explanation the user gets (RightsProblemTold).
    bool IdentityEstablished = false;
    bool RightsEstablished = false;
    std::string RightsProblem;
    bool RightsProblemTold = false;

    std::string CompanyName, CompanyName1, CompanyName2;
    std::string ExcelFolder;

    // Location. Folders always end in "/".
    std::string ProgramFolder;
    std::string TempFolder;
    std::string DatabaseFolder;
    std::string SiteCode;          // one character, upper case, or ""
    std::string WorkstationUser;   // computer name + "\" + user name
    std::string ConnectionString;

    double MainWindowHandle = 0;   // set by the main window on first activation
    bool FunctionRegistrationPending = false; // SYSUSER1 row not yet written (database was busy)
    std::string MaintenanceHolder; // SYSLOCK.USER found by the last lock check

    // Record locks this program holds in the shared database, by token: how
    // to release each before the program ends (see HoldRecordLock).
    std::map<int, std::function<void()>> HeldRecordLocks;
    int LastRecordLockToken = 0;

    // Colour settings 1..7 of the lookup windows (colours[0] is setting 1),
    // decimal texts of red + 256 * green + 65536 * blue.
    std::array<std::string, 7> Colours;
};

// The one session of this process.
Session& CurrentSession();

} // namespace qtmv
