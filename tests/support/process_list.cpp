#include "process_list.h"

#include <sys/wait.h>

namespace brtest {

std::vector<PROCESSENTRY32> RootProcesses() {
    std::vector<PROCESSENTRY32> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return processes;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        processes.push_back(entry);
    }
    CloseHandle(snapshot);
    return processes;
}

std::vector<DWORD> ProcessesNamed(const std::string& name) {
    std::vector<DWORD> pids;
    for (const PROCESSENTRY32& entry : RootProcesses()) {
        if (name == entry.szExeFile) {
            pids.push_back(entry.th32ProcessID);
        }
    }
    return pids;
}

bool KillProcess(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) {
        return false;
    }
    const bool ended =
        TerminateProcess(process, 0) && WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
    CloseHandle(process);
    waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG);  // reaps it when it was ours
    return ended;
}

void KillOtherRootProcesses() {
    const DWORD self = GetCurrentProcessId();
    for (const PROCESSENTRY32& entry : RootProcesses()) {
        if (entry.th32ProcessID != self) {
            KillProcess(entry.th32ProcessID);
        }
    }
}

}  // namespace brtest
