#pragma once
// How every operation reports a failure: the details (the kind of fault
// and its message, what the engine said, the SQL) go to the log; the user
// gets one message box titled with the operation's name, saying in the
// suite's Chinese what failed, what became of the data, and where the log
// is. Above the data layer, whose errors it describes.
#include "platform/text/UserError.h"

#include <exception>
#include <string>

namespace qtmv {

// What sort of failure it is, for the log: "資料庫錯誤" for a data-access
// error, a UserError's own kind ("引數錯誤", "檔案錯誤", "作業錯誤"), and
// "程式錯誤" for anything else (a fault of the program itself).
std::string FailureKind(const std::exception& e);

// The user's text for a failure: what failed (a data-access error's
// description, or "程式發生未預期的錯誤。" for anything else), the outcome
// the caller states (for example "資料沒有儲存。"), and where the log is.
std::string FailureText(const std::exception& e, const std::string& outcome);

// Logs the failure of operation and returns FailureText, for a message
// that goes on after the failure (a question the user still answers).
std::string LogFailure(const std::string& operation, const std::exception& e, const std::string& outcome = {});

// Logs the failure of operation and shows FailureText in a critical
// message box titled operation.
void ReportFailure(const std::string& operation, const std::exception& e, const std::string& outcome = {});

// Logs an outcome that the user is deliberately not told about (such as an
// operation abandoned because the maintenance check itself failed).
void LogSilentOutcome(const std::string& operation, const std::string& message);

} // namespace qtmv

namespace qtmv {

// Runs a handler so that no exception leaves it (an exception escaping a Qt
// slot ends the program): any failure is reported under operation with the
// outcome text. True when f finished.
template <class F>
bool Guarded(const std::string& operation, F&& f, const std::string& outcome = {})
{
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        ReportFailure(operation, e, outcome);
    } catch (...) {
        ReportFailure(operation, std::runtime_error("non-standard exception"), outcome);
    }
    return false;
}

} // namespace qtmv
