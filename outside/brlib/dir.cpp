// In-house folders.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "brlib.h"
#include "windows.h"

namespace BrLib::Dir {
namespace {

// The folder of this library itself, the installation's program folder.
std::string LibraryFolder() {
    Dl_info info;
    if (!dladdr(reinterpret_cast<const void*>(&LibraryFolder), &info) || !info.dli_fname) {
        return std::string();
    }
    char resolved[PATH_MAX];
    std::string path = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string CallCenterFolder() {
    std::string root = PalRuntimeDir();
    if (root.empty()) {
        return std::string();
    }
    std::string folder = root + "/callcenter";
    if (!PalPrivateFolder(folder)) {
        return std::string();
    }
    return folder + "/";
}

}  // namespace

int GetBrPath(Path_Type type, std::string& path) {
    switch (type) {
        case BR_PATH_INSTALL_DIR:
            path = LibraryFolder();
            break;
        case BR_PATH_CALLCENTER_DIR:
            path = CallCenterFolder();
            break;
        default:
            path.clear();
            break;
    }
    return path.empty() ? -1 : 0;
}

std::string GetBrPath(Path_Type type) {
    std::string path;
    GetBrPath(type, path);
    return path;
}

}  // namespace BrLib::Dir
