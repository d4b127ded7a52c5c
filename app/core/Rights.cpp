#include "app/core/Rights.h"

#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/jet/Sql.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"

#include <exception>

namespace qtmv {

namespace {
// Reads the user's rights row again, quietly. Start-up may have found the
// database busy; a later edit should not stay refused for that alone.
void RetryReadingRights(Session& s)
{
    try {
        jet::Connection conn;
        conn.open(s.ConnectionString);
        jet::Recordset rs;
        rs.open("select * from [使用者資料明細] " + ("where 使用者 = '" + jet::SqlText(s.EmployeeName) + "'"), conn);
        if (rs.recordCount() > 0) {
            s.WorkOrderRights = rs.text("工單作業細部");
            s.ProductionRights = rs.text("生產管理細部");
            s.RightsEstablished = true;
        } else if (!s.LoginUser.empty()) {
            s.RightsEstablished = true;
        }
    } catch (const std::exception&) {
        // Still unknown: the refusal below says so.
    }
    if (s.RightsEstablished)
        s.RightsProblem.clear();
}

constexpr const char* kQueryOnlyMessage = "您的權限僅可以查詢！";

} // namespace

std::string EditRefusal(Session& s)
{
    if (!s.RightsEstablished && s.IdentityEstablished)
        RetryReadingRights(s);
    if (!s.RightsEstablished) {
        if (s.RightsProblemTold)
            return kQueryOnlyMessage;
        s.RightsProblemTold = true;
        return QueryOnlyReason(s);
    }
    if (RightsRestricted(s, s.ProductionRights, kQueryOnly))
        return kQueryOnlyMessage;
    return std::string();
}

bool EditRefused(Session& s)
{
    const std::string why = EditRefusal(s);
    if (why.empty())
        return false;
    MsgBox(why, "警告", MsgIcon::Exclamation);
    return true;
}

std::string QueryOnlyReason(const Session& s)
{
    if (!s.RightsEstablished) {
        const std::string why = s.RightsProblem.empty() ? "無法確認使用者的權限。" : s.RightsProblem;
        return why + "\n\n本次執行僅可查詢，不能儲存或修改資料；請由系統選單重新啟動本程式。";
    }
    if (RightsRestricted(s, s.ProductionRights, kQueryOnly))
        return kQueryOnlyMessage;
    return std::string();
}

bool RightsRestricted(const Session& s, std::string_view rights, int position, std::string_view restrictingValue)
{
    if (!s.LoginUser.empty() || position < 1)
        return false;
    const std::string_view flag = CharacterAt(rights, position);
    return !flag.empty() && flag == restrictingValue;
}

std::string BuildGroupFilter(const std::string& sql, const std::string& prefix, const Session& s)
{
    std::string out = sql;
    const std::string column = prefix.empty() ? std::string("[GROUP") : prefix + ".[GROUP";
    for (const std::string& group : s.RightsGroups) {
        if (group.empty())
            continue;
        const std::string value = jet::SqlText(group);
        for (int i = 0; i < 20; ++i)
            out += " or " + column + (i == 0 ? std::string() : std::to_string(i)) + "] = '" + value + "' ";
    }
    return out;
}

} // namespace qtmv
