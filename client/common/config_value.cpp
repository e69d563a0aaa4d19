// The update record's INI file in the data folder.
#include <windows.h>

#include "dir_and_ini.h"

namespace {

constexpr DWORD kValueSize = 256;

// Rebuilt at every call: the program may set g_strWorkDir at any time before its first use.
// Empty, it leaves the bare name, which the profile functions find in the Windows folder.
std::string ConfigFile() {
    return g_strWorkDir + "Config.ini";
}

}  // namespace

bool ReadConfigValue(const std::string& section, const std::string& key, std::string& value,
                     const std::string& fallback) {
    char buffer[kValueSize] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, kValueSize,
                             ConfigFile().c_str());
    value = buffer;
    if (value.empty()) {
        value = fallback;
    }
    return !value.empty();
}

bool WriteConfigValue(const std::string& section, const std::string& key,
                      const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      ConfigFile().c_str()) != 0;
}
