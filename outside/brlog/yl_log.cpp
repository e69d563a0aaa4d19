#include "yl_log.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

constexpr size_t kMaxMessage = 64 * 1024;
constexpr const char kCutMark[] = " [cut]";

// $BRLOG_DIR, else the folder "log" beside this library.
std::string LogFolder() {
    const char* own = std::getenv("BRLOG_DIR");
    std::string dir;
    if (own && *own) {
        dir = own;
    } else {
        Dl_info info;
        if (dladdr(reinterpret_cast<void*>(&YL_Log), &info) && info.dli_fname) {
            dir = info.dli_fname;
            size_t slash = dir.find_last_of('/');
            dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
        } else {
            dir = ".";
        }
        dir += "/log";
    }
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return dir;
}

void MakeFolders(const std::string& dir) {
    for (size_t at = 1; at <= dir.size(); ++at) {
        if (at == dir.size() || dir[at] == '/') {
            mkdir(dir.substr(0, at).c_str(), 0755);
        }
    }
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Length of text cut to at most limit bytes without splitting a two-byte GBK character.
size_t CutLength(const std::string& text, size_t limit) {
    size_t at = 0;
    while (at < text.size()) {
        size_t step = (static_cast<unsigned char>(text[at]) >= 0x81 &&
                       static_cast<unsigned char>(text[at]) <= 0xFE && at + 1 < text.size())
                          ? 2
                          : 1;
        if (at + step > limit) {
            break;
        }
        at += step;
    }
    return at;
}

std::string Format(const char* format, va_list args) {
    if (!format) {
        return "(null)";
    }
    char small[1024];
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(small, sizeof(small), format, copy);
    va_end(copy);
    if (needed < 0) {
        return "(bad format)";
    }
    if (static_cast<size_t>(needed) < sizeof(small)) {
        return std::string(small, static_cast<size_t>(needed));
    }
    // Formats up to the limit and one byte more, so a cut can be seen.
    size_t size = std::min(static_cast<size_t>(needed), kMaxMessage + 1);
    std::string text(size + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(size);
    if (text.size() > kMaxMessage) {
        text.resize(CutLength(text, kMaxMessage));
        text += kCutMark;
    }
    return text;
}

// One line: line breaks inside become blanks, those at the end go.
void AppendFlat(std::string* line, const std::string& text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) {
        --end;
    }
    for (size_t i = 0; i < end; ++i) {
        line->push_back(text[i] == '\n' || text[i] == '\r' ? ' ' : text[i]);
    }
}

std::string Prefix(int level) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm local;
    localtime_r(&now.tv_sec, &local);
    char prefix[96];
    std::snprintf(prefix, sizeof(prefix), "%04d-%02d-%02d %02d:%02d:%02d.%03ld [%ld:%ld] %d ",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, now.tv_nsec / 1000000L, static_cast<long>(getpid()),
                  static_cast<long>(syscall(SYS_gettid)), level);
    return prefix;
}

void Append(const std::string& path, const std::string& folder, const std::string& line) {
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0 && errno == ENOENT) {
        MakeFolders(folder);
        fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
    }
    if (fd < 0) {
        return;
    }
    // One write per line: appends to a local file are atomic, so lines never interleave. A short
    // write (a full disk) is finished with a second write rather than lost.
    size_t done = 0;
    while (done < line.size()) {
        ssize_t n = write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    close(fd);
}

}  // namespace

void YL_Log(const std::string& fileName, int level, const std::string& functionName,
            const char* format, ...) {
    int savedErrno = errno;
    try {
        if (IsPlainName(fileName)) {
            va_list args;
            va_start(args, format);
            std::string message = Format(format, args);
            va_end(args);
            std::string line = Prefix(level);
            AppendFlat(&line, functionName);
            line += ": ";
            AppendFlat(&line, message);
            line += '\n';
            std::string folder = LogFolder();
            Append(folder + "/" + fileName, folder, line);
        }
    } catch (...) {
        // Out of memory while building the line: the line is dropped.
    }
    errno = savedErrno;
}
