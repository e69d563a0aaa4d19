// The control's dispatch interface: the five calls with their kinds, argument and result types.
// A call of the wrong kind is DISP_E_MEMBERNOTFOUND, a wrong count DISP_E_BADPARAMCOUNT, a
// named argument other than a put's value DISP_E_PARAMNOTFOUND, an argument of another type
// DISP_E_TYPEMISMATCH (with its position in *argErr); a call that fails is DISP_E_EXCEPTION with
// the reason in the EXCEPINFO.
#include "flash_control.h"
#include "installation.h"
#include "text_convert.h"

namespace flash {
namespace {

enum class Kind { kProperty, kMethod };

struct Member {
    DISPID id;
    Kind kind;
    VARTYPE argument;  // a property's value, or the method's one argument; VT_EMPTY: none
    VARTYPE result;    // a property's value as read, or the method's result; VT_EMPTY: none
};

constexpr Member kMembers[] = {
    {kDispMovie, Kind::kProperty, VT_BSTR, VT_BSTR},
    {kDispScaleMode, Kind::kProperty, VT_I4, VT_I4},
    {kDispFlashVersion, Kind::kMethod, VT_EMPTY, VT_I4},
    {kDispBGColor, Kind::kProperty, VT_BSTR, VT_BSTR},
    {kDispSetReturnValue, Kind::kMethod, VT_BSTR, VT_EMPTY},
};

const Member* FindMember(DISPID id) {
    for (const Member& m : kMembers)
        if (m.id == id)
            return &m;
    return nullptr;
}

enum class Use { kPut, kGet, kCall };

// How the flags use the member, or nothing when it has no such kind. Property gets may come
// with DISPATCH_METHOD set as well, as script hosts send them.
std::optional<Use> UseOf(const Member& m, WORD flags) {
    if (m.kind == Kind::kProperty) {
        if (flags & DISPATCH_PROPERTYPUT)
            return Use::kPut;
        if (flags & DISPATCH_PROPERTYGET)
            return Use::kGet;
        return std::nullopt;
    }
    if (flags & DISPATCH_METHOD)
        return Use::kCall;
    return std::nullopt;
}

HRESULT CheckArguments(const Member& m, Use use, const DISPPARAMS* params, UINT* argErr) {
    const UINT wanted = use == Use::kPut || (use == Use::kCall && m.argument != VT_EMPTY) ? 1 : 0;
    const UINT named = params == nullptr ? 0 : params->cNamedArgs;
    const UINT count = params == nullptr ? 0 : params->cArgs;
    if (named > 0) {
        bool putValue = use == Use::kPut && named == 1 && params->rgdispidNamedArgs != nullptr &&
                        params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
        if (!putValue)
            return DISP_E_PARAMNOTFOUND;
    }
    if (count != wanted)
        return DISP_E_BADPARAMCOUNT;
    if (wanted == 1 && params->rgvarg[0].vt != m.argument) {
        if (argErr != nullptr)
            *argErr = 0;
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

}  // namespace

HRESULT FailCall(EXCEPINFO* excepInfo, const std::string& reason) {
    if (excepInfo != nullptr) {
        *excepInfo = EXCEPINFO{};
        excepInfo->bstrSource = Utf8ToBstr("Flash control");
        excepInfo->bstrDescription = Utf8ToBstr(reason);
        excepInfo->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

HRESULT STDMETHODCALLTYPE FlashControl::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr)
        return E_INVALIDARG;
    *pctinfo = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FlashControl::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo != nullptr)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

// The calls are made by dispatch id only.
HRESULT STDMETHODCALLTYPE FlashControl::GetIDsOfNames(REFIID, LPOLESTR*, UINT cNames, LCID,
                                                      DISPID* ids) {
    for (UINT i = 0; ids != nullptr && i < cNames; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE FlashControl::Invoke(DISPID id, REFIID riid, LCID, WORD flags,
                                               DISPPARAMS* params, VARIANT* result,
                                               EXCEPINFO* excepInfo, UINT* argErr) {
    if (!(riid == IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    const Member* m = FindMember(id);
    if (m == nullptr)
        return DISP_E_MEMBERNOTFOUND;
    std::optional<Use> use = UseOf(*m, flags);
    if (!use)
        return DISP_E_MEMBERNOTFOUND;
    HRESULT hr = CheckArguments(*m, *use, params, argErr);
    if (FAILED(hr))
        return hr;
    const VARIANT* value =
        *use == Use::kGet || m->argument == VT_EMPTY ? nullptr : &params->rgvarg[0];
    if (*use == Use::kPut) {
        switch (id) {
            case kDispMovie:
                return PutMovie(value->bstrVal, excepInfo);
            case kDispScaleMode:
                scaleMode_ = value->lVal;
                if (hwnd_ != nullptr)
                    InvalidateRect(hwnd_, nullptr, TRUE);
                return S_OK;
            default:
                return PutBGColor(value->bstrVal, excepInfo);
        }
    }
    if (id == kDispSetReturnValue)
        return SetReturnValue(value->bstrVal, excepInfo);
    if (result == nullptr)
        return S_OK;
    VariantInit(result);
    result->vt = m->result;
    switch (id) {
        case kDispFlashVersion:
            result->lVal = LONG(ConfiguredVersion(installFolder_));
            return S_OK;
        case kDispScaleMode:
            result->lVal = scaleMode_;
            return S_OK;
        default:
            result->bstrVal = Utf8ToBstr(id == kDispMovie ? movie_ : bgColorText_);
            return result->bstrVal == nullptr ? E_OUTOFMEMORY : S_OK;
    }
}

}  // namespace flash
