// For the test helper programs: writes "key=value" lines to the file named by $PAL_TEST_RECORD,
// whole (a new file renamed into place), so a test that sees the file sees all of it.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

inline void WriteHelperRecord(const std::string& lines) {
    const char* path = std::getenv("PAL_TEST_RECORD");
    if (!path || !*path) {
        return;
    }
    std::string temp = std::string(path) + ".part" + std::to_string(getpid());
    if (FILE* out = std::fopen(temp.c_str(), "wb")) {
        std::fwrite(lines.data(), 1, lines.size(), out);
        std::fclose(out);
        std::rename(temp.c_str(), path);
    }
}

inline std::string EnvOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value ? value : fallback;
}
