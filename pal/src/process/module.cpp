// Modules: the program and its shared libraries, under the library name rule.
#include <dlfcn.h>

#include <cstring>
#include <mutex>
#include <unordered_map>

#include "process/module_table.h"
#include "process/program_names.h"

namespace pal {
namespace {

// LoadLibraryA's references, so FreeLibrary releases only what LoadLibraryA took.
struct LoadedLibraries {
    std::mutex lock;
    std::unordered_map<HMODULE, std::pair<void*, int>> references;  // dlopen handle, count
};

LoadedLibraries& Libraries() {
    static LoadedLibraries* libraries = new LoadedLibraries;
    return *libraries;
}

// Where a bare library name is looked for before the loader's own search: the program's folder,
// then the folder of the object that holds this layer (a shared library, say).
std::vector<std::string> LibraryFolders() {
    std::vector<std::string> folders{ProgramFolder()};
    HMODULE layer = ModuleAt(reinterpret_cast<const void*>(&LoadLibraryA));
    if (layer && layer != ProgramModule()) {
        std::string folder = FolderPart(ModulePath(layer, ModuleMap(layer)));
        if (!folder.empty() && folder != folders.front()) {
            folders.push_back(folder);
        }
    }
    return folders;
}

// Opens the library file; returns the dlopen handle or null with the Win32 error set.
void* OpenLibrary(const std::string& file) {
    if (file.find('/') != std::string::npos) {
        std::string path = FindFileInFolder(FolderPart(file), FileNamePart(file));
        if (path.empty()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            SetLastError(ERROR_BAD_EXE_FORMAT);
        }
        return handle;
    }
    // As on Windows, a library of that name that is already loaded is the one given.
    if (HMODULE loaded = FindLoadedLibrary(file)) {
        std::string path = ModulePath(loaded, ModuleMap(loaded));
        if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD)) {
            return handle;
        }
    }
    for (const std::string& folder : LibraryFolders()) {
        std::string path = FindFileInFolder(folder, file);
        if (!path.empty()) {
            void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                SetLastError(ERROR_BAD_EXE_FORMAT);
            }
            return handle;
        }
    }
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return handle;
}

// True when the name is the program's reported name ("BRDJ.exe"), or its reported path.
bool IsProgramName(const std::string& name) {
    std::string program = ModulePath(ProgramModule(), nullptr);
    if (!EqualsNoCase(FileNamePart(name), FileNamePart(program))) {
        return false;
    }
    return name.find('/') == std::string::npos ||
           CanonicalPath(FolderPart(name)) == CanonicalPath(FolderPart(program));
}

}  // namespace
}  // namespace pal

// Differs from Windows: an HMODULE is the loaded object's base address, checked against the
// loader's list.
HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
    if (!lpModuleName) {
        return pal::ProgramModule();
    }
    std::string name = lpModuleName;
    if (pal::IsProgramName(name)) {
        return pal::ProgramModule();
    }
    HMODULE module = pal::FindLoadedLibrary(pal::LibraryFileName(name));
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return module;
}

// Differs from Windows: the program reports its name under the rule, so "/x/BRDJ" gives "/x/BRDJ.exe", a
// path that names no file (starting it finds "/x/BRDJ" again). Libraries report the file loaded.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    HMODULE module = hModule ? hModule : pal::ProgramModule();
    link_map* map = pal::ModuleMap(module);
    if (!map) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (!lpFilename) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string path = pal::ModulePath(module, map);
    if (path.size() >= nSize) {
        std::memcpy(lpFilename, path.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

// Differs from Windows: the library's initialisers run as the loader's (no DllMain). Windows's search of the
// system folders and PATH is the loader's own search (rpath, LD_LIBRARY_PATH, system folders).
HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
    if (!lpLibFileName || !*lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* handle = pal::OpenLibrary(pal::LibraryFileName(lpLibFileName));
    if (!handle) {
        return nullptr;
    }
    link_map* map = nullptr;
    HMODULE module = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map) {
        module = pal::ModuleAt(map->l_ld);
    }
    if (!module) {
        dlclose(handle);
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    pal::LoadedLibraries& libraries = pal::Libraries();
    std::lock_guard<std::mutex> guard(libraries.lock);
    auto& reference = libraries.references[module];
    reference.first = handle;
    ++reference.second;
    return module;
}

// Differs from Windows: ordinals are not supported (ERROR_PROC_NOT_FOUND).
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    link_map* map = pal::ModuleMap(hModule);
    if (!map) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (reinterpret_cast<uintptr_t>(lpProcName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    bool program = hModule == pal::ProgramModule();
    void* handle =
        program ? dlopen(nullptr, RTLD_LAZY) : dlopen(map->l_name, RTLD_LAZY | RTLD_NOLOAD);
    void* symbol = handle ? dlsym(handle, lpProcName) : nullptr;
    if (handle) {
        dlclose(handle);
    }
    // dlsym also searches the module's dependencies; Windows gives only the module's own exports.
    if (!symbol || pal::ModuleAt(symbol) != hModule) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

// Differs from Windows: only LoadLibraryA's own references are released; freeing the program or a linked
// library succeeds and leaves it loaded.
BOOL FreeLibrary(HMODULE hLibModule) {
    void* handle = nullptr;
    {
        pal::LoadedLibraries& libraries = pal::Libraries();
        std::lock_guard<std::mutex> guard(libraries.lock);
        auto it = libraries.references.find(hLibModule);
        if (it != libraries.references.end()) {
            handle = it->second.first;
            if (--it->second.second == 0) {
                libraries.references.erase(it);
            }
        }
    }
    if (handle) {
        dlclose(handle);
        return TRUE;
    }
    // A module that LoadLibraryA did not load (the program, a linked library) stays loaded.
    if (pal::ModuleMap(hLibModule)) {
        return TRUE;
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}
