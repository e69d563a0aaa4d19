#include <cstdio>

#include "windows.h"

namespace {

int HexDigit(OLECHAR c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Reads `digits` hex digits at text[*at], moving *at past them.
bool ReadHex(LPCOLESTR text, size_t* at, int digits, uint32_t* value) {
    *value = 0;
    for (int i = 0; i < digits; ++i) {
        int d = HexDigit(text[*at]);
        if (d < 0)
            return false;
        *value = (*value << 4) | uint32_t(d);
        ++*at;
    }
    return true;
}

bool Expect(LPCOLESTR text, size_t* at, OLECHAR c) {
    if (text[*at] != c)
        return false;
    ++*at;
    return true;
}

}  // namespace

// Differs from Windows: only the braced registry form is read; a program id (a class name
// registered in place of the id) is not looked up and gives CO_E_CLASSSTRING.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
    if (pclsid == nullptr)
        return E_INVALIDARG;
    if (lpsz == nullptr) {
        *pclsid = IID_NULL;
        return S_OK;
    }
    GUID g{};
    size_t at = 0;
    uint32_t v = 0;
    bool ok = Expect(lpsz, &at, u'{') && ReadHex(lpsz, &at, 8, &g.Data1);
    ok = ok && Expect(lpsz, &at, u'-') && ReadHex(lpsz, &at, 4, &v);
    g.Data2 = uint16_t(v);
    ok = ok && Expect(lpsz, &at, u'-') && ReadHex(lpsz, &at, 4, &v);
    g.Data3 = uint16_t(v);
    ok = ok && Expect(lpsz, &at, u'-');
    for (int i = 0; ok && i < 8; ++i) {
        if (i == 2)
            ok = Expect(lpsz, &at, u'-');
        ok = ok && ReadHex(lpsz, &at, 2, &v);
        g.Data4[i] = uint8_t(v);
    }
    ok = ok && Expect(lpsz, &at, u'}') && lpsz[at] == 0;
    if (!ok)
        return CO_E_CLASSSTRING;
    *pclsid = g;
    return S_OK;
}

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    const int kUnits = 39;
    if (lpsz == nullptr || cchMax < kUnits)
        return 0;
    char text[kUnits + 1];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  rguid.Data1, rguid.Data2, rguid.Data3, rguid.Data4[0], rguid.Data4[1],
                  rguid.Data4[2], rguid.Data4[3], rguid.Data4[4], rguid.Data4[5], rguid.Data4[6],
                  rguid.Data4[7]);
    for (int i = 0; i < kUnits; ++i) lpsz[i] = OLECHAR(text[i]);
    return kUnits;
}
