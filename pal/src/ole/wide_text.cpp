#include <errno.h>
#include <iconv.h>

#include <string>

#include "windows.h"

namespace {

const char* NarrowCharset(UINT codePage) {
    if (codePage == CP_ACP || codePage == CP_GBK)
        return "GBK";
    if (codePage == CP_UTF8)
        return "UTF-8";
    return nullptr;
}

// Converts `size` bytes with iconv; false on an invalid or incomplete sequence.
bool Convert(const char* to, const char* from, const char* data, size_t size, std::string* out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out->assign(size * 4 + 8, '\0');
    char* in = const_cast<char*>(data);
    size_t inLeft = size;
    char* dst = out->data();
    size_t outLeft = out->size();
    size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return false;
    out->resize(out->size() - outLeft);
    return true;
}

size_t WideLength(LPCWSTR text) {
    size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

// Copies `units` items of `size` bytes into the caller's buffer, or reports the size needed.
int Deliver(const void* data, int units, size_t size, void* buffer, int capacity) {
    if (capacity == 0)
        return units;
    if (capacity < units) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, data, units * size);
    return units;
}

}  // namespace

// Differs from Windows: only CP_ACP (always GBK, code page 936), 936 and CP_UTF8 are known;
// dwFlags is ignored, and an invalid sequence always fails (ERROR_NO_UNICODE_TRANSLATION)
// instead of being replaced. Wide characters are char16_t.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
    (void)dwFlags;
    const char* charset = NarrowCharset(CodePage);
    if (charset == nullptr || lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0 ||
        (cchWideChar > 0 && lpWideCharStr == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t size = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : size_t(cbMultiByte);
    std::string wide;
    if (!Convert("UTF-16LE", charset, lpMultiByteStr, size, &wide)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    return Deliver(wide.data(), int(wide.size() / 2), 2, lpWideCharStr, cchWideChar);
}

// Differs from Windows: the code pages and flags of `MultiByteToWideChar`; a character that the
// code page cannot express fails with ERROR_NO_UNICODE_TRANSLATION instead of becoming the
// default character, so lpDefaultChar is ignored and *lpUsedDefaultChar is always FALSE.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar) {
    (void)dwFlags;
    (void)lpDefaultChar;
    if (lpUsedDefaultChar != nullptr)
        *lpUsedDefaultChar = FALSE;
    const char* charset = NarrowCharset(CodePage);
    if (charset == nullptr || lpWideCharStr == nullptr || cchWideChar == 0 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && lpMultiByteStr == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t units = cchWideChar < 0 ? WideLength(lpWideCharStr) + 1 : size_t(cchWideChar);
    std::string narrow;
    if (!Convert(charset, "UTF-16LE", reinterpret_cast<const char*>(lpWideCharStr), units * 2,
                 &narrow)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    return Deliver(narrow.data(), int(narrow.size()), 1, lpMultiByteStr, cbMultiByte);
}
