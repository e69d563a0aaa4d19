#include "install_config.h"

#include <cstdlib>

#include "dir_and_ini.h"
#include "installed_version.h"
#include "installer_download.h"

namespace {

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
