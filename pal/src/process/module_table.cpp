#include "process/module_table.h"

#include <dlfcn.h>
#include <sys/auxv.h>

#include "process/program_names.h"

namespace pal {

HMODULE ModuleAt(const void* address) {
    Dl_info info;
    void* extra = nullptr;
    if (!address || !dladdr1(address, &info, &extra, RTLD_DL_LINKMAP) || !info.dli_fbase) {
        return nullptr;
    }
    return static_cast<HMODULE>(info.dli_fbase);
}

HMODULE ProgramModule() {
    static HMODULE program = ModuleAt(reinterpret_cast<const void*>(getauxval(AT_PHDR)));
    return program;
}

link_map* ModuleMap(HMODULE hModule) {
    Dl_info info;
    void* extra = nullptr;
    if (!hModule || !dladdr1(hModule, &info, &extra, RTLD_DL_LINKMAP) ||
        info.dli_fbase != static_cast<void*>(hModule)) {
        return nullptr;
    }
    return static_cast<link_map*>(extra);
}

HMODULE FindLoadedLibrary(const std::string& libraryFile) {
    struct Search {
        const std::string& file;
        bool byPath;
        const void* address = nullptr;
    } search{libraryFile, libraryFile.find('/') != std::string::npos};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            if (!info->dlpi_name || !*info->dlpi_name) {
                return 0;  // the program itself
            }
            bool match = s->byPath ? CanonicalPath(info->dlpi_name) == CanonicalPath(s->file)
                                   : EqualsNoCase(FileNamePart(info->dlpi_name), s->file);
            if (!match) {
                return 0;
            }
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                if (info->dlpi_phdr[i].p_type == PT_LOAD) {
                    s->address =
                        reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
                    return 1;
                }
            }
            return 0;
        },
        &search);
    return ModuleAt(search.address);
}

std::string ModulePath(HMODULE hModule, link_map* map) {
    if (hModule == ProgramModule()) {
        std::string exe = ProgramExecutablePath();
        std::string folder = FolderPart(exe);
        return (folder == "/" ? folder : folder + "/") + ReportedProgramName(FileNamePart(exe));
    }
    return map && map->l_name ? std::string(map->l_name) : std::string();
}

}  // namespace pal
