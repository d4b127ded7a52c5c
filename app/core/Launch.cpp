#include "app/core/Launch.h"

#include "app/core/Locks.h"
#include "app/core/Session.h"
#include "platform/jet/Value.h"
#include "platform/os/Host.h"
#include "platform/os/MessageBox.h"
#include "platform/text/Text.h"

#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace qtmv {

void EndProgramNow()
{
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(0);
}

std::vector<std::string> LaunchArguments(const Session& s)
{
    return {kLaunchToken,
            "-AD=" + s.LoginUser,
            "-NAME=" + s.EmployeeName,
            "-ID=" + s.EmployeeId,
            "-XLS=" + s.ExcelExtension,
            "-DOC=" + s.WordExtension,
            "-PID=" + jet::Value(s.LauncherProcessId).text()};
}

std::string LaunchCommandLine(const Session& s, const std::string& programFileName)
{
    std::string line = s.ProgramFolder + programFileName;
    for (const std::string& part : LaunchArguments(s))
        line += " " + part;
    return line;
}

namespace {
bool EndsWithExe(const std::string& name)
{
    if (name.size() < 4)
        return false;
    return AsciiUpper(name.substr(name.size() - 4)) == ".EXE";
}

bool Exists(const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }
} // namespace

LaunchResult LaunchProgram(Session& s, const std::string& programFileName, const EndProgramAction& endProgram)
{
    switch (PassMaintenanceCheck(s, endProgram)) {
    case Maintenance::Ended: return LaunchResult::Ended;
    case Maintenance::Abandoned: return LaunchResult::Abandoned;
    case Maintenance::Free: break;
    }

    std::string program = s.ProgramFolder + programFileName;
    // Suite programs are installed here without the Windows extension.
    if (!Exists(program) && EndsWithExe(program) && Exists(program.substr(0, program.size() - 4)))
        program.resize(program.size() - 4);

    std::string reason;
    if (!Exists(program))
        reason = "找不到檔案";
    else if (os::StartDetached(program, LaunchArguments(s), s.ProgramFolder, &reason))
        return LaunchResult::Started;
    MsgBox("無法啟動程式：" + program + (reason.empty() ? std::string() : "\n\n" + reason), "錯誤",
           MsgIcon::Critical);
    return LaunchResult::Failed;
}

} // namespace qtmv
