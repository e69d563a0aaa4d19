// FindResourceA, LoadResource, LockResource, SizeofResource.
#include "resource/resource_table.h"

namespace {

const PalResource* Entry(HRSRC hResInfo) {
    auto entry = reinterpret_cast<const PalResource*>(hResInfo);
    if (!entry || !pal::resource::IsRegisteredEntry(entry)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return entry;
}

}  // namespace

// Differs from Windows: resources come from the tables modules register (pal/resource.h), not
// from the module's file; there are no languages (each name has one resource).
HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    if (!lpName || !lpType) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const PalResource* entry = pal::resource::Find(hModule, lpName, lpType);
    return reinterpret_cast<HRSRC>(const_cast<PalResource*>(entry));
}

HGLOBAL LoadResource(HMODULE, HRSRC hResInfo) {
    const PalResource* entry = Entry(hResInfo);
    return entry ? const_cast<void*>(entry->data) : nullptr;
}

LPVOID LockResource(HGLOBAL hResData) {
    return hResData;
}

DWORD SizeofResource(HMODULE, HRSRC hResInfo) {
    const PalResource* entry = Entry(hResInfo);
    return entry ? entry->size : 0;
}
