// SHGetSpecialFolderPathA for the common application-data folder.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "file/file_error.h"

namespace pal::fs {
namespace {

// An absolute path from the variable, or "" when it is unset, empty or relative (relative values
// are ignored, as the XDG rules ask).
std::string AbsoluteFromEnv(const char* name) {
    const char* value = std::getenv(name);
    return (value && value[0] == '/') ? std::string(value) : std::string();
}

std::string HomeDirectory() {
    std::string home = AbsoluteFromEnv("HOME");
    if (!home.empty()) {
        return home;
    }
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof(buffer), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return std::string();
}

std::string CommonAppData() {
    std::string dir = AbsoluteFromEnv("PAL_COMMON_APPDATA");
    if (dir.empty()) {
        dir = AbsoluteFromEnv("XDG_DATA_HOME");
    }
    if (dir.empty()) {
        std::string home = HomeDirectory();
        if (home.empty()) {
            return std::string();
        }
        dir = home + "/.local/share";
    }
    while (dir.size() > 1 && dir.back() == '/') {
        dir.pop_back();
    }
    return dir;
}

// Creates the folder and its missing parents (mode 0700, as for the XDG folders).
bool MakeFolders(const std::string& dir) {
    for (size_t at = 1; at <= dir.size(); ++at) {
        if (at != dir.size() && dir[at] != '/') {
            continue;
        }
        std::string part = dir.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            SetLastError(ErrorFromErrno(errno == ENOENT ? ENOTDIR : errno));
            return false;
        }
    }
    return true;
}

}  // namespace
}  // namespace pal::fs

// Differs from Windows: the folder is per user (Linux has no machine-wide folder that every user
// may write); only CSIDL_COMMON_APPDATA is known.
BOOL SHGetSpecialFolderPathA(HWND, LPSTR pszPath, int csidl, BOOL fCreate) {
    using namespace pal::fs;
    if (!pszPath) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    pszPath[0] = '\0';
    const bool create = fCreate || (csidl & CSIDL_FLAG_CREATE);
    if ((csidl & ~CSIDL_FLAG_MASK) != CSIDL_COMMON_APPDATA) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string dir = CommonAppData();
    if (dir.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (dir.size() >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    if (create && !MakeFolders(dir)) {
        return FALSE;
    }
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::memcpy(pszPath, dir.c_str(), dir.size() + 1);
    return TRUE;
}
