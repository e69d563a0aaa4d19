#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "windows.h"

std::string PalResolveRuntimeDir(const std::function<const char*(const char*)>& lookup,
                                 unsigned uid) {
    const char* own = lookup("PAL_RUNTIME_DIR");
    if (own && *own) {
        std::string dir(own);
        while (dir.size() > 1 && dir.back() == '/') {
            dir.pop_back();
        }
        return dir;
    }
    const char* xdg = lookup("XDG_RUNTIME_DIR");
    if (xdg && *xdg) {
        return std::string(xdg) + "/pal";
    }
    return "/tmp/pal-" + std::to_string(uid);
}

std::string PalRuntimeDir() {
    std::string dir =
        PalResolveRuntimeDir([](const char* name) { return std::getenv(name); }, getuid());
    // A root that another user owns or can reach would let that user see and drive our objects.
    return PalPrivateFolder(dir) ? dir : std::string();
}
