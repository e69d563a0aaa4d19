#include "recording_sink.h"

#include <algorithm>

namespace flashtest {
namespace {

std::string Utf8(BSTR text) {
    std::string out;
    UINT units = SysStringLen(text);
    if (units == 0)
        return out;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, int(units), nullptr, 0, nullptr, nullptr);
    out.assign(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, int(units), out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

HRESULT STDMETHODCALLTYPE RecordingSink::QueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE RecordingSink::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RecordingSink::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE RecordingSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE RecordingSink::Invoke(DISPID id, REFIID, LCID, WORD flags,
                                                DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    RecordedEvent e{id, params == nullptr ? 0u : params->cArgs, VT_EMPTY, 0, "", flags};
    if (e.count > 0) {
        const VARIANT& first = params->rgvarg[e.count - 1];
        e.type = first.vt;
        if (first.vt == VT_I4)
            e.number = first.lVal;
        if (first.vt == VT_BSTR)
            e.text = Utf8(first.bstrVal);
    }
    events.push_back(e);
    if (id == 0xC5 && onFlashCall) {
        ++depth;
        deepest = std::max(deepest, depth);
        onFlashCall(e.text);
        --depth;
    }
    return S_OK;
}

std::vector<RecordedEvent> RecordingSink::Of(DISPID id) const {
    std::vector<RecordedEvent> of;
    for (const RecordedEvent& e : events)
        if (e.id == id)
            of.push_back(e);
    return of;
}

std::vector<std::string> RecordingSink::Requests() const {
    std::vector<std::string> requests;
    for (const RecordedEvent& e : Of(0xC5)) requests.push_back(e.text);
    return requests;
}

}  // namespace flashtest
