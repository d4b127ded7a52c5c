#pragma once
// The one sequence every write of the program runs: the maintenance check,
// the rights gate, the window's own checks, then one connection and one
// transaction around the writes, committed as the last step; a failure rolls
// back and is reported under the operation's title. The windows differ only
// in what they write.
#include "records/saving/SaveResult.h"
#include "records/saving/Saving.h"
#include "platform/jet/Connection.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>


namespace qtmv::daily {

// Thrown by a write to stop the save: the transaction is rolled back, then
// the message (when there is one) is shown, never while the write lock is
// held, under `title` (empty: the save's), and the save ends with `status`.
struct SaveStopped : std::runtime_error {
    SaveStopped(SaveStatus s, const std::string& message, std::string title, Refusal why = Refusal::None)
        : std::runtime_error(message), status(s), why(why), title(std::move(title))
    {
    }
    SaveStatus status;
    Refusal why;
    std::string title;
};

struct SaveSteps {
    // A right of the window's own beyond the program's edit rights (the
    // binding window's change right): a message refuses the save as Rights,
    // shown under "警告".
    std::function<std::string()> rights;
    // Runs after the maintenance check and the rights gate: the message for a
    // value that cannot be stored, empty when the save may go on. The
    // sequence shows it under checkTitle and refuses the save as Invalid.
    std::function<std::string()> check;
    std::string checkTitle = "訊息";
    // Runs after the check on the save's connection, before its transaction:
    // the text of the save's question, which the sequence asks (Yes/No,
    // title "詢問"). No declines the save (nothing written, the answer was
    // the user's).
    std::function<std::string(jet::Connection&)> question;
    // Runs after the commit, on the same connection, for what follows a
    // save: returns the notice that closes it, which the sequence shows
    // (empty text: none).
    std::function<Notice(jet::Connection&)> afterCommit;
    // What the failure report says became of the data.
    std::string failureOutcome = "資料沒有儲存。";
    // What the transaction holds: everything (the default), or only what
    // the write claims (jet::Connection::claim) before it writes.
    jet::Writes writes = jet::Writes::Everything;
    // On a server that cancelled the transaction as it collided with another
    // workstation's, the write runs again whole on a fresh transaction; only
    // for writes that keep nothing between attempts.
    bool retryOnConflict = false;
};

// The sequence: maintenance check, rights, steps.check, steps.question, one
// transaction, write(conn), commit, steps.afterCommit, all on one
// connection opened first. Of the records core it alone talks to the user
// (through the program's message box), and the result says what it said.
// The write records its change history on the same connection. A database
// that cannot be opened is a failed maintenance check: the save is
// abandoned (the log has why).
SaveResult RunSave(SaveContext& ctx, const std::string& title, const std::function<void(jet::Connection&)>& write,
                   const SaveSteps& steps = {});

} // namespace qtmv::daily
