// Process start, process handles and the calling process.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "process/pidfd.h"

#include <cerrno>

#include "process/command_line.h"
#include "process/process_object.h"
#include "process/program_names.h"
#include "process/program_start.h"

namespace pal {
namespace {

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

std::vector<std::string> EnvironmentBlock(const char* block) {
    std::vector<std::string> env;
    while (*block) {
        env.emplace_back(block);
        block += env.back().size() + 1;
    }
    return env;
}

}  // namespace
}  // namespace pal

// Differs from Windows: the command line is not handed over as one text; its first token becomes argv[0]
// and the rest one argument (see process.h). Creation flags, security attributes and handle
// inheritance have no effect; the primary thread's id is the process id.
BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID lpEnvironment,
                    LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                    LPPROCESS_INFORMATION lpProcessInformation) {
    if (!lpProcessInformation || (!lpApplicationName && !lpCommandLine)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    pal::SpawnRequest request;
    std::string name;
    pal::CommandLineParts parts;
    if (lpCommandLine) {
        parts = pal::SplitCommandLine(lpCommandLine);
    }
    if (lpApplicationName) {
        name = lpApplicationName;
        request.argv0 = lpCommandLine && !parts.program.empty() ? parts.program : name;
    } else {
        name = parts.program;
        // As on Windows, a command-line program name without an extension means "name.exe".
        if (pal::FileNamePart(name).find('.') == std::string::npos && !name.empty()) {
            name += ".exe";
        }
        request.argv0 = parts.program;
    }
    if (!parts.rest.empty()) {
        request.args.push_back(parts.rest);
    }
    if (lpCurrentDirectory) {
        request.directory = lpCurrentDirectory;
    }
    if (lpEnvironment) {
        request.environment = pal::EnvironmentBlock(static_cast<const char*>(lpEnvironment));
    }
    if (lpStartupInfo && (lpStartupInfo->dwFlags & STARTF_USESHOWWINDOW)) {
        request.showCommand = lpStartupInfo->wShowWindow;
    }
    std::shared_ptr<pal::Child> child;
    DWORD error = pal::StartProgram(
        name, lpApplicationName ? pal::ProgramSearch::kNone : pal::ProgramSearch::kPath, request,
        child);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    int pidfd = fcntl(child->PidFd(), F_DUPFD_CLOEXEC, 0);
    if (pidfd < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);  // the child runs on, reaped by the layer
        return FALSE;
    }
    auto process =
        std::make_shared<pal::ProcessObject>(child->Pid(), pidfd, PROCESS_ALL_ACCESS, child);
    lpProcessInformation->hProcess = pal::AddHandle(process);
    lpProcessInformation->hThread =
        pal::AddHandle(std::make_shared<pal::PrimaryThreadObject>(process));
    lpProcessInformation->dwProcessId = static_cast<DWORD>(child->Pid());
    lpProcessInformation->dwThreadId = static_cast<DWORD>(child->Pid());
    return TRUE;
}

// Differs from Windows: bInheritHandle has no effect. Any process of this user can be opened, whatever its
// runtime root: only lookups by name are scoped.
HANDLE OpenProcess(DWORD dwDesiredAccess, BOOL, DWORD dwProcessId) {
    pid_t pid = static_cast<pid_t>(dwProcessId);
    if (pid <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int pidfd = pal::PidFdOpen(pid);  // fails for ids of threads that lead no process
    if (pidfd < 0) {
        SetLastError(errno == EPERM ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    struct stat st;
    std::string proc = "/proc/" + std::to_string(pid);
    if (stat(proc.c_str(), &st) != 0 || st.st_uid != getuid()) {
        bool gone = errno == ENOENT;
        close(pidfd);
        SetLastError(gone ? ERROR_INVALID_PARAMETER : ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return pal::AddHandle(
        std::make_shared<pal::ProcessObject>(pid, pidfd, dwDesiredAccess, pal::FindChild(pid)));
}

// Differs from Windows: sends SIGKILL; the exit code is remembered by the layer.
BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode) {
    if (hProcess == pal::kCurrentProcess) {
        _exit(static_cast<int>(uExitCode));
    }
    auto process = pal::LookupHandleAs<pal::ProcessObject>(hProcess);
    return process ? process->Terminate(uExitCode) : FALSE;
}

// Differs from Windows: a child killed by a signal reads 128 + the signal; a process this one did
// not start reads the code it was terminated with through this handle, else 0.
BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
    if (hProcess == pal::kCurrentProcess) {
        if (!lpExitCode) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        *lpExitCode = STILL_ACTIVE;
        return TRUE;
    }
    auto process = pal::LookupHandleAs<pal::ProcessObject>(hProcess);
    return process ? process->GetExitCode(lpExitCode) : FALSE;
}

// Differs from Windows: WaitForSingleObject and CloseHandle do not know the pseudo-handle (they fail with
// ERROR_INVALID_HANDLE); TerminateProcess and GetExitCodeProcess accept it.
HANDLE GetCurrentProcess() {
    return pal::kCurrentProcess;
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}
