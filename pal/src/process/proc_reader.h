// Reading other processes from /proc: what a process snapshot reports about each, and which
// runtime root each belongs to.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace pal {

struct ProcInfo {
    pid_t pid = 0;
    pid_t parent = 0;
    unsigned threads = 0;
    unsigned uid = 0;
    char state = '?';     // from /proc/PID/stat: 'Z' for a zombie
    std::string exeName;  // file name of /proc/PID/exe (the file actually run)
};

// The ids of all processes, ascending.
std::vector<pid_t> ListProcessIds();
// False when the process is gone or cannot be read (another user's, a kernel thread).
bool ReadProcInfo(pid_t pid, ProcInfo& info);
// The runtime root the process's initial environment resolves to; "" when it cannot be read.
std::string ProcRuntimeDir(pid_t pid, unsigned uid);

}  // namespace pal
