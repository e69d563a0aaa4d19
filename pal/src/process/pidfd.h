// pidfd calls through syscall(): glibc 2.36's <sys/pidfd.h> lacks C++ linkage markers.
#pragma once

#include <signal.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

namespace pal {

inline int PidFdOpen(pid_t pid) {
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0u));  // the fd is close-on-exec
}

inline int PidFdSendSignal(int pidfd, int signal) {
    return static_cast<int>(syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0u));
}

}  // namespace pal
