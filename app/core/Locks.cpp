#include "app/core/Locks.h"

#include "app/core/Launch.h"

#include "app/core/Session.h"
#include "app/core/StartupWaits.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Retry.h"
#include "platform/jet/Sql.h"
#include "platform/os/Host.h"
#include "common/Failure.h"
#include "platform/os/MessageBox.h"

#include <QCoreApplication>

#include <cmath>
#include <exception>

namespace qtmv {

namespace {

// The registration itself, without letting the user interface run: the
// retry happens inside an operation the user has just started.
bool WriteRegistration(const Session& s, const std::string& user, double launcherHandle, double ownHandle,
                       const std::string& title, int busyTimeoutMs)
{
    try {
        jet::RetryOnConflict([&] {
            jet::Connection conn;
            conn.setBusyTimeout(busyTimeoutMs);
            conn.open(s.ConnectionString);
            if (!os::IsWindow(launcherHandle))
                return;
            // Read and write in one immediate transaction: two programs
            // registering at once cannot both add a row.
            jet::Transaction trans(conn);
            jet::Recordset rs;
            rs.open("select top 1 * from [SYSUSER1] " + ("where ID = '" + jet::SqlText(user) + "' and ")
                        + "FUNC = '" + jet::SqlText(title) + "' ",
                    conn, jet::CursorLocation::Client, jet::CursorType::Dynamic, jet::LockType::Optimistic);
            if (rs.recordCount() == 0) {
                rs.addNew();
                rs.set("ID", user);
                rs.set("FUNC", title);
            }
            if (std::floor(ownHandle) == ownHandle && std::fabs(ownHandle) < 9.0e15)
                rs.set("LPID", static_cast<long long>(ownHandle));
            else
                rs.set("LPID", ownHandle);
            rs.update();
            rs.close();
            trans.commit();
        });
    } catch (const jet::Error& e) {
        // A failed registration must not stop the program; a busy database
        // only delays it.
        return e.kind() != jet::Error::Kind::Busy;
    } catch (const std::exception&) {
    }
    return true;
}

} // namespace

std::string UnreachableDatabaseText(const Session& s, const std::exception& e)
{
    std::string reason = e.what();
    if (const auto* error = dynamic_cast<const jet::Error*>(&e)) {
        if (error->kind() == jet::Error::Kind::Busy || error->kind() == jet::Error::Kind::Conflict)
            return {};
        // The statement means nothing to the user; the log has it.
        reason = error->description();
        if (!error->engineMessage().empty())
            reason += "（" + error->engineMessage() + "）";
    }
    return "無法使用資料庫：" + jet::DatabaseShownName(s.ConnectionString) + "\n\n" + reason +
           "\n\n這次操作沒有讀取也沒有寫入任何資料。請確認資料庫伺服器或共用資料夾可以使用後再試一次。";
}

int CheckMaintenanceLock(Session& s, jet::Connection* given)
{
    s.MaintenanceHolder.clear();
    bool locked = false;
    try {
        jet::Connection own;
        jet::Connection& conn = given ? *given : own;
        if (!conn.isOpen())
            conn.open(s.ConnectionString);
        jet::Recordset rs;
        rs.open("select * from [SYSLOCK] ", conn, jet::CursorLocation::Server, jet::CursorType::ForwardOnly,
                jet::LockType::ReadOnly);
        if (!rs.eof()) {
            s.MaintenanceHolder = rs.text("USER");
            locked = true;
        }
    } catch (const std::exception& e) {
        // A database another workstation holds is abandoned without a word
        // (the user tries again); one that cannot be reached at all would
        // leave the user waiting for something that never happens, so it is
        // told, naming the database.
        LogSilentOutcome("系統維護檢查", std::string("無法檢查系統維護狀態，操作已放棄：") + e.what());
        if (const std::string text = UnreachableDatabaseText(s, e); !text.empty())
            MsgBox(text, kUnreachableDatabaseTitle, MsgIcon::Critical);
        return MaintenanceUnknown;
    }
    if (!locked) {
        if (s.FunctionRegistrationPending
            && WriteRegistration(s, s.WorkstationUser, s.LauncherProcessId, s.MainWindowHandle, kApplicationTitle,
                                 kRegistrationRetryWaitMs))
            s.FunctionRegistrationPending = false;
        return MaintenanceFree;
    }
    MsgBox(s.MaintenanceHolder + "\n\n" + "正在維護軟體中，請稍後再登入！", "系統維護", MsgIcon::Critical);
    return MaintenanceLocked;
}

int HoldRecordLock(Session& s, std::function<void()> release)
{
    s.HeldRecordLocks.emplace(++s.LastRecordLockToken, std::move(release));
    return s.LastRecordLockToken;
}

void DropRecordLock(Session& s, int token) { s.HeldRecordLocks.erase(token); }

void ReleaseRecordLocks(Session& s)
{
    auto held = std::move(s.HeldRecordLocks);
    s.HeldRecordLocks.clear();
    for (auto& [token, release] : held) {
        try {
            release();
        } catch (const std::exception& e) {
            // The program ends anyway; the row stays for a take-over.
            LogSilentOutcome("釋放鎖定", std::string("結束前無法釋放鎖定：") + e.what());
        }
    }
}

Maintenance PassMaintenanceCheck(Session& s, const std::function<void()>& endProgram, jet::Connection* conn)
{
    switch (CheckMaintenanceLock(s, conn)) {
    case MaintenanceFree: return Maintenance::Free;
    case MaintenanceLocked:
        ReleaseRecordLocks(s);
        if (endProgram)
            endProgram();
        else
            EndProgramNow();
        return Maintenance::Ended;
    default: return Maintenance::Abandoned;
    }
}

bool RegisterFunctionUse(const Session& s, const std::string& user, double launcherHandle, double ownHandle,
                         const std::string& title)
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    return WriteRegistration(s, user, launcherHandle, ownHandle, title, jet::Connection::defaultBusyTimeoutMs);
}

void RegisterMainWindow(Session& s)
{
    s.FunctionRegistrationPending =
        !RegisterFunctionUse(s, s.WorkstationUser, s.LauncherProcessId, s.MainWindowHandle, kApplicationTitle);
    if (s.FunctionRegistrationPending)
        ReportNotDoneWhileBusy(s, kRegistrationPendingText);
}

void UnregisterFunctionUse(const Session& s, const std::string& user, const std::string& title,
                           bool allFunctions)
{
    try {
        jet::Connection conn;
        conn.open(s.ConnectionString);
        if (allFunctions)
            conn.execute("delete from [SYSUSER1] " + ("where ID = '" + jet::SqlText(user) + "' "));
        else
            conn.execute("delete from [SYSUSER1] " + ("where ID = '" + jet::SqlText(user) + "' and ") + "FUNC = '"
                         + jet::SqlText(title) + "' ");
    } catch (const std::exception&) {
        // Nothing to tell the user on the way out.
    }
}

} // namespace qtmv
