#pragma once
// The frame of every save of the quality windows: the maintenance check, the
// rights gate, then one connection and one transaction around the writes,
// committed as the last step; a failure rolls back and is shown.
#include "daily_report/saving/Saving.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

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
    Changed,   // the stored record changed since it was loaded: told, nothing written
};

// Thrown by a write to stop the save: the transaction is rolled back, then
// the message is shown (never while the write lock is held) and the save
// ends with `status`.
struct SaveStopped : std::runtime_error {
    SaveStopped(SaveStatus s, const std::string& message, std::string title)
        : std::runtime_error(message), status(s), title(std::move(title))
    {
    }
    SaveStatus status;
    std::string title;
};

// The stored rows a select returns, every column of every row in their
// order, as one text: two reads give the same text exactly when nothing in
// those rows changed in between (a rewrite gives new row identities on the
// server, so it counts as a change there even with the same values).
std::string storedRows(jet::Connection& conn, const std::string& select);

SaveStatus runSave(daily::SaveContext& ctx, const std::string& title,
                   const std::function<void(jet::Connection&)>& write);

} // namespace qtmv::quality
