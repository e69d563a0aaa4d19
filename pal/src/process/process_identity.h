// Which process a record names: a process id alone can be reused after the process ends, the id
// with the process's start time cannot.
#pragma once

#include <sys/types.h>

#include <optional>

namespace pal {

// The start time (clock ticks after boot, from /proc/PID/stat) of a process that runs; nothing
// when it has ended (zombies included) or cannot be read.
std::optional<unsigned long long> RunningProcessStart(pid_t pid);
// The calling process's start time.
unsigned long long OwnProcessStart();
// True when the process pid that started at start still runs.
bool ProcessRuns(pid_t pid, unsigned long long start);

}  // namespace pal
