#include "app/core/SessionSettings.h"

#include "app/core/CommandLine.h"
#include "app/core/Session.h"
#include "app/core/StartupWaits.h"
#include "common/CodeLists.h"
#include "common/Failure.h"
#include "db/ServerSchema.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/jet/Value.h"
#include "platform/os/Log.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace qtmv {

namespace {

constexpr const char* kSettingsErrorTitle = "取得系統相關設定資料錯誤";

// The settings start-up reads, in the order it reads them, by the names the
// user is told which were read when reading stopped.
constexpr const char* kIdentity = "使用者身分";
constexpr const char* kEmployee = "員工群組與分機";
constexpr const char* kCompanies = "公司名稱";
constexpr const char* kRights = "使用者權限";
constexpr const char* kExcelFolder = "Excel 匯出資料夾";

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& n : names)
        text += (text.empty() ? "" : "、") + n;
    return text.empty() ? std::string("無") : text;
}

bool Contains(const std::vector<std::string>& names, const char* name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// What the settings message says after the failure: which settings were
// read and which were not, and when those will be read. The rights are
// read again before a save when the user is known; the rest only by a new
// start, once the database (or the launch line) is right.
std::string NotReadOutcome(const Session& s, const std::vector<std::string>& read,
                           const std::vector<std::string>& notRead, bool databaseFailed)
{
    std::string text = "已讀取的設定：" + Joined(read) + "\n沒有讀取的設定：" + Joined(notRead) + "\n程式繼續執行";
    if (notRead.empty())
        return text + "。";
    const bool rightsLater = Contains(notRead, kRights) && s.IdentityEstablished;
    if (rightsLater)
        text += "；使用者權限會在儲存前再讀取";
    if (!rightsLater || notRead.size() > 1)
        text += std::string(rightsLater ? "，其餘" : "；沒有讀取的設定") + "要"
                + (databaseFailed ? "在資料庫可以使用後" : "由系統選單") + "重新啟動本程式才會讀取";
    return text + "。";
}

// A plant's database made before this program's own tables existed gets
// them here, so that its saves can record their history. A database that
// cannot be opened or written is left as it is: the window and each
// operation say why, and the log says what was not added.
void AddProgramTables(const Session& s)
{
    try {
        jet::Connection conn;
        conn.open(s.ConnectionString);
        std::string added;
        for (const std::string& t : db::AddMissingProgramTables(conn))
            added += (added.empty() ? "" : "、") + t;
        if (!added.empty())
            log::Info(log::Startup(), "start-up", "資料庫加入本程式的資料表、欄位或索引：" + added);
    } catch (const std::exception& e) {
        log::Warning(log::Startup(), "start-up", std::string("無法為資料庫加入本程式的資料表：") + e.what());
    }
}

void ReadGroupsAndExtension(const jet::Recordset& rs, Session& s)
{
    s.RightsGroups[0] = rs.text("GROUP");
    for (std::size_t i = 1; i < s.RightsGroups.size(); ++i)
        s.RightsGroups[i] = rs.text("GROUP" + std::to_string(i));
    s.PhoneExtension = rs.text("分機代號");
}

// Opens a read-only client-side recordset on the statement; true when it has a row.
bool OpenRead(jet::Recordset& rs, const std::string& sql, jet::Connection& conn)
{
    if (rs.isOpen())
        rs.close();
    rs.open(sql, conn);
    return rs.recordCount() > 0;
}

void ReadUser(Session& s, const StartupEnvironment& env, jet::Connection& conn, jet::Recordset& rs,
              std::vector<std::string>& read)
{
    s.LoginUser.clear();
    s.EmployeeName.clear();
    s.EmployeeId.clear();
    s.ExcelExtension.clear();
    s.WordExtension.clear();
    s.RightsGroups.fill(std::string());
    s.PhoneExtension.clear();
    const std::string line = qtmv::Trim(env.commandLine);

    s.IdentityEstablished = false;
    s.RightsEstablished = false;
    s.RightsProblem = "啟動參數不完整，無法確認使用者身分。";
    if (HasLaunchToken(line)) {
        CutLaunchParameters(line, s);
        s.IdentityEstablished = true;
        read.push_back(kIdentity);
        if (OpenRead(rs, "select * from [EMPLOYEE] " + ("where ID = '" + jet::SqlText(s.EmployeeId) + "'"),
                     conn))
            ReadGroupsAndExtension(rs, s);
        read.push_back(kEmployee);
        return;
    }

    // Started without the launcher: the administrator's identity.
    s.ExcelExtension = ".xlsx";
    s.WordExtension = ".docx";
    if (OpenRead(rs, "select * from [使用者資料] " + std::string("where 管理者 = 'Y'"), conn)) {
        s.EmployeeName = rs.text("使用者");
        s.LoginUser = s.EmployeeName;
        s.IdentityEstablished = !s.EmployeeName.empty();
    }
    if (!s.IdentityEstablished)
        s.RightsProblem = "找不到系統管理者資料，無法確認使用者身分。";
    read.push_back(kIdentity);
    if (OpenRead(rs,
                 "select * from [EMPLOYEE] " + ("where NAME = '" + jet::SqlText(s.EmployeeName) + "' and ")
                     + "iif(ODATE is null,'',ODATE) = '' ",
                 conn)) {
        s.EmployeeId = rs.text("ID");
        ReadGroupsAndExtension(rs, s);
    }
    read.push_back(kEmployee);
}

} // namespace

bool LoadSessionSettings(Session& s, bool loadUser, const StartupEnvironment& env)
{
    auto busy = [&env](bool on) {
        if (env.setBusy)
            env.setBusy(on);
    };
    busy(true);
    std::exception_ptr failure;
    std::vector<std::string> read;
    try {
        jet::Connection conn;
        conn.open(s.ConnectionString);
        jet::Recordset rs;
        if (loadUser)
            ReadUser(s, env, conn, rs, read);

        const std::array<std::pair<const char*, std::string*>, 3> companies{
            {{"select * from [COMPANY] ", &s.CompanyName},
             {"select * from [COMPANY1] ", &s.CompanyName1},
             {"select * from [COMPANY2] ", &s.CompanyName2}}};
        for (const auto& [sql, field] : companies)
            if (OpenRead(rs, sql, conn))
                *field = rs.text("COMPANY");
        read.push_back(kCompanies);

        if (loadUser && s.IdentityEstablished)
            s.RightsProblem = "讀取使用者「" + s.EmployeeName + "」的權限資料時發生錯誤。";
        if (OpenRead(rs, "select * from [使用者資料明細] " + ("where 使用者 = '" + jet::SqlText(s.EmployeeName) + "'"),
                     conn)) {
            s.WorkOrderRights = rs.text("工單作業細部");
            s.ProductionRights = rs.text("生產管理細部");
            if (s.IdentityEstablished)
                s.RightsEstablished = true;
        } else if (s.IdentityEstablished) {
            // An administrator is not held to the flag strings; anyone else
            // without a rights row has no known rights.
            s.RightsEstablished = !s.LoginUser.empty();
            if (!s.RightsEstablished)
                s.RightsProblem = "找不到使用者「" + s.EmployeeName + "」的權限資料。";
        }
        if (s.RightsEstablished)
            s.RightsProblem.clear();
        read.push_back(kRights);

        if (OpenRead(rs,
                     "select * from [SYSLOAD] " + ("where ID = '" + jet::SqlText(s.WorkstationUser) + "' and ")
                         + "COMPUTER = '" + jet::SqlText(env.host.computerName) + "' ",
                     conn))
            s.ExcelFolder = rs.text("EXCEL");
        read.push_back(kExcelFolder);
    } catch (const std::exception&) {
        failure = std::current_exception();
    }
    // The recordset and connection are gone here; the pointer is reset
    // before the message.
    busy(false);
    if (!failure)
        return true;
    if (loadUser && !s.IdentityEstablished && HasLaunchToken(qtmv::Trim(env.commandLine))) {
        // The database failed before the launch line was read: who the user
        // is needs no database, and knowing it lets the first save read the
        // rights again.
        try {
            CutLaunchParameters(qtmv::Trim(env.commandLine), s);
            s.IdentityEstablished = true;
            read.insert(read.begin(), kIdentity);
        } catch (const std::exception&) {
            // A malformed line is the failure reported below.
        }
    }
    if (loadUser && s.IdentityEstablished && !s.RightsEstablished)
        s.RightsProblem = "讀取使用者「" + s.EmployeeName + "」的權限資料時發生錯誤。";
    std::vector<std::string> notRead;
    for (const char* name : {kIdentity, kEmployee, kCompanies, kRights, kExcelFolder})
        if ((loadUser || (name != kIdentity && name != kEmployee)) && !Contains(read, name))
            notRead.push_back(name);
    try {
        std::rethrow_exception(failure);
    } catch (const jet::Error& e) {
        const std::string outcome = NotReadOutcome(s, read, notRead, true);
        // Another workstation holding the database at start-up is told once,
        // with everything else start-up could not do for the same reason.
        if (e.kind() == jet::Error::Kind::Busy && InStartupWaits()) {
            LogFailure(kSettingsErrorTitle, e, outcome);
            ReportNotDoneWhileBusy(s, "以下設定沒有讀取：" + Joined(notRead)
                                          + (Contains(notRead, kRights) && s.IdentityEstablished
                                                 ? "；使用者權限會在儲存前再讀取，其餘請稍後重新開啟本程式。"
                                                 : "；請稍後重新開啟本程式。"));
        } else {
            ReportFailure(kSettingsErrorTitle, e, outcome);
        }
    } catch (const std::exception& e) {
        ReportFailure(kSettingsErrorTitle, e, NotReadOutcome(s, read, notRead, false));
    }
    return false;
}

bool InitSession(Session& s, bool loadUser, const StartupEnvironment& env)
{
    const LocatedDatabase where = LocateDatabase(s, env.host);
    return InitSession(s, where, loadUser, env);
}

bool InitSession(Session& s, const LocatedDatabase& where, bool loadUser, const StartupEnvironment& env)
{
    // The log lives in the user's temporary folder, known from here on.
    log::Open(s.TempFolder, kLogFileName);
    log::SetIdentity(s.WorkstationUser, std::string());
    ResetTempMarker(s);
    BuildConnectionString(s);
    if (!where.server.host.empty()) {
        // A server that cannot be reached ends start-up as a client's
        // missing file does: never another database instead.
        s.ConnectionString = jet::ServerConnectionString(where.server);
        if (env.setBusy)
            env.setBusy(true);
        std::string problem;
        try {
            jet::Connection conn;
            conn.open(s.ConnectionString);
        } catch (const jet::Error& e) {
            if (e.kind() != jet::Error::Kind::Busy)
                problem = "無法開啟 QTMV.DSN 所指定的資料庫伺服器上的資料庫：\n" + where.server.display() + "\n\n"
                          + e.description() + "\n\n程式不會改用其他資料庫。請確認伺服器已經啟動、網路可以連通後，再重新啟動程式。";
        }
        if (env.setBusy)
            env.setBusy(false);
        if (!problem.empty()) {
            log::Warning(log::Startup(), "start-up", problem);
            MsgBox(problem, "錯誤", MsgIcon::Critical);
            return false;
        }
    } else if (where.client) {
        if (env.setBusy)
            env.setBusy(true);
        const std::string problem = ClientDatabaseProblem(s, where);
        if (env.setBusy)
            env.setBusy(false);
        if (!problem.empty()) {
            log::Warning(log::Startup(), "start-up", problem);
            MsgBox(problem, "錯誤", MsgIcon::Critical);
            return false;
        }
    }
    AddProgramTables(s);
    LoadSessionSettings(s, loadUser, env);
    log::SetIdentity(s.WorkstationUser, s.EmployeeName.empty() ? s.LoginUser : s.EmployeeName);
    if (s.ExcelFolder.empty()) {
        // The suite's default is the root of drive C; here that is the home folder.
        std::string home = env.host.userProfile.empty() ? s.ProgramFolder : env.host.userProfile;
        if (home.back() != '/')
            home += '/';
        s.ExcelFolder = home;
    }
    const std::vector<std::string> colours = ColourSettings();
    for (std::size_t i = 0; i < s.Colours.size(); ++i)
        s.Colours[i] = i < colours.size() ? colours[i] : std::string();
    return true;
}

} // namespace qtmv
