// IsDebuggerPresent: a tracer is attached when /proc/self/status names a TracerPid other than
// 0. Reads with plain system calls into a stack buffer, so the exception filter may call it.
// Differs from Windows: any ptrace tracer counts (strace too).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "windows.h"

// Differs from Windows: any ptrace tracer counts.
BOOL IsDebuggerPresent() {
    int fd = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return FALSE;
    }
    // The field is among the first lines; the rest of the file does not matter.
    char text[4096];
    size_t length = 0;
    while (length < sizeof text - 1) {
        ssize_t n = read(fd, text + length, sizeof text - 1 - length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        length += static_cast<size_t>(n);
    }
    close(fd);
    text[length] = '\0';
    static const char kField[] = "\nTracerPid:";
    const char* field = strstr(text, kField);
    if (field == nullptr) {
        return FALSE;
    }
    const char* p = field + sizeof kField - 1;
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    while (*p == '0') {
        ++p;
    }
    return (*p >= '1' && *p <= '9') ? TRUE : FALSE;
}
