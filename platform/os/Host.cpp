#include "platform/os/Host.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <malloc.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/types.h>
#include <unistd.h>

namespace qtmv::os {

namespace {
std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}
} // namespace

std::string GetWindowsUserName()
{
    // getpwuid_r with a fixed buffer: no shared static result.
    struct passwd pw {};
    struct passwd* found = nullptr;
    char buffer[1024];
    if (getpwuid_r(geteuid(), &pw, buffer, sizeof buffer, &found) == 0 && found && found->pw_name
        && found->pw_name[0] != '\0')
        return found->pw_name;
    return Env("USER");
}

std::string GetComputerName()
{
    char buffer[1024] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return {};
    return std::string(buffer); // up to the first NUL
}

std::string UserProfileFolder()
{
    std::string profile = Env("USERPROFILE");
    return profile.empty() ? Env("HOME") : profile;
}

std::string ProgramFolder()
{
    if (QCoreApplication::instance())
        return WithSlash(QDir::fromNativeSeparators(QCoreApplication::applicationDirPath()).toStdString());
    char buffer[PATH_MAX + 1] = {};
    const ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
    if (n > 0)
        return WithSlash(QFileInfo(QString::fromLocal8Bit(buffer, n)).absolutePath().toStdString());
    return WithSlash(QDir::currentPath().toStdString());
}

long long CurrentProcessId() { return static_cast<long long>(getpid()); }

bool IsWindow(double handle)
{
    if (!std::isfinite(handle) || handle < 1 || handle > INT_MAX || std::floor(handle) != handle)
        return false;
    const auto pid = static_cast<pid_t>(handle);
    if (kill(pid, 0) == 0)
        return true;
    return errno == EPERM; // alive, owned by someone else
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingFolder, std::string* error)
{
    QStringList args;
    for (const std::string& a : arguments)
        args << QString::fromStdString(a);
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    process.setArguments(args);
    if (!workingFolder.empty())
        process.setWorkingDirectory(QString::fromStdString(workingFolder));
    if (process.startDetached())
        return true;
    if (error)
        *error = process.errorString().toStdString();
    return false;
}

InstanceLock::InstanceLock(const std::string& applicationKey)
{
    std::string key;
    for (char c : applicationKey) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                           || c == '-' || c == '_';
        key += plain ? c : '_';
    }
    // One lock per user: instances of other users on a shared machine do not count.
    // A temporary folder that does not exist resolves to no folder at all;
    // the lock is then not taken, rather than made in the working folder.
    const QString folder = QDir::tempPath();
    if (folder.isEmpty())
        return;
    path_ = QDir(folder).filePath(QString::fromStdString(key)).toStdString() + "-"
            + std::to_string(static_cast<long long>(geteuid())) + ".lock";
}

InstanceLock::~InstanceLock()
{
    // The file stays: removing it could let a second instance lock a file
    // of the same name while a third still holds the old one.
    if (fd_ >= 0)
        ::close(fd_);
}

bool InstanceLock::previousInstance()
{
    if (checked_)
        return previous_;
    checked_ = true;
    if (path_.empty())
        return previous_ = false;
    // An advisory lock held while this process keeps the file open: the
    // system lets it go when the process ends, crashed or not, so no lock is
    // left behind, and nothing is written or synced on the way in.
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0)
        return previous_ = false;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
        return previous_ = false;
    previous_ = errno == EWOULDBLOCK;
    ::close(fd_);
    fd_ = -1;
    return previous_;
}

void KeepFreedMemoryForReuse()
{
    // A large load frees tens of megabytes of small blocks; glibc would hand
    // the heap's top back to the system and the next load fault every page
    // in again (about 3,000 faults a load of the printing grid). Keeping up
    // to 256 MiB of free heap avoids that. Setting it also fixes glibc's
    // mmap threshold at 128 KiB, so the few large blocks of a load (the
    // loaded texts' buffer, the grid's row table) would be mapped and
    // faulted afresh each time (about 2,000 faults a load): blocks up to
    // 32 MiB, glibc's largest threshold, come from the heap as well.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
}

} // namespace qtmv::os
