#pragma once
// Starting another program of the suite with this session's launch
// parameters.
#include <functional>
#include <string>
#include <vector>

namespace qtmv {

struct Session;

// What "end this program at once" does. The windows pass EndProgramNow;
// tests pass an action they can observe.
using EndProgramAction = std::function<void()>;

// Flushes the standard streams and ends the process with status 0 at once:
// no window is asked anything and no event runs any more.
[[noreturn]] void EndProgramNow();

// ProgramFolder + name + " -kvo2851 -AD=.. -NAME=.. -ID=.. -XLS=.. -DOC=.. -PID=<n>".
std::string LaunchCommandLine(const Session& s, const std::string& programFileName);

// The same line as the arguments of the started program: the launch token
// and each "-KEY=value" are one argument each (a value with blanks stays in
// its argument); joined with blanks after the program they give the line.
std::vector<std::string> LaunchArguments(const Session& s);

enum class LaunchResult { Started, Ended, Abandoned, Failed };

// Runs the maintenance check first (locked: endProgram is called and Ended
// returned; check failed: Abandoned), then starts ProgramFolder + name
// detached, in the program folder, without waiting. A name ending in ".EXE"
// that does not exist is tried without the extension. A program that cannot
// be started is named in a message (title "錯誤") and Failed returned.
LaunchResult LaunchProgram(Session& s, const std::string& programFileName, const EndProgramAction& endProgram);

// The suite's work-order program (it reads the hand-off file the main window writes).
inline constexpr const char* kWorkOrderProgram = "工單作業系統.EXE";

} // namespace qtmv
