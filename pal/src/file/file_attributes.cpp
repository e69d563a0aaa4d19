// SetFileAttributesA and PathFileExistsA.
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "file/file_error.h"

// Differs from Windows: only READONLY is kept, as the file's write permissions; HIDDEN, SYSTEM,
// ARCHIVE and the others are accepted and not stored (a name that starts with "." reads as
// hidden). On a folder READONLY changes nothing, as on Windows, where it does not keep anyone
// from writing into the folder.
BOOL SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes) {
    using namespace pal::fs;
    if (!CheckPath(lpFileName)) {
        return FALSE;
    }
    struct stat st;
    if (stat(lpFileName, &st) != 0) {
        SetLastError(errno == ENOENT ? MissingEntryError(lpFileName) : ErrorFromErrno(errno));
        return FALSE;
    }
    if (!S_ISREG(st.st_mode)) {
        return TRUE;
    }
    mode_t mode = st.st_mode & 07777;
    mode_t wanted = mode;
    if (dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        wanted &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    } else if (IsReadOnlyFile(st)) {
        wanted |= S_IWUSR;
    }
    if (wanted != mode && chmod(lpFileName, wanted) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

// Like Windows, a path with "*" or "?" names nothing. Differs from Windows: symbolic links are
// followed, so a dangling one does not exist.
BOOL PathFileExistsA(LPCSTR pszPath) {
    using namespace pal::fs;
    if (!CheckPath(pszPath)) {
        return FALSE;
    }
    if (HasWildcard(pszPath)) {
        SetLastError(ERROR_INVALID_NAME);
        return FALSE;
    }
    struct stat st;
    if (stat(pszPath, &st) != 0) {
        SetLastError(errno == ENOENT ? MissingEntryError(pszPath) : ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
