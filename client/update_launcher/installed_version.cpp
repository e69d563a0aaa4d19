#include "installed_version.h"

#include "dir_and_ini.h"
#include "update_contract.h"
#include "windows.h"

const char* const kDefaultInstalledVersion = "1.0.0.0";

namespace {

constexpr DWORD kValueSize = 256;

}  // namespace

std::string ReadInstallValue(const char* section, const char* key) {
    char buffer[kValueSize] = {};
    std::string file = GetExeDir() + InstallConfigFile();
    GetPrivateProfileStringA(section, key, "", buffer, kValueSize, file.c_str());
    return buffer;
}

bool ReadInstalledVersion(std::string& value, const std::string& fallback) {
    value = ReadInstallValue("App", "Version");
    // A damaged or unusual value ("1.0.0.0-beta", "V1.0") cannot be compared; taken as missing,
    // an update can still repair the installation.
    if (!IsVersionText(value)) {
        value = fallback;
    }
    return !value.empty();
}
