// CreateDirectoryA.
#include <sys/stat.h>

#include <cerrno>

#include "file/file_error.h"

namespace {
// The ANSI function leaves room for an 8.3 file name below the new folder.
constexpr size_t kDirectoryPathLimit = MAX_PATH - 12;
}  // namespace

// Differs from Windows: the security attributes are not used; the folder gets the permissions
// 0777 less the process's umask.
BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    using namespace pal::fs;
    if (!CheckPath(lpPathName, kDirectoryPathLimit)) {
        return FALSE;
    }
    if (HasWildcard(lpPathName)) {
        SetLastError(ERROR_INVALID_NAME);
        return FALSE;
    }
    if (mkdir(lpPathName, 0777) != 0) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
