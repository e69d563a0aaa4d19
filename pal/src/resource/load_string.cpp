// LoadStringA.
#include <cstring>

#include "resource/resource_table.h"

// Differs from Windows: a string is its own resource, named by its string id and holding its
// GBK text, not one of a block of sixteen UTF-16 strings.
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    lpBuffer[0] = '\0';
    const PalResource* entry = pal::resource::Find(hInstance, MAKEINTRESOURCEA(uID), RT_STRING);
    if (!entry) {
        return 0;
    }
    const char* text = static_cast<const char*>(entry->data);
    size_t room = static_cast<size_t>(cchBufferMax) - 1;
    size_t copied = 0;
    while (copied < entry->size && text[copied] != '\0') {
        size_t length =
            IsDBCSLeadByte(static_cast<BYTE>(text[copied])) && copied + 1 < entry->size ? 2 : 1;
        if (copied + length > room) {
            break;  // never half of a two-byte character
        }
        copied += length;
    }
    std::memcpy(lpBuffer, text, copied);
    lpBuffer[copied] = '\0';
    return static_cast<int>(copied);
}
