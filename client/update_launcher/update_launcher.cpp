#include "update_launcher.h"

#include <windows.h>

#include <string>

#include "dir_and_ini.h"
#include "update_contract.h"

namespace {

struct UpdateRecord {
    std::string version;
    std::string file;

    bool Empty() const { return version.empty() || file.empty(); }
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
    if (record.Empty()) {
        LaunchUpdater();
        return;
    }
    std::string installer = record.Installer();
    if (installer.empty() || !PathFileExistsA(installer.c_str())) {
        WriteConfigValue(kUpdateSection, kUpdateVersionKey, "");
        WriteConfigValue(kUpdateSection, kUpdateFileKey, "");
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
    if (record.Empty()) {
        return;
    }
    std::string installer = record.Installer();
    if (installer.empty() || !PathFileExistsA(installer.c_str())) {
        return;
    }
    ShellOpen(installer, kSilentInstallParameter, false);
}
