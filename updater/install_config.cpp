#include "install_config.h"

#include <cstdlib>

#include "dir_and_ini.h"
#include "installer_download.h"

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

}  // namespace

bool ReadInstalledVersion(std::string& value, const std::string& fallback) {
    value = ReadInstallValue("App", "Version");
    if (value.empty()) {
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
    std::string text = ReadInstallValue("Web", "DownloadWaitSeconds");
    char* end = nullptr;
    unsigned long seconds = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || seconds == 0 || seconds > 0xFFFFFFFFul / 1000) {
        return kDownloadWaitLimitMs;
    }
    return static_cast<DWORD>(seconds * 1000);
}
