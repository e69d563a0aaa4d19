// Process snapshots, scoped to the runtime root.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "kernel/handle.h"
#include "process/proc_reader.h"
#include "process/program_names.h"

namespace pal {
namespace {

class SnapshotObject : public Object {
public:
    explicit SnapshotObject(std::vector<PROCESSENTRY32> entries) : entries_(std::move(entries)) {}

    BOOL Next(bool first, LPPROCESSENTRY32 entry) {
        if (!entry || entry->dwSize < sizeof(PROCESSENTRY32)) {
            SetLastError(ERROR_BAD_LENGTH);
            return FALSE;
        }
        std::lock_guard<std::mutex> guard(lock_);
        if (first) {
            next_ = 0;
        }
        if (next_ >= entries_.size()) {
            SetLastError(ERROR_NO_MORE_FILES);
            return FALSE;
        }
        DWORD size = entry->dwSize;
        *entry = entries_[next_++];
        entry->dwSize = size;
        return TRUE;
    }

private:
    std::mutex lock_;
    const std::vector<PROCESSENTRY32> entries_;
    size_t next_ = 0;
};

PROCESSENTRY32 EntryFor(const ProcInfo& info) {
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    entry.th32ProcessID = static_cast<DWORD>(info.pid);
    entry.th32ParentProcessID = static_cast<DWORD>(info.parent);
    entry.cntThreads = info.threads;
    entry.pcPriClassBase = 8;  // normal priority
    std::string name = ReportedProgramName(info.exeName);
    size_t length = std::min(name.size(), sizeof entry.szExeFile - 1);
    std::memcpy(entry.szExeFile, name.data(), length);
    entry.szExeFile[length] = '\0';
    return entry;
}

// This process's root as the others' environments are compared with it.
std::string OwnRuntimeDir() {
    std::string dir = PalRuntimeDir();
    if (dir.empty()) {
        dir = PalResolveRuntimeDir([](const char* name) { return std::getenv(name); }, getuid());
    }
    return CanonicalPath(dir);
}

bool InRuntimeDir(pid_t pid, unsigned uid, const std::string& own) {
    std::string dir = ProcRuntimeDir(pid, uid);
    return !dir.empty() && (dir == own || CanonicalPath(dir) == own);
}

}  // namespace
}  // namespace pal

// Differs from Windows: only processes are listed (TH32CS_SNAPPROCESS; other kinds fail with
// ERROR_NOT_SUPPORTED), and only this user's processes whose initial environment resolves to
// this process's runtime root, plus the caller itself; zombies are left out. A process reports
// the file name of the executable it runs (/proc/PID/exe, symbolic links resolved) under the
// name rule: "BRDJ" reports "BRDJ.exe". A script run through its interpreter reports the
// interpreter.
HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD) {
    if (!(dwFlags & TH32CS_SNAPPROCESS)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return INVALID_HANDLE_VALUE;
    }
    const pid_t self = getpid();
    const unsigned uid = getuid();
    const std::string own = pal::OwnRuntimeDir();
    std::vector<PROCESSENTRY32> entries;
    for (pid_t pid : pal::ListProcessIds()) {
        pal::ProcInfo info;
        if (!pal::ReadProcInfo(pid, info) || info.uid != uid || info.state == 'Z' ||
            info.state == 'X') {
            continue;
        }
        if (pid == self || pal::InRuntimeDir(pid, uid, own)) {
            entries.push_back(pal::EntryFor(info));
        }
    }
    return pal::AddHandle(std::make_shared<pal::SnapshotObject>(std::move(entries)));
}

// Differs from Windows: lists this user's processes of this runtime root only.
BOOL Process32First(HANDLE hSnapshot, LPPROCESSENTRY32 lppe) {
    auto snapshot = pal::LookupHandleAs<pal::SnapshotObject>(hSnapshot);
    return snapshot ? snapshot->Next(true, lppe) : FALSE;
}

// Differs from Windows: lists this user's processes of this runtime root only.
BOOL Process32Next(HANDLE hSnapshot, LPPROCESSENTRY32 lppe) {
    auto snapshot = pal::LookupHandleAs<pal::SnapshotObject>(hSnapshot);
    return snapshot ? snapshot->Next(false, lppe) : FALSE;
}
