#include "process/process_identity.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace pal {

std::optional<unsigned long long> RunningProcessStart(pid_t pid) {
    std::string path = "/proc/" + std::to_string(pid) + "/stat";
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    char buffer[1024];
    ssize_t got;
    do {
        got = read(fd, buffer, sizeof buffer - 1);
    } while (got < 0 && errno == EINTR);
    close(fd);
    if (got <= 0) {
        return std::nullopt;
    }
    std::string stat(buffer, static_cast<size_t>(got));
    // "pid (comm) state ppid ...": comm may hold blanks and parentheses, so count fields after
    // the last ')'. The state is field 3, the start time field 22.
    size_t at = stat.rfind(')');
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const char* cursor = stat.c_str() + at + 1;
    char state = '?';
    for (int field = 3; field <= 22; ++field) {
        while (*cursor == ' ') {
            ++cursor;
        }
        if (*cursor == '\0') {
            return std::nullopt;
        }
        if (field == 3) {
            state = *cursor;
        } else if (field == 22) {
            if (state == 'Z' || state == 'X' || state == 'x') {
                return std::nullopt;  // ended, not yet reaped
            }
            char* end = nullptr;
            unsigned long long start = std::strtoull(cursor, &end, 10);
            if (end == cursor) {
                return std::nullopt;
            }
            return start;
        }
        while (*cursor != ' ' && *cursor != '\0') {
            ++cursor;
        }
    }
    return std::nullopt;
}

unsigned long long OwnProcessStart() {
    static const unsigned long long start = RunningProcessStart(getpid()).value_or(0);
    return start;
}

bool ProcessRuns(pid_t pid, unsigned long long start) {
    if (pid == getpid()) {
        return start == OwnProcessStart();
    }
    auto running = RunningProcessStart(pid);
    return running && *running == start;
}

}  // namespace pal
