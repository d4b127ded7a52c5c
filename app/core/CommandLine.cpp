#include "app/core/CommandLine.h"

#include "app/core/Session.h"
#include "platform/text/Text.h"

#include <algorithm>
#include <array>

namespace qtmv {

std::string JoinCommandLine(int argc, const char* const* argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i] ? argv[i] : "";
    }
    return line;
}

bool HasLaunchToken(std::string_view commandLine)
{
    return commandLine.find(kLaunchToken) != std::string_view::npos;
}

void CutLaunchParameters(std::string_view line, Session& s)
{
    static constexpr std::array<std::string_view, 6> keys{" -AD=", " -NAME=", " -ID=", " -XLS=",
                                                          " -DOC=", " -PID="};
    std::array<std::string*, 5> targets{&s.LoginUser, &s.EmployeeName, &s.EmployeeId,
                                        &s.ExcelExtension, &s.WordExtension};

    std::size_t keyAt = line.find(keys[0]);
    if (keyAt == std::string_view::npos)
        throw CommandLineError("啟動參數錯誤：找不到「" + std::string(keys[0].substr(1)) + "」");
    for (std::size_t k = 0; k < targets.size(); ++k) {
        const std::size_t valueAt = keyAt + keys[k].size();
        // The next key is looked for after this one, so keys out of order are
        // reported rather than cut into a negative length.
        const std::size_t nextAt = line.find(keys[k + 1], valueAt);
        if (nextAt == std::string_view::npos) {
            // The value read so far stays: it ends at any later key, else at the end.
            std::size_t end = line.size();
            for (std::size_t later = k + 2; later < keys.size(); ++later)
                end = std::min(end, line.find(keys[later], valueAt));
            *targets[k] = std::string(line.substr(valueAt, end - valueAt));
            throw CommandLineError("啟動參數錯誤：「" + std::string(keys[k].substr(1)) + "」之後找不到「"
                                   + std::string(keys[k + 1].substr(1)) + "」");
        }
        *targets[k] = std::string(line.substr(valueAt, nextAt - valueAt));
        keyAt = nextAt;
    }
    s.LauncherProcessId = qtmv::Val(line.substr(keyAt + keys.back().size()));
}

} // namespace qtmv
