#pragma once
// Short coordination statements (lock rows, the register of functions in
// use, running numbers) that a database server cancelled because they
// collided with another workstation's (deadlock, serialization failure) are
// simply run again. SQLite never cancels them: its writers queue up.
#include "platform/jet/Connection.h"
#include "platform/jet/Error.h"

#include <chrono>
#include <thread>
#include <utility>

namespace jet {

// Three attempts in all, 20 and 40 ms apart: a collision of two short
// statements is over by then; one that is not is reported.
inline constexpr int kConflictAttempts = 3;

// Runs `work` (which opens its own connection and transaction) up to
// `attempts` times while it fails with Error::Kind::Conflict; any other
// error, and the last conflict, goes to the caller.
template <class Work>
decltype(auto) RetryOnConflict(Work&& work, int attempts = kConflictAttempts)
{
    for (int attempt = 1;; ++attempt) {
        try {
            return work();
        } catch (const Error& e) {
            if (e.kind() != Error::Kind::Conflict || attempt >= attempts)
                throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
    }
}

// The same for `work` that begins and ends its own transaction on `conn`:
// run again only while `conn` is in no transaction of the caller's. Inside
// one, a cancelled statement cancelled the caller's earlier work as well,
// which a second attempt of `work` would not repeat.
template <class Work>
decltype(auto) RetryOnConflict(Connection& conn, Work&& work)
{
    return RetryOnConflict(std::forward<Work>(work), conn.inTransaction() ? 1 : kConflictAttempts);
}

} // namespace jet
