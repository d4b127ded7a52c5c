#pragma once
// Start-up with a database that another workstation holds locked.
//
// All of start-up's database work (the session settings, then the main
// window's first activation) waits for other workstations' locks at most
// kStartupWaitBudgetMs in all, so a locked database delays the first window
// by seconds, not minutes. While start-up waits, a notice shows; what it
// could not do because the database was busy is told once, in one message,
// when it ends. Operations after start-up wait their full busy timeout.
#include <functional>
#include <string>

namespace qtmv {

struct Session;

inline constexpr int kStartupWaitBudgetMs = 3000;

// Shows (true) or takes away (false) the sign that start-up is waiting for
// the database. Shown each time a wait begins, taken away at the end.
using WaitNotice = std::function<void(bool waiting)>;

void BeginStartupWaits(WaitNotice notice);
bool InStartupWaits();

// Something that was not done because the database was busy, as a sentence
// for the user. Kept until start-up ends; told at once outside start-up.
void ReportNotDoneWhileBusy(const Session& s, const std::string& what);

// Ends start-up: the wait budget and the notice go, and what was not done is
// told in one message (title "警告"). Does nothing outside start-up.
void EndStartupWaits(const Session& s);

} // namespace qtmv
