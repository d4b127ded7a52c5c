#pragma once
// A process id that certainly names no process: a child that has been reaped.
#include <sys/wait.h>
#include <unistd.h>

namespace qtmv::os::test {

inline pid_t DeadProcessId()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

} // namespace qtmv::os::test
