#include "records/saving/SaveRun.h"

#include "app/core/Locks.h"
#include "app/core/Rights.h"
#include "app/core/Session.h"
#include "common/Failure.h"
#include "platform/jet/Connection.h"
#include "platform/jet/Retry.h"
#include "platform/os/MessageBox.h"

namespace qtmv::daily {

namespace {

SaveResult Tell(SaveStatus status, Refusal why, const std::string& text, const std::string& title, MsgIcon icon)
{
    MsgBox(text, title, icon);
    return {status, why, text};
}

} // namespace

SaveResult RunSave(SaveContext& ctx, const std::string& title, const std::function<void(jet::Connection&)>& write,
                   const SaveSteps& steps)
{
    jet::Connection conn;   // opened by the maintenance check
    switch (PassMaintenanceCheck(ctx.session, ctx.endProgram, &conn)) {
    case Maintenance::Free: break;
    case Maintenance::Ended: return {SaveStatus::Ended};
    case Maintenance::Abandoned: return {SaveStatus::Abandoned};
    }
    if (const std::string why = EditRefusal(ctx.session); !why.empty())
        return Tell(SaveStatus::Refused, Refusal::Rights, why, "警告", MsgIcon::Exclamation);
    if (steps.rights)
        if (const std::string why = steps.rights(); !why.empty())
            return Tell(SaveStatus::Refused, Refusal::Rights, why, "警告", MsgIcon::Exclamation);
    if (steps.check)
        if (const std::string why = steps.check(); !why.empty())
            return Tell(SaveStatus::Refused, Refusal::Invalid, why, steps.checkTitle, MsgIcon::Exclamation);
    try {
        if (steps.question
            && MsgBox(steps.question(conn), "詢問", MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
            return {SaveStatus::Refused, Refusal::Declined};
        auto once = [&] {
            jet::Transaction tx(conn, steps.writes);
            write(conn);
            tx.commit();
        };
        if (steps.retryOnConflict)
            jet::RetryOnConflict(once);
        else
            once();
    } catch (const SaveStopped& stop) {
        SaveResult out{stop.status, stop.why};
        if (*stop.what())
            out = Tell(stop.status, stop.why, stop.what(), stop.title.empty() ? title : stop.title,
                       MsgIcon::Exclamation);
        return out;
    } catch (const std::exception& e) {
        return Tell(SaveStatus::Failed, Refusal::None, LogFailure(title, e, steps.failureOutcome), title,
                    MsgIcon::Critical);
    }
    if (!steps.afterCommit)
        return {SaveStatus::Saved};
    const Notice closing = steps.afterCommit(conn);
    if (closing.text.empty())
        return {SaveStatus::Saved};
    return Tell(SaveStatus::Saved, Refusal::None, closing.text, closing.title, closing.icon);
}

} // namespace qtmv::daily
