#include "update_contract.h"

#include "dir_and_ini.h"

const char* const kUpdateSection = "Update";
const char* const kUpdateVersionKey = "Version";
const char* const kUpdateFileKey = "UpdateFile";
const char* const kUpdaterProgram = "BRDJUpdate.exe";
const char* const kSilentInstallParameter = "/S";

bool IsVersionText(const std::string& text) {
    if (text.empty() || text.size() > kMaxVersionText) {
        return false;
    }
    bool afterDigit = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            afterDigit = true;
        } else if (c == '.' && afterDigit) {
            afterDigit = false;
        } else {
            return false;
        }
    }
    return afterDigit;  // not ending in a dot
}

std::string DataDirectory(const std::string& commonDataDir) {
    return commonDataDir.empty() ? std::string() : commonDataDir + "BRDJ" + kPathSeparator;
}

std::string InstallerFileName(const std::string& version) {
    return "BRDJ_" + version + ".exe";
}

std::string InstallerPath(const std::string& dataDir, const std::string& version) {
    if (dataDir.empty() || !IsVersionText(version)) {
        return std::string();
    }
    return dataDir + InstallerFileName(version);
}
