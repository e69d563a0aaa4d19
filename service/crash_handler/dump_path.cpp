// The dump directory rule, the program name's split and the dump file name format.
#include "dump_path.h"

#include <cstdio>
#include <cstring>

namespace {

// Copies length bytes of text and a NUL into a buffer of size bytes; false when they do not fit.
bool CopyPart(const char* text, size_t length, char* out, size_t size) {
    if (length >= size) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, text, length);
    out[length] = '\0';
    return true;
}

}  // namespace

bool DumpDirectoryOf(const char* modulePath, char (&dir)[kDumpPathSize]) {
    const char* last = std::strrchr(modulePath, kDumpPathSeparator);
    size_t length =
        last != nullptr ? static_cast<size_t>(last - modulePath) : std::strlen(modulePath);
    if (length > 0 && modulePath[length - 1] == kDumpPathSeparator) {
        --length;
    }
    return CopyPart(modulePath, length, dir, sizeof dir);
}

bool SplitProgramName(const char* path, char (&name)[kDumpNamePartSize],
                      char (&extension)[kDumpNamePartSize]) {
    const char* last = std::strrchr(path, kDumpPathSeparator);
    const char* file = last != nullptr ? last + 1 : path;
    const char* dot = std::strrchr(file, '.');
    size_t nameLength = dot != nullptr ? static_cast<size_t>(dot - file) : std::strlen(file);
    const char* ext = file + nameLength;
    if (!CopyPart(file, nameLength, name, sizeof name) ||
        !CopyPart(ext, std::strlen(ext), extension, sizeof extension)) {
        name[0] = '\0';
        extension[0] = '\0';
        return false;
    }
    return true;
}

bool FormatDumpPath(const char* dir, const SYSTEMTIME& time, const char* name,
                    const char* extension, char (&path)[kDumpPathSize]) {
    int length = std::snprintf(path, sizeof path, "%s%c%04d%02d%02d%02d%02d%02d%03d_%s%s.dmp", dir,
                               kDumpPathSeparator, time.wYear, time.wMonth, time.wDay, time.wHour,
                               time.wMinute, time.wSecond, time.wMilliseconds, name, extension);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path) {
        path[0] = '\0';
        return false;
    }
    return true;
}
