#include "proc_maps.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace dbghelp {
namespace {

struct MapsLine {
    uint64_t start;
    uint64_t end;
    bool readable;
    uint64_t offset;
    uint64_t inode;
    const char* path;  // empty for anonymous mappings
    size_t pathLength;
};

bool ParseHex(const char*& p, const char* end, uint64_t* value) {
    const char* first = p;
    *value = 0;
    for (; p < end; ++p) {
        char c = *p;
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) {
            break;
        }
        *value = *value << 4 | static_cast<uint64_t>(digit);
    }
    return p != first;
}

bool ParseDecimal(const char*& p, const char* end, uint64_t* value) {
    const char* first = p;
    *value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        *value = *value * 10 + static_cast<uint64_t>(*p - '0');
    }
    return p != first;
}

bool Skip(const char*& p, const char* end, char c) {
    if (p < end && *p == c) {
        ++p;
        return true;
    }
    return false;
}

void SkipField(const char*& p, const char* end) {
    while (p < end && *p != ' ') {
        ++p;
    }
    while (p < end && *p == ' ') {
        ++p;
    }
}

// "start-end perms offset major:minor inode   path"
bool ParseLine(const char* p, const char* end, MapsLine* line) {
    uint64_t ignored = 0;
    if (!ParseHex(p, end, &line->start) || !Skip(p, end, '-') || !ParseHex(p, end, &line->end) ||
        !Skip(p, end, ' ') || p >= end) {
        return false;
    }
    line->readable = *p == 'r';
    SkipField(p, end);
    if (!ParseHex(p, end, &line->offset) || !Skip(p, end, ' ') || !ParseHex(p, end, &ignored) ||
        !Skip(p, end, ':') || !ParseHex(p, end, &ignored) || !Skip(p, end, ' ') ||
        !ParseDecimal(p, end, &line->inode)) {
        return false;
    }
    while (p < end && *p == ' ') {
        ++p;
    }
    line->path = p;
    line->pathLength = static_cast<size_t>(end - p);
    return true;
}

bool IsElfFile(const char* path) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char magic[4] = {};
    ssize_t n = pread(fd, magic, sizeof magic, 0);
    close(fd);
    static constexpr char kElfMagic[4] = {0x7F, 'E', 'L', 'F'};
    return n == 4 && std::memcmp(magic, kElfMagic, sizeof kElfMagic) == 0;
}

class Scanner {
public:
    Scanner(uint64_t stackPointer, ProcMaps* maps) : stackPointer_(stackPointer), maps_(maps) {}

    void Take(const MapsLine& line) {
        if (line.readable && line.start <= stackPointer_ && stackPointer_ < line.end) {
            maps_->stackStart = line.start;
            maps_->stackEnd = line.end;
        }
        if (line.pathLength == 0 || line.path[0] != '/' || line.inode == 0) {
            current_ = nullptr;
            return;
        }
        if (current_ != nullptr && line.inode == currentInode_ &&
            line.pathLength == current_->nameLength &&
            std::memcmp(line.path, maps_->Name(*current_), line.pathLength) == 0) {
            current_->end = line.end;
            return;
        }
        current_ = nullptr;
        if (line.offset == 0 && line.readable) {
            Begin(line);
        }
    }

private:
    void Begin(const MapsLine& line) {
        if (maps_->moduleCount == ProcMaps::kMaxModules ||
            maps_->namesUsed + line.pathLength + 1 > ProcMaps::kNameSpace) {
            return;
        }
        char* name = maps_->names + maps_->namesUsed;
        std::memcpy(name, line.path, line.pathLength);
        name[line.pathLength] = '\0';
        if (!IsElfFile(name)) {
            return;
        }
        Module& m = maps_->modules[maps_->moduleCount++];
        m = {line.start, line.end, static_cast<uint32_t>(maps_->namesUsed),
             static_cast<uint32_t>(line.pathLength)};
        maps_->namesUsed += line.pathLength + 1;
        current_ = &m;
        currentInode_ = line.inode;
    }

    uint64_t stackPointer_;
    ProcMaps* maps_;
    Module* current_ = nullptr;
    uint64_t currentInode_ = 0;
};

}  // namespace

bool ScanProcMaps(uint64_t stackPointer, ProcMaps* maps) {
    maps->moduleCount = 0;
    maps->namesUsed = 0;
    maps->stackStart = maps->stackEnd = 0;
    int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    Scanner scanner(stackPointer, maps);
    size_t held = 0;        // bytes of an unfinished line at the start of the read space
    bool skipping = false;  // inside a line longer than the read space
    for (;;) {
        ssize_t n = read(fd, maps->read + held, ProcMaps::kReadSpace - held);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        const char* p = maps->read;
        const char* end = maps->read + held + n;
        while (const char* newline = static_cast<const char*>(memchr(p, '\n', end - p))) {
            MapsLine line;
            if (!skipping && ParseLine(p, newline, &line)) {
                scanner.Take(line);
            }
            skipping = false;
            p = newline + 1;
        }
        held = static_cast<size_t>(end - p);
        if (held == ProcMaps::kReadSpace) {
            held = 0;
            skipping = true;
        }
        std::memmove(maps->read, p, held);
    }
    close(fd);
    return true;
}

}  // namespace dbghelp
