// Dispatch calls on a hosted control: the arguments in their VTS_ types (narrow texts become
// BSTRs), the call, the result in its type, and the dispatch exception when the call fails.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "control_site.h"
#include "dispatch.h"
#include "event_sink_map.h"
#include "wnd.h"

namespace {

BSTR WideFromNarrow(LPCSTR text) {
    if (!text || !*text)
        return SysAllocStringLen(u"", 0);
    int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (size <= 0)
        return nullptr;
    std::u16string wide(size_t(size), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size);
    return SysAllocStringLen(wide.data(), UINT(size - 1));
}

[[noreturn]] void Fail(HRESULT hr, EXCEPINFO* info) {
    std::string description;
    WORD code = 0;
    if (info) {
        if (info->scode != 0 && hr == DISP_E_EXCEPTION)
            hr = info->scode;
        description = appframe::NarrowText(info->bstrDescription);
        code = info->wCode;
        SysFreeString(info->bstrSource);
        SysFreeString(info->bstrDescription);
        SysFreeString(info->bstrHelpFile);
    }
    if (description.empty()) {
        char text[48];
        std::snprintf(text, sizeof text, "dispatch call failed: 0x%08X", unsigned(hr));
        description = text;
    }
    throw COleDispatchException(hr, description, code);
}

// Frees the arguments whatever way the call ends.
struct Arguments {
    std::vector<VARIANT> values;
    ~Arguments() {
        for (VARIANT& v : values) VariantClear(&v);
    }
};

}  // namespace

void CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                        const BYTE* pbParamInfo, ...) {
    if (!m_pCtrlSite || !m_pCtrlSite->m_pDispatch)
        Fail(E_UNEXPECTED, nullptr);
    size_t count = pbParamInfo ? std::strlen(reinterpret_cast<const char*>(pbParamInfo)) : 0;
    Arguments args;
    args.values.resize(count);
    for (VARIANT& v : args.values) VariantInit(&v);
    va_list list;
    va_start(list, pbParamInfo);
    for (size_t i = 0; i < count; ++i) {
        // Arguments go last first.
        VARIANT& v = args.values[count - 1 - i];
        switch (pbParamInfo[i]) {
            case VT_I4:
                v.vt = VT_I4;
                v.lVal = va_arg(list, LONG);
                break;
            case VT_BOOL:
                v.vt = VT_BOOL;
                v.boolVal = va_arg(list, BOOL) ? VARIANT_TRUE : VARIANT_FALSE;
                break;
            case VT_BSTR:
                v.bstrVal = WideFromNarrow(va_arg(list, LPCSTR));
                v.vt = VT_BSTR;
                if (!v.bstrVal) {
                    va_end(list);
                    Fail(DISP_E_TYPEMISMATCH, nullptr);
                }
                break;
            default:
                va_end(list);
                Fail(DISP_E_BADVARTYPE, nullptr);
        }
    }
    va_end(list);

    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{args.values.data(), nullptr, UINT(count), 0};
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    UINT argError = 0;
    HRESULT hr =
        m_pCtrlSite->m_pDispatch->Invoke(dwDispID, IID_NULL, 0, wFlags, &params,
                                         vtRet == VT_EMPTY ? nullptr : &result, &info, &argError);
    if (FAILED(hr))
        Fail(hr, &info);
    if (vtRet == VT_EMPTY || !pvRet) {
        VariantClear(&result);
        return;
    }
    hr = VariantChangeType(&result, &result, 0, vtRet);
    if (FAILED(hr)) {
        VariantClear(&result);
        Fail(hr, nullptr);
    }
    switch (vtRet) {
        case VT_I4:
            *static_cast<LONG*>(pvRet) = result.lVal;
            break;
        case VT_BOOL:
            *static_cast<BOOL*>(pvRet) = result.boolVal != VARIANT_FALSE;
            break;
        case VT_BSTR:
            *static_cast<std::string*>(pvRet) = appframe::NarrowText(result.bstrVal);
            break;
        default:
            VariantClear(&result);
            Fail(DISP_E_BADVARTYPE, nullptr);
    }
    VariantClear(&result);
}

COleControlContainer* CWnd::GetControlContainer() {
    if (!m_pCtrlCont)
        m_pCtrlCont = new COleControlContainer(this);
    return m_pCtrlCont;
}

BOOL CWnd::CreateControl(REFCLSID clsid, LPCSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                         UINT nID, const BYTE* state, DWORD stateSize) {
    if (!pParentWnd || !pParentWnd->m_hWnd || m_hWnd)
        return FALSE;
    COleControlSite* site = nullptr;
    if (FAILED(pParentWnd->GetControlContainer()->CreateControl(clsid, nID, rect, state, stateSize,
                                                                &site)))
        return FALSE;
    if (!SubclassWindow(site->m_hWnd))
        return FALSE;
    m_pCtrlSite = site;
    if (!(dwStyle & WS_VISIBLE))
        ::ShowWindow(m_hWnd, SW_HIDE);
    return TRUE;
}
