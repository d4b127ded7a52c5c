#pragma once
// The one sequence every write of the program runs: the maintenance check,
// the rights gate, the window's own checks, then one connection and one
// transaction around the writes, committed as the last step; a failure rolls
// back and is reported under the operation's title. The windows differ only
// in what they write.
#include "records/saving/Saving.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace jet {
class Connection;
}

namespace qtmv::daily {

enum class SaveStatus {
    Saved,     // committed
    Refused,   // rights, or a check the user was told about: nothing written
    Abandoned, // maintenance check failed (9): nothing written
    Ended,     // maintenance lock (1): the context's endProgram has run
    Failed,    // data-access error: rolled back and shown under the title
    Changed,   // the stored record changed since it was loaded: told, nothing written
};

// Thrown by a write to stop the save: the transaction is rolled back, then
// the message (when there is one) is shown, never while the write lock is
// held, under `title` (empty: the save's), and the save ends with `status`.
struct SaveStopped : std::runtime_error {
    SaveStopped(SaveStatus s, const std::string& message, std::string title)
        : std::runtime_error(message), status(s), title(std::move(title))
    {
    }
    SaveStatus status;
    std::string title;
};

struct SaveSteps {
    // Runs after the maintenance check and the rights gate, before anything
    // is opened: false refuses the save (the check has told the user).
    std::function<bool()> check;
    // What the failure report says became of the data.
    std::string failureOutcome = "資料沒有儲存。";
    // On a server that cancelled the transaction as it collided with another
    // workstation's, the write runs again whole on a fresh transaction; only
    // for writes that keep nothing between attempts.
    bool retryOnConflict = false;
};

// The sequence: maintenance check, rights (EditRefused), steps.check, one
// transaction, write(conn), commit, all on one connection opened first. The
// write records its change history on the same connection. A database
// that cannot be opened is a failed maintenance check: the save is
// abandoned (the log has why).
SaveStatus runSave(SaveContext& ctx, const std::string& title, const std::function<void(jet::Connection&)>& write,
                   const SaveSteps& steps = {});

} // namespace qtmv::daily
