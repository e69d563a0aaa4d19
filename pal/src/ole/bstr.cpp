#include <cstdlib>

#include "windows.h"

// A BSTR points just past a 4-byte byte count; two zero bytes follow the text.
namespace {

BSTR AllocateBytes(const void* data, UINT bytes) {
    auto* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + size_t(bytes) + 2));
    if (block == nullptr)
        return nullptr;
    uint32_t count = bytes;
    std::memcpy(block, &count, sizeof count);
    char* text = block + sizeof count;
    if (data != nullptr) {
        std::memcpy(text, data, bytes);
    } else {
        std::memset(text, 0, bytes);
    }
    text[bytes] = 0;
    text[bytes + 1] = 0;
    return reinterpret_cast<BSTR>(text);
}

uint32_t ByteCount(BSTR bstr) {
    uint32_t count;
    std::memcpy(&count, reinterpret_cast<const char*>(bstr) - sizeof count, sizeof count);
    return count;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* psz) {
    if (psz == nullptr)
        return nullptr;
    UINT units = 0;
    while (psz[units] != 0) ++units;
    return SysAllocStringLen(psz, units);
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    if (ui > 0x7FFFFFF0u / sizeof(OLECHAR))
        return nullptr;
    return AllocateBytes(strIn, ui * UINT(sizeof(OLECHAR)));
}

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) {
    if (len > 0x7FFFFFF0u)
        return nullptr;
    return AllocateBytes(psz, len);
}

void SysFreeString(BSTR bstrString) {
    if (bstrString != nullptr)
        std::free(reinterpret_cast<char*>(bstrString) - sizeof(uint32_t));
}

UINT SysStringLen(BSTR pbstr) {
    return pbstr == nullptr ? 0 : ByteCount(pbstr) / sizeof(OLECHAR);
}

UINT SysStringByteLen(BSTR bstr) {
    return bstr == nullptr ? 0 : ByteCount(bstr);
}
