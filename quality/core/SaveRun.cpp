#include "quality/core/SaveRun.h"

#include "app/core/Locks.h"
#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Recordset.h"
#include "platform/os/Failure.h"
#include "platform/os/MessageBox.h"

namespace qtmv::quality {

SaveStatus runSave(daily::SaveContext& ctx, const std::string& title,
                   const std::function<void(jet::Connection&)>& write)
{
    switch (PassMaintenanceCheck(ctx.session, ctx.endProgram)) {
    case Maintenance::Free: break;
    case Maintenance::Ended: return SaveStatus::Ended;
    case Maintenance::Abandoned: return SaveStatus::Abandoned;
    }
    if (EditRefused(ctx.session))
        return SaveStatus::Refused;
    try {
        jet::Connection conn;
        conn.open(ctx.session.ConnectionString);
        jet::Transaction tx(conn);
        write(conn);
        tx.commit();
    } catch (const SaveStopped& stop) {
        MsgBox(stop.what(), stop.title, MsgIcon::Exclamation);
        return stop.status;
    } catch (const std::exception& e) {
        ReportFailure(title, e, "資料沒有儲存。");
        return SaveStatus::Failed;
    }
    return SaveStatus::Saved;
}

std::string storedRows(jet::Connection& conn, const std::string& select)
{
    jet::Recordset rs;
    rs.open(select, conn);
    std::string out;
    for (; !rs.eof(); rs.moveNext()) {
        for (int i = 0; i < rs.fieldCount(); ++i) {
            const jet::Value& v = rs.field(i);
            // Length-prefixed, so no value can imitate a boundary; null apart from "".
            const std::string t = v.isNull() ? std::string() : v.text();
            out += rs.fieldName(i) + (v.isNull() ? "=null" : "=" + std::to_string(t.size()) + ":" + t) + ";";
        }
        out += "\n";
    }
    return out;
}

} // namespace qtmv::quality
