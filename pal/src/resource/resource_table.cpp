// PalRegisterResources, PalUnregisterResources and the lookup behind FindResourceA.
#include "resource/resource_table.h"

#include <mutex>
#include <string>
#include <vector>

#include "process/module_table.h"
#include "text/gbk_name.h"

namespace pal::resource {
namespace {

struct Table {
    HMODULE module;
    const PalResource* entries;
    int count;
};

struct Registry {
    std::mutex lock;
    std::vector<Table> tables;
};

Registry& Tables() {
    static Registry* registry = new Registry;  // outlives every static destructor
    return *registry;
}

// An id, or -1 for a text name; "#123" is the id 123.
long IdOf(LPCSTR name) {
    if (IS_INTRESOURCE(name)) {
        return static_cast<long>(reinterpret_cast<ULONG_PTR>(name));
    }
    if (name[0] == '#' && name[1] != '\0') {
        long id = 0;
        for (const char* p = name + 1; *p; ++p) {
            if (*p < '0' || *p > '9' || id > 0xFFFF) {
                return -1;
            }
            id = id * 10 + (*p - '0');
        }
        return id <= 0xFFFF ? id : -1;
    }
    return -1;
}

bool SameName(LPCSTR a, LPCSTR b) {
    if (!a || !b) {
        return false;
    }
    long idA = IdOf(a), idB = IdOf(b);
    if (idA >= 0 || idB >= 0) {
        return idA == idB;
    }
    return pal::fs::EqualNoCase(a, b);
}

}  // namespace

HMODULE ModuleOrProgram(HMODULE hModule) {
    return hModule ? hModule : GetModuleHandleA(nullptr);
}

const PalResource* Find(HMODULE module, LPCSTR name, LPCSTR type) {
    module = ModuleOrProgram(module);
    Registry& registry = Tables();
    std::lock_guard<std::mutex> guard(registry.lock);
    bool anyTable = false, anyOfType = false;
    for (const Table& table : registry.tables) {
        if (table.module != module) {
            continue;
        }
        anyTable = true;
        for (int i = 0; i < table.count; ++i) {
            const PalResource& entry = table.entries[i];
            if (!SameName(entry.type, type)) {
                continue;
            }
            anyOfType = true;
            if (SameName(entry.name, name)) {
                return &entry;
            }
        }
    }
    SetLastError(!anyTable    ? ERROR_RESOURCE_DATA_NOT_FOUND
                 : !anyOfType ? ERROR_RESOURCE_TYPE_NOT_FOUND
                              : ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

bool IsRegisteredEntry(const PalResource* entry) {
    Registry& registry = Tables();
    std::lock_guard<std::mutex> guard(registry.lock);
    for (const Table& table : registry.tables) {
        if (entry >= table.entries && entry < table.entries + table.count) {
            return true;
        }
    }
    return false;
}

}  // namespace pal::resource

BOOL PalRegisterResources(const PalResource* table, int count) {
    HMODULE module = table ? pal::ModuleAt(table) : nullptr;
    if (!module || count < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    pal::resource::Registry& registry = pal::resource::Tables();
    std::lock_guard<std::mutex> guard(registry.lock);
    for (const auto& known : registry.tables) {
        if (known.entries == table) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    registry.tables.push_back({module, table, count});
    return TRUE;
}

BOOL PalUnregisterResources(const PalResource* table) {
    pal::resource::Registry& registry = pal::resource::Tables();
    std::lock_guard<std::mutex> guard(registry.lock);
    for (auto it = registry.tables.begin(); it != registry.tables.end(); ++it) {
        if (it->entries == table) {
            registry.tables.erase(it);
            return TRUE;
        }
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}
