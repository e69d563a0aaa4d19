// Processes by executable name, on the platform layer's snapshot (and so its name rule and its
// runtime-root scope), OpenProcess and TerminateProcess.
#include <strings.h>

#include <vector>

#include "brlib.h"
#include "windows.h"

namespace BrLib::Process {
namespace {

// A kill is SIGKILL; this only bounds the wait for a process the system cannot end at once.
constexpr DWORD kEndTimeoutMs = 5000;

std::vector<DWORD> ProcessesNamed(const std::string& exeName, bool includeSelf) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return ids;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (strcasecmp(entry.szExeFile, exeName.c_str()) == 0 &&
            (includeSelf || entry.th32ProcessID != self)) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return ids;
}

}  // namespace

int KillOtherInstance(std::string exeName) {
    int ended = 0;
    // A second look catches one that an instance being ended had just started.
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<DWORD> ids = ProcessesNamed(exeName, false);
        if (ids.empty()) {
            break;
        }
        for (DWORD id : ids) {
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
            if (!process) {
                continue;  // ended meanwhile
            }
            if (TerminateProcess(process, 0) &&
                WaitForSingleObject(process, kEndTimeoutMs) == WAIT_OBJECT_0) {
                ++ended;
            }
            CloseHandle(process);
        }
    }
    return ended;
}

bool CheckProcessExist(std::string exeName) {
    return !ProcessesNamed(exeName, true).empty();
}

}  // namespace BrLib::Process
