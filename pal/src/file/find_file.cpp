// FindFirstFileA, FindNextFileA, FindClose. The matches are read when the search starts and
// handed out one by one; "." and ".." come first, the others in byte order of their names.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include "file/file_error.h"
#include "text/gbk_name.h"
#include "kernel/handle.h"

namespace pal::fs {
namespace {

struct FoundEntry {
    std::string name;
    struct stat st;
};

class FindObject : public Object {
public:
    std::mutex lock;  // two threads may step one search
    std::vector<FoundEntry> entries;
    size_t next = 0;
};

// Seconds and nanoseconds since 1970 as 100-nanosecond intervals since 1601.
FILETIME ToFileTime(const struct timespec& ts) {
    const uint64_t kEpochDifference = 11644473600ull;  // seconds from 1601 to 1970
    uint64_t value = 0;
    if (ts.tv_sec >= 0) {
        value = (static_cast<uint64_t>(ts.tv_sec) + kEpochDifference) * 10000000ull +
                static_cast<uint64_t>(ts.tv_nsec) / 100;
    }
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

void Fill(const FoundEntry& entry, WIN32_FIND_DATAA* data) {
    std::memset(data, 0, sizeof(*data));
    data->dwFileAttributes = AttributesOf(entry.st, entry.name);
    // Linux keeps no birth time in stat; the status-change time stands in for it.
    data->ftCreationTime = ToFileTime(entry.st.st_ctim);
    data->ftLastAccessTime = ToFileTime(entry.st.st_atim);
    data->ftLastWriteTime = ToFileTime(entry.st.st_mtim);
    if (!S_ISDIR(entry.st.st_mode)) {
        uint64_t size = static_cast<uint64_t>(entry.st.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size);
    }
    // A Linux name has at most 255 bytes, so it always fits with its NUL.
    size_t length = std::min(entry.name.size(), sizeof(data->cFileName) - 1);
    std::memcpy(data->cFileName, entry.name.data(), length);
}

// Attributes of an entry follow a symbolic link; a dangling link reports the link itself.
bool StatEntry(const std::string& path, struct stat* st) {
    return stat(path.c_str(), st) == 0 || lstat(path.c_str(), st) == 0;
}

// The matches of a pattern in a folder, or an error.
DWORD ListMatches(const std::string& folder, std::string_view pattern,
                  std::vector<FoundEntry>* out) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno);
    }
    std::string prefix = folder == "/" ? "/" : folder + "/";
    while (struct dirent* d = readdir(dir)) {
        std::string_view name(d->d_name);
        if (!MatchWildcard(pattern, name)) {
            continue;
        }
        FoundEntry entry{std::string(name), {}};
        if (StatEntry(prefix + entry.name, &entry.st)) {
            out->push_back(std::move(entry));
        }
    }
    closedir(dir);
    auto rank = [](const std::string& name) { return name == "." ? 0 : name == ".." ? 1 : 2; };
    std::sort(out->begin(), out->end(), [&](const FoundEntry& a, const FoundEntry& b) {
        return rank(a.name) != rank(b.name) ? rank(a.name) < rank(b.name) : a.name < b.name;
    });
    return out->empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

// The one entry a path without wildcards names, or an error.
DWORD FindExact(const std::string& path, const std::string& name, std::vector<FoundEntry>* out) {
    FoundEntry entry{name, {}};
    if (!StatEntry(path, &entry.st)) {
        return errno == ENOENT ? MissingEntryError(path) : ErrorFromErrno(errno);
    }
    out->push_back(std::move(entry));
    return ERROR_SUCCESS;
}

}  // namespace
}  // namespace pal::fs

// Differs from Windows: a name without wildcards is looked up as it is written (the Linux file
// system tells letter case apart), while wildcard patterns match without regard to case.
// Attributes follow symbolic links. Short 8.3 names do not exist.
HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    using namespace pal::fs;
    if (!lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (!CheckPath(lpFileName)) {
        return INVALID_HANDLE_VALUE;
    }
    std::string path(lpFileName);
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string folder = slash == std::string::npos ? "." : ParentOf(path);
    if (HasWildcard(slash == std::string::npos ? std::string_view()
                                               : std::string_view(path).substr(0, slash))) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    auto find = std::make_shared<FindObject>();
    DWORD error;
    if (name.empty()) {
        // A trailing separator names no entry: Windows fails even for an existing folder.
        struct stat st;
        if (stat(folder.c_str(), &st) != 0) {
            error = errno == ENOENT ? MissingEntryError(folder) : ErrorFromErrno(errno);
        } else {
            error = S_ISDIR(st.st_mode) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        }
    } else if (HasWildcard(name)) {
        error = ListMatches(folder, name, &find->entries);
    } else {
        error = FindExact(path, name, &find->entries);
    }
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    Fill(find->entries[0], lpFindFileData);
    find->next = 1;
    HANDLE handle = pal::AddHandle(find);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    auto find = pal::LookupHandleAs<pal::fs::FindObject>(hFindFile);
    if (!find) {
        return FALSE;
    }
    if (!lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(find->lock);
    if (find->next >= find->entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    pal::fs::Fill(find->entries[find->next++], lpFindFileData);
    return TRUE;
}

// Differs from Windows: CloseHandle also closes a search handle.
BOOL FindClose(HANDLE hFindFile) {
    if (!pal::LookupHandleAs<pal::fs::FindObject>(hFindFile)) {
        return FALSE;
    }
    if (!pal::RemoveHandle(hFindFile)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
