#include "update_run.h"

#include <string>

#include "dir_and_ini.h"
#include "install_config.h"
#include "installer_download.h"
#include "running_flag.h"
#include "stale_part_files.h"
#include "update_contract.h"
#include "version_compare.h"
#include "version_query.h"

namespace {

// The record's values are read back through a 256-byte buffer: a longer path would come back
// cut and name no file.
constexpr size_t kLongestRecordValue = 255;

}  // namespace

void RunUpdate(const char* commandLine) {
    if (!commandLine) {
        return;
    }
    if (RunningFlag.TestAndSet()) {
        return;  // another instance runs; it holds the flag until it ends
    }
    if (!PathExists(commandLine)) {
        return;
    }
    // Whatever part files a killed updater left go now; those of running processes stay.
    RemoveStalePartFiles(DataDirectory(GetCommonDataDir()));
    if (!QueryServerVersion()) {
        return;
    }
    g_strWorkDir = DataDirectory(GetCommonDataDir());
    if (g_strWorkDir.empty()) {
        return;
    }
    std::string pending;
    if (ReadConfigValue(kUpdateSection, kUpdateVersionKey, pending, "")) {
        return;  // a downloaded installer is already recorded
    }
    std::string installed;
    ReadInstalledVersion(installed, kDefaultInstalledVersion);
    // Only a service version of digits and dots goes on: the text becomes a file name and part
    // of an address. Anything else ends the run as an empty text does.
    if (!IsVersionText(g_strServerVersion) || CompareVersions(installed, g_strServerVersion) >= 0) {
        return;
    }
    std::string name = InstallerFileName(g_strServerVersion);
    std::string local = InstallerPath(g_strWorkDir, g_strServerVersion);
    if (local.size() > kLongestRecordValue) {
        return;
    }
    if (!DownloadInstaller(InstallerUrl(name), local, DownloadWaitLimitMs())) {
        return;  // nothing recorded; the library left no file under the name
    }
    WriteConfigValue(kUpdateSection, kUpdateVersionKey, g_strServerVersion);
    WriteConfigValue(kUpdateSection, kUpdateFileKey, local);
}
