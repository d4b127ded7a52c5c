#pragma once
// What became of a write, in the one form every window's save returns.
#include "platform/os/MessageBox.h"

#include <string>
#include <utility>

namespace qtmv::daily {

enum class SaveStatus {
    Saved,     // committed
    Refused,   // nothing written; `why` says why
    Abandoned, // maintenance check failed (9): nothing written
    Ended,     // maintenance lock (1): the context's endProgram has run
    Failed,    // data-access error: rolled back and shown under the title
    Changed,   // the stored record changed since it was loaded: told, nothing written
};

// Why a save that ran wrote nothing.
enum class Refusal {
    None,
    Declined,   // the user answered no to the save's question
    Rights,     // query-only user, or rights that could not be established
    Invalid,    // a value the user typed cannot be stored
    NotFound,   // the record to write is not there (or no longer unique)
    Unchanged,  // nothing differs from what is stored
};

// A message that closes a save: shown once by the save sequence.
struct Notice {
    std::string text;
    std::string title = "訊息";
    MsgIcon icon = MsgIcon::Information;
};

// The outcome of every write of the program, whichever window ran it.
struct SaveResult {
    SaveStatus status = SaveStatus::Failed;
    Refusal why = Refusal::None;
    // What the user has been shown about this outcome (the last message of
    // the save, in full); empty when the user was told nothing, so that a
    // caller knows whether it still has to say something.
    std::string told;

    SaveResult() = default;
    SaveResult(SaveStatus s, Refusal w = Refusal::None, std::string t = {}) : status(s), why(w), told(std::move(t)) {}

    bool saved() const { return status == SaveStatus::Saved; }
    bool operator==(SaveStatus s) const { return status == s; }
};

} // namespace qtmv::daily
