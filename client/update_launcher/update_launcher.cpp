#include "update_launcher.h"

#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "dir_and_ini.h"
#include "installed_version.h"
#include "update_contract.h"
#include "version_compare.h"

namespace {

struct UpdateRecord {
    std::string version;
    std::string file;

    bool Empty() const { return version.empty() || file.empty(); }
    // The recorded version is not newer than the installed one: its installer has run (or an
    // update came another way), and running it again would change nothing.
    bool Superseded() const {
        std::string installed;
        ReadInstalledVersion(installed, kDefaultInstalledVersion);
        return IsVersionText(version) && CompareVersions(version, installed) <= 0;
    }
    // The installer the updater would have written for the recorded version, when the record
    // names exactly that file; else empty.
    std::string Installer() const {
        std::string expected = InstallerPath(g_strWorkDir, version);
        return !expected.empty() && file == expected ? expected : std::string();
    }
};

UpdateRecord ReadRecord() {
    UpdateRecord record;
    ReadConfigValue(kUpdateSection, kUpdateVersionKey, record.version, "");
    ReadConfigValue(kUpdateSection, kUpdateFileKey, record.file, "");
    return record;
}

void ClearRecord() {
    WriteConfigValue(kUpdateSection, kUpdateVersionKey, "");
    WriteConfigValue(kUpdateSection, kUpdateFileKey, "");
}

}  // namespace

void CheckForUpdate() {
    try {
        if (!PathFileExistsA(g_strWorkDir.c_str())) {
            EnsureDirectory(g_strWorkDir);
        }
    } catch (...) {
        return;
    }
    UpdateRecord record = ReadRecord();
    if (record.Superseded()) {
        // Only the file the updater writes for that version goes, whatever the record names.
        std::error_code ignored;
        std::filesystem::remove(InstallerPath(g_strWorkDir, record.version), ignored);
        ClearRecord();
        LaunchUpdater();
        return;
    }
    if (record.Empty()) {
        LaunchUpdater();
        return;
    }
    std::string installer = record.Installer();
    if (installer.empty() || !PathFileExistsA(installer.c_str())) {
        ClearRecord();
        LaunchUpdater();
    }
}

void LaunchUpdater() {
    try {
        std::string command = GetExeDir() + kUpdaterProgram;
        std::string parameters = g_strWorkDir;
        ShellOpen(command, parameters, false);
    } catch (...) {
    }
}

void InstallPendingUpdate() {
    UpdateRecord record = ReadRecord();
    if (record.Empty() || record.Superseded()) {
        return;
    }
    std::string installer = record.Installer();
    if (installer.empty() || !PathFileExistsA(installer.c_str())) {
        return;
    }
    ShellOpen(installer, kSilentInstallParameter, false);
}
