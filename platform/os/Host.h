#pragma once
// What the program learns from the operating system: who and where it runs,
// whether another instance runs, whether a process is alive, and starting
// another program. The Windows functions the suite was built on have these
// stand-ins here (see README.md in this folder). QtCore only.
#include <string>
#include <vector>

namespace qtmv::os {

// The signed-in user's account name: the password database entry of the
// effective user, else the USER variable; "" when neither is known.
std::string GetWindowsUserName();

// The host name up to the first NUL; "" when it cannot be read.
std::string GetComputerName();

// The "userprofile" folder: USERPROFILE, else HOME; "" when neither is set.
// Returned as set, without a separator appended.
std::string UserProfileFolder();

// The folder of the running executable, always ending in "/".
// QCoreApplication's folder when an application object exists, else the
// folder of /proc/self/exe, else the current folder.
std::string ProgramFolder();

// This process's id.
long long CurrentProcessId();

// The launcher hands over a process id where the suite once passed a window
// handle: "is a window" means that process is alive. Ids that are not whole
// positive numbers of the pid range are never alive.
bool IsWindow(double handle);

// Starts a program detached, in workingFolder, without waiting. On failure
// returns false and puts the reason into *error.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingFolder, std::string* error);

// The previous-instance flag: a lock on one file per user and application in
// the temporary folder, held while the instance runs. The system releases
// the lock of an instance that ended, crashed or not.
class InstanceLock {
public:
    // applicationKey: ASCII letters, digits, '-' or '_' (others become '_').
    explicit InstanceLock(const std::string& applicationKey);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another live instance holds the lock. The first call tries to
    // take it; a lock that cannot be created at all (no writable temporary
    // folder) does not count as another instance.
    bool previousInstance();
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
    bool checked_ = false;
    bool previous_ = false;
};

// Keeps memory that a large load freed for the next one instead of handing
// it back to the system at once. Loading a grid allocates tens of megabytes
// of rows; returning them and faulting them in again on the next load cost a
// third of the load time. Called once at start-up.
void KeepFreedMemoryForReuse();

} // namespace qtmv::os
