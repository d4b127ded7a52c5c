#include "quality/core/SaveRun.h"

#include "app/core/Locks.h"
#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "platform/jet/Connection.h"
#include "platform/os/Failure.h"

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
    } catch (const std::exception& e) {
        ReportFailure(title, e, "資料沒有儲存。");
        return SaveStatus::Failed;
    }
    return SaveStatus::Saved;
}

} // namespace qtmv::quality
