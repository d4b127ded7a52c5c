#pragma once
// The launch parameters on the command line:
//   -kvo2851 -AD=<user> -NAME=<name> -ID=<id> -XLS=<ext> -DOC=<ext> -PID=<process>
// The launcher hands the line over as one text; here the arguments after the
// program name are joined again with single blanks.
#include "common/Failure.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace qtmv {

struct Session;

// argv[1..argc-1] joined with single blanks.
std::string JoinCommandLine(int argc, const char* const* argv);

// Whether the launch token occurs anywhere in the line.
bool HasLaunchToken(std::string_view commandLine);

// Whether an argument asks for the usage text ("--help", "-h" or "/?" as a
// whole argument; a value such as "-NAME=--help" does not).
bool AsksForHelp(int argc, const char* const* argv);

// The usage text for the plant's IT: the launch line, its parameters in
// their order, the DSN file and the log.
std::string LaunchUsage();

// A command line that cannot be cut; what() is the description shown.
class CommandLineError : public UserError {
public:
    using UserError::UserError;
    std::string kind() const override { return "引數錯誤"; }
};

// Cuts the values out by position into LoginUser, EmployeeName, EmployeeId,
// ExcelExtension, WordExtension and LauncherProcessId, in this order. Each
// value runs from right after its key to just before the next key (which is
// searched after the current key, so the keys must come in this order); the
// -PID= value runs to the end and is read by the val() rule. Values may hold
// blanks. Throws CommandLineError at the first key that is missing; the
// values cut before it stay set, the last of them ending at a later key or
// at the end of the line.
void CutLaunchParameters(std::string_view commandLine, Session& s);

} // namespace qtmv
