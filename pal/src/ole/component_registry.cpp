#include "ole/component_registry.h"

#include <cstdlib>

#include "process/program_names.h"

namespace pal {

std::string ComponentRegistryPath() {
    const char* path = std::getenv("PAL_COMPONENT_REGISTRY");
    if (path != nullptr && *path != '\0')
        return path;
    return ProgramFolder() + "/" + PAL_COMPONENT_REGISTRY_FILE;
}

std::string RegisteredLibrary(REFCLSID clsid) {
    OLECHAR wide[39];
    StringFromGUID2(clsid, wide, 39);
    char key[40];
    for (int i = 0; i < 39; ++i) key[i] = char(wide[i]);
    std::string registry = ComponentRegistryPath();
    char library[MAX_PATH] = "";
    DWORD saved = GetLastError();
    GetPrivateProfileStringA(PAL_COMPONENT_REGISTRY_SECTION, key, "", library, sizeof library,
                             registry.c_str());
    SetLastError(saved);
    if (library[0] == '\0')
        return "";
    if (library[0] == '/')
        return library;
    std::string folder = FolderPart(registry);
    return (folder.empty() ? std::string(".") : folder) + "/" + library;
}

}  // namespace pal
