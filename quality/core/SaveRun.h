#pragma once
// The frame of every save of the quality windows: the maintenance check, the
// rights gate, then one connection and one transaction around the writes,
// committed as the last step; a failure rolls back and is shown.
#include "daily_report/saving/Saving.h"

#include <functional>
#include <string>

namespace jet {
class Connection;
}

namespace qtmv::quality {

enum class SaveStatus {
    Saved,     // committed
    Refused,   // rights, or a check the user was told about: nothing written
    Abandoned, // maintenance check failed (9): nothing written
    Ended,     // maintenance lock (1): the context's endProgram has run
    Failed,    // data-access error: rolled back and shown under the title
};

SaveStatus runSave(daily::SaveContext& ctx, const std::string& title,
                   const std::function<void(jet::Connection&)>& write);

} // namespace qtmv::quality
