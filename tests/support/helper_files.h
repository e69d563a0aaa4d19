// What the tests read of the small helper programs they start: a file the helper makes, and the
// "key=value" record it writes (whole, renamed into place).
#pragma once

#include <unistd.h>

#include <chrono>
#include <map>
#include <sstream>
#include <string>

#include "test_root.h"
#include "wait_until.h"

namespace brtest {

// Waits up to timeoutMs for the file to appear; true when it did.
inline bool WaitForFile(const std::string& path, int timeoutMs = 10000) {
    return WaitUntil([&] { return access(path.c_str(), F_OK) == 0; },
                     std::chrono::milliseconds(timeoutMs));
}

// The "key=value" lines a helper recorded.
inline std::map<std::string, std::string> ReadRecord(const std::string& path) {
    std::map<std::string, std::string> values;
    std::istringstream lines(ReadFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos) {
            values[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return values;
}

}  // namespace brtest
