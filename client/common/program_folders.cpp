// The program's folder and the common application-data folder.
#include <windows.h>

#include <vector>

#include "dir_and_ini.h"

namespace {

// Longest module path asked for; Windows's own limit for long paths.
constexpr DWORD kLongestModulePath = 32768;

}  // namespace

std::string InstallConfigFile() {
    return std::string("Conf") + kPathSeparator + "default" + kPathSeparator + "config.ini";
}

// A module path that does not fit MAX_PATH is asked for again with a larger buffer: a cut path
// would name some other folder.
std::string GetExeDir() {
    std::vector<char> buffer(MAX_PATH, '\0');
    for (;;) {
        DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < buffer.size()) {
            break;
        }
        if (buffer.size() >= kLongestModulePath) {
            return std::string();
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
    std::string path(buffer.data());
    size_t separator = path.rfind(kPathSeparator);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string GetCommonDataDir() {
    char buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_COMMON_APPDATA, TRUE)) {
        return std::string();
    }
    return std::string(buffer) + kPathSeparator;
}
