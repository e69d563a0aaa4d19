#include "install_config.h"

#include <cstdlib>

#include "dir_and_ini.h"
#include "installer_download.h"
#include "update_contract.h"

namespace {

constexpr DWORD kValueSize = 256;

std::string ReadInstallValue(const char* section, const char* key) {
    char buffer[kValueSize] = {};
    std::string file = GetExeDir() + InstallConfigFile();
    GetPrivateProfileStringA(section, key, "", buffer, kValueSize, file.c_str());
    return buffer;
}

std::string WebAddress(const char* hostKey, const std::string& path) {
    std::string host = ReadInstallValue("Web", hostKey);
    return host.empty() ? std::string() : "http://" + host + path;
}

// [Web] <key> in seconds, as milliseconds; the fallback when missing or not a positive number
// that fits.
DWORD LimitMs(const char* key, DWORD fallback) {
    std::string text = ReadInstallValue("Web", key);
    char* end = nullptr;
    unsigned long seconds = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || seconds == 0 || seconds > 0xFFFFFFFFul / 1000) {
        return fallback;
    }
    return static_cast<DWORD>(seconds * 1000);
}

}  // namespace

bool ReadInstalledVersion(std::string& value, const std::string& fallback) {
    value = ReadInstallValue("App", "Version");
    // A damaged or unusual value ("1.0.0.0-beta", "V1.0") cannot be compared; taken as missing,
    // an update can still repair the installation.
    if (!IsVersionText(value)) {
        value = fallback;
    }
    return !value.empty();
}

std::string VersionServiceUrl() {
    return WebAddress("VersionHost", "/fans.br");
}

std::string InstallerUrl(const std::string& fileName) {
    return WebAddress("DownloadHost", "/inspack/" + fileName);
}

DWORD DownloadWaitLimitMs() {
    return LimitMs("DownloadWaitSeconds", kDownloadWaitLimitMs);
}

DWORD VersionQueryLimitMs() {
    return LimitMs("VersionQuerySeconds", kVersionQueryLimitMs);
}
