#include "stale_part_files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "update_contract.h"
#include "windows.h"

namespace {

// A run of decimal digits without a sign, that fits; its value.
bool DecimalNumber(const std::string& text, unsigned long& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::strtoul(text.c_str(), nullptr, 10);
    return true;
}

bool ProcessRuns(unsigned long pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process) {
        return GetLastError() == ERROR_ACCESS_DENIED;  // another user's process runs
    }
    DWORD code = 0;
    bool runs = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
}

}  // namespace

bool IsInstallerPartName(const std::string& name, unsigned long& pid) {
    const std::string prefix = "BRDJ_";
    const std::string exe = ".exe.";
    const std::string suffix = ".part";
    if (name.compare(0, prefix.size(), prefix) != 0 ||
        name.size() < prefix.size() + suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    size_t exeAt = name.find(exe, prefix.size());
    if (exeAt == std::string::npos ||
        !IsVersionText(name.substr(prefix.size(), exeAt - prefix.size()))) {
        return false;
    }
    std::string ids =
        name.substr(exeAt + exe.size(), name.size() - suffix.size() - exeAt - exe.size());
    size_t dash = ids.find('-');
    unsigned long n = 0;
    return dash != std::string::npos && DecimalNumber(ids.substr(0, dash), pid) && pid > 0 &&
           DecimalNumber(ids.substr(dash + 1), n);
}

void RemoveStalePartFiles(const std::string& dataDir) {
    if (dataDir.empty()) {
        return;
    }
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((dataDir + "BRDJ_*.part").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;  // none, or no data folder
    }
    do {
        unsigned long pid = 0;
        std::string path = dataDir + found.cFileName;
        std::error_code error;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            IsInstallerPartName(found.cFileName, pid) &&
            std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error)) &&
            !ProcessRuns(pid)) {
            std::filesystem::remove(path, error);  // a file that cannot go stays for a later run
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
