// LoadIconA: an icon group's PNG image, loaded once per module and group.
#include <map>
#include <mutex>
#include <string>

#include "resource/resource_table.h"

namespace {

struct IconCache {
    std::mutex lock;
    std::map<const PalResource*, HICON> icons;
};

IconCache& Icons() {
    static IconCache* cache = new IconCache;  // outlives every static destructor
    return *cache;
}

// The image's path: the name as it stands when absolute, else in the module's folder.
std::string ImagePath(HMODULE module, const PalResource& entry) {
    std::string name(static_cast<const char*>(entry.data), entry.size);
    name = name.substr(0, name.find('\0'));
    if (!name.empty() && name[0] == '/') {
        return name;
    }
    char path[4096] = {};
    DWORD n = GetModuleFileNameA(module, path, sizeof(path));
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('/') + 1) + name;
}

}  // namespace

// Differs from Windows: the group's image is a PNG file (pal/resource.h); hInstance NULL stands
// for the program, not the system's icons, and a cached icon stays for the process's life.
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    if (!lpIconName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HMODULE module = pal::resource::ModuleOrProgram(hInstance);
    const PalResource* entry = pal::resource::Find(module, lpIconName, RT_GROUP_ICON);
    if (!entry) {
        return nullptr;
    }
    IconCache& cache = Icons();
    std::lock_guard<std::mutex> guard(cache.lock);
    auto it = cache.icons.find(entry);
    if (it != cache.icons.end()) {
        return it->second;
    }
    HICON icon = PalLoadIconPngA(ImagePath(module, *entry).c_str());
    if (icon) {
        cache.icons[entry] = icon;
    }
    return icon;
}
