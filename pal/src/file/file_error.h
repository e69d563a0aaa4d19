// What the file functions share: errno to Win32 error, path checks, attributes of a stat.
#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "windows.h"

namespace pal::fs {

// The Win32 error for an errno of a file operation.
DWORD ErrorFromErrno(int error);

// Checks a path argument as the ANSI file functions do: NULL gives ERROR_INVALID_PARAMETER, the
// empty text ERROR_PATH_NOT_FOUND, a text of limit or more bytes ERROR_FILENAME_EXCED_RANGE.
// Sets the last error and returns false when the path is refused.
bool CheckPath(LPCSTR path, size_t limit = MAX_PATH);

// True when the text holds "*" or "?".
bool HasWildcard(std::string_view text);

// The folder part of a path, without its last component ("." for a bare name, "/" for a name
// just below the root).
std::string ParentOf(const std::string& path);

// The error for a path whose lookup failed with ENOENT: ERROR_PATH_NOT_FOUND when its folder is
// missing too, else ERROR_FILE_NOT_FOUND.
DWORD MissingEntryError(const std::string& path);

// The FILE_ATTRIBUTE_* bits of an entry.
DWORD AttributesOf(const struct stat& st, std::string_view name);

// True for a regular file without any write permission: the READONLY attribute.
inline bool IsReadOnlyFile(const struct stat& st) {
    return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace pal::fs
