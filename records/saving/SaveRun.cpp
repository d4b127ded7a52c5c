#include "records/saving/SaveRun.h"

#include "app/core/Locks.h"
#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "common/Failure.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Retry.h"
#include "platform/os/MessageBox.h"

namespace qtmv::daily {

SaveStatus runSave(SaveContext& ctx, const std::string& title, const std::function<void(jet::Connection&)>& write,
                   const SaveSteps& steps)
{
    jet::Connection conn;   // opened by the maintenance check
    switch (PassMaintenanceCheck(ctx.session, ctx.endProgram, &conn)) {
    case Maintenance::Free: break;
    case Maintenance::Ended: return SaveStatus::Ended;
    case Maintenance::Abandoned: return SaveStatus::Abandoned;
    }
    if (EditRefused(ctx.session))
        return SaveStatus::Refused;
    if (steps.check && !steps.check())
        return SaveStatus::Refused;
    auto once = [&] {
        jet::Transaction tx(conn);
        write(conn);
        tx.commit();
    };
    try {
        if (steps.retryOnConflict)
            jet::retryOnConflict(once);
        else
            once();
    } catch (const SaveStopped& stop) {
        if (*stop.what())
            MsgBox(stop.what(), stop.title.empty() ? title : stop.title, MsgIcon::Exclamation);
        return stop.status;
    } catch (const std::exception& e) {
        ReportFailure(title, e, steps.failureOutcome);
        return SaveStatus::Failed;
    }
    return SaveStatus::Saved;
}

} // namespace qtmv::daily
