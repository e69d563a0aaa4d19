#include <cerrno>
#include <cstdlib>
#include <string>

#include "windows.h"

namespace {

bool Owns(VARTYPE vt) {
    return vt == VT_BSTR || vt == VT_UNKNOWN || vt == VT_DISPATCH;
}

bool Known(VARTYPE vt) {
    if (vt & VT_BYREF)
        return true;
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I2:
        case VT_I4:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_ERROR:
        case VT_BOOL:
        case VT_UNKNOWN:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
            return true;
        default:
            return false;
    }
}

BSTR BstrFromAscii(const std::string& text) {
    std::u16string wide(text.begin(), text.end());
    return SysAllocStringLen(wide.data(), UINT(wide.size()));
}

// The text of a BSTR as a 32-bit number: optional blanks, sign and decimal digits only.
bool NumberFromBstr(BSTR text, LONG* value) {
    std::string ascii;
    for (UINT i = 0; i < SysStringLen(text); ++i) {
        if (text[i] > 0x7F)
            return false;
        ascii += char(text[i]);
    }
    size_t first = ascii.find_first_not_of(' ');
    size_t last = ascii.find_last_not_of(' ');
    if (first == std::string::npos)
        return false;
    ascii = ascii.substr(first, last - first + 1);
    char* end = nullptr;
    errno = 0;
    long long n = std::strtoll(ascii.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || n < INT32_MIN || n > INT32_MAX)
        return false;
    *value = LONG(n);
    return true;
}

// The source as a 32-bit number, for the I4 and BOOL targets.
HRESULT ToNumber(const VARIANTARG& src, LONG* value) {
    switch (src.vt) {
        case VT_EMPTY:
            *value = 0;
            return S_OK;
        case VT_I4:
        case VT_INT:
            *value = src.lVal;
            return S_OK;
        case VT_I2:
            *value = src.iVal;
            return S_OK;
        case VT_BOOL:
            *value = src.boolVal;
            return S_OK;
        case VT_BSTR:
            return NumberFromBstr(src.bstrVal, value) ? S_OK : DISP_E_TYPEMISMATCH;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace

void VariantInit(VARIANTARG* pvarg) {
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (pvarg == nullptr)
        return E_INVALIDARG;
    if (!Known(pvarg->vt))
        return DISP_E_BADVARTYPE;
    if (pvarg->vt == VT_BSTR)
        SysFreeString(pvarg->bstrVal);
    if ((pvarg->vt == VT_UNKNOWN || pvarg->vt == VT_DISPATCH) && pvarg->punkVal != nullptr)
        pvarg->punkVal->Release();
    pvarg->vt = VT_EMPTY;
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
    if (pvargDest == nullptr || pvargSrc == nullptr)
        return E_INVALIDARG;
    if (!Known(pvargSrc->vt))
        return DISP_E_BADVARTYPE;
    if (pvargDest == pvargSrc)
        return S_OK;
    VARIANTARG copy = *pvargSrc;
    if (copy.vt == VT_BSTR && copy.bstrVal != nullptr) {
        copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(pvargSrc->bstrVal),
                                             SysStringByteLen(pvargSrc->bstrVal));
        if (copy.bstrVal == nullptr)
            return E_OUTOFMEMORY;
    }
    if (Owns(copy.vt) && copy.vt != VT_BSTR && copy.punkVal != nullptr)
        copy.punkVal->AddRef();
    HRESULT hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
        VariantClear(&copy);
        return hr;
    }
    *pvargDest = copy;
    return S_OK;
}

// Differs from Windows: only VT_EMPTY, VT_I4, VT_BSTR and VT_BOOL are targets, numbers are
// read and written in decimal without the user's locale, and wFlags is ignored (a VT_BOOL
// becomes the text "-1" or "0"; the text of a number or "True"/"False" becomes a VT_BOOL).
HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt) {
    (void)wFlags;
    if (pvargDest == nullptr || pvarSrc == nullptr)
        return E_INVALIDARG;
    if (!Known(pvarSrc->vt))
        return DISP_E_BADVARTYPE;
    VARIANTARG result;
    VariantInit(&result);
    result.vt = vt;
    LONG number = 0;
    switch (vt) {
        case VT_EMPTY:
            break;
        case VT_I4: {
            HRESULT hr = ToNumber(*pvarSrc, &number);
            if (FAILED(hr))
                return hr;
            result.lVal = number;
            break;
        }
        case VT_BOOL: {
            HRESULT hr = ToNumber(*pvarSrc, &number);
            if (hr == DISP_E_TYPEMISMATCH && pvarSrc->vt == VT_BSTR) {
                std::u16string text(pvarSrc->bstrVal, SysStringLen(pvarSrc->bstrVal));
                if (text == u"True")
                    number = 1;
                else if (text == u"False")
                    number = 0;
                else
                    return hr;
            } else if (FAILED(hr)) {
                return hr;
            }
            result.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        }
        case VT_BSTR: {
            if (pvarSrc->vt == VT_BSTR)
                return VariantCopy(pvargDest, pvarSrc);
            HRESULT hr = ToNumber(*pvarSrc, &number);
            if (FAILED(hr))
                return hr;
            result.bstrVal = pvarSrc->vt == VT_EMPTY ? SysAllocStringLen(u"", 0)
                                                     : BstrFromAscii(std::to_string(number));
            if (result.bstrVal == nullptr)
                return E_OUTOFMEMORY;
            break;
        }
        default:
            return DISP_E_BADVARTYPE;
    }
    HRESULT hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    *pvargDest = result;
    return S_OK;
}
