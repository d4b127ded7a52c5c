#include "prescheduling/core/TimeEntry.h"

#include "app/core/Session.h"
#include "lookups/core/PlantLists.h"
#include "platform/jet/Connection.h"
#include "platform/text/Text.h"

namespace qtmv::presched {

bool NeedsLock(const RecordKey& key) { return !key.number.empty() && !IsTmpNumber(key.number); }

OpenedRecord OpenRecord(const Session& s, const Clock& clock, const RecordKey& key,
                        const std::function<void(const std::string& lockId)>& locked,
                        const std::function<bool(const std::string& question)>& takeOver)
{
    jet::Connection conn;
    conn.open(s.ConnectionString);
    OpenedRecord r;
    r.machines = lookups::PhraseList(conn, "機別");
    r.remarks = lookups::PhraseList(conn, "停工說明");
    if (NeedsLock(key)) {
        const LockHolder me = ThisHolder(s, clock);
        LockOutcome lock = TakeLock(conn, key, me);
        // An administrator may free a lock old enough to be left over.
        if (!lock.taken && lock.mayTakeOver && !Trim(s.LoginUser).empty() && takeOver(TakeOverQuestion(lock)))
            lock = TakeOverLock(conn, key, me, lock);
        if (lock.taken)
            locked(lock.lockId);
        else
            r.lockRefusal = LockedMessage(lock);
    }
    r.related = LoadRelatedRecords(conn, key);
    r.lines = LoadLines(conn, key);
    return r;
}

void ReleaseLock(const std::string& connectionString, const RecordKey& key, const std::string& lockId)
{
    jet::Connection conn;
    conn.open(connectionString);
    ReleaseLock(conn, key, lockId);
}

void AddCapacities(const std::string& connectionString, const std::vector<TimeLine>& lines, Capacities& known)
{
    jet::Connection conn;   // opened for the first machine not read yet
    for (const TimeLine& l : lines) {
        if (l.empty() || known.contains(l.machine))
            continue;
        if (!conn.isOpen())
            conn.open(connectionString);
        known.emplace(l.machine, lookups::CapacityPerHour(conn, l.machine));
    }
}

} // namespace qtmv::presched
