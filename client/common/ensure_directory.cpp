// Creating the last level of a folder path.
#include <windows.h>

#include "dir_and_ini.h"

bool EnsureDirectory(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    if (PathExists(path)) {
        return true;
    }
    if (CreateDirectoryA(path.c_str(), nullptr) == 1) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return true;
    }
    // Another process may have made it in the meantime.
    return PathExists(path);
}
