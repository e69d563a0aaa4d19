// Stand-in for the outside utility library BrLib: in-house folders and processes by name.
// Process lookups by name see only processes of this runtime root (PalRuntimeDir) and compare
// names without regard to letter case, as Windows file names.
#pragma once

#include <string>

namespace BrLib {

enum Path_Type {
    BR_PATH_INSTALL_DIR = 100,     // the installation's program folder: where this library is
    BR_PATH_CALLCENTER_DIR = 101,  // the call center's folder in the runtime root
};

namespace Dir {

// Fills path with the folder of that type, ending in "/", so a file name can be appended;
// the 101 folder is created (mode 0700) when missing. 0 on success; -1 with path emptied for
// an unknown type or a folder that cannot be had.
int GetBrPath(Path_Type type, std::string& path);
// The same folder as a result; "" on failure.
std::string GetBrPath(Path_Type type);

}  // namespace Dir

namespace Process {

class ProcessExecutor {
public:
    ProcessExecutor();
    ~ProcessExecutor();
    ProcessExecutor(const ProcessExecutor&) = delete;
    ProcessExecutor& operator=(const ProcessExecutor&) = delete;

    // Starts the program at path (a Windows program name: "dir/BrCoreService.exe" runs
    // dir/BrCoreService when there is no such .exe file) without arguments. With wait false it
    // returns at once; with wait true after the program has ended. 0 when it was started, else
    // the Win32 error of the start.
    int Exec(const std::string& path, bool wait);
};

// Ends every other process of that executable name ("BrCoreService.exe") in this runtime root
// and waits for each to be gone; the caller itself is spared. Returns how many were ended.
int KillOtherInstance(std::string exeName);
// True when a process of that executable name runs in this runtime root (the caller included).
bool CheckProcessExist(std::string exeName);

}  // namespace Process
}  // namespace BrLib
