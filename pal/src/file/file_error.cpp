#include "file/file_error.h"

#include <cerrno>

namespace pal::fs {

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
        case ELOOP:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
        case EBADF:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ERROR_DISK_FULL;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        default:
            return ERROR_GEN_FAILURE;
    }
}

bool CheckPath(LPCSTR path, size_t limit) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    size_t length = std::char_traits<char>::length(path);
    if (length == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (length >= limit) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return true;
}

bool HasWildcard(std::string_view text) {
    return text.find_first_of("*?") != text.npos;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    size_t end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

DWORD MissingEntryError(const std::string& path) {
    struct stat st;
    std::string parent = ParentOf(path);
    if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return ERROR_PATH_NOT_FOUND;
    }
    return ERROR_FILE_NOT_FOUND;
}

DWORD AttributesOf(const struct stat& st, std::string_view name) {
    DWORD attributes = 0;
    if (S_ISDIR(st.st_mode)) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
    if (IsReadOnlyFile(st)) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    if (name.size() > 1 && name[0] == '.' && name != "..") {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

}  // namespace pal::fs
