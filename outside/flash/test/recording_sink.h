// Test support: an event sink that records every event the control fires, with its parameters,
// and can answer FlashCall requests through the control's SetReturnValue.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "windows.h"

namespace flashtest {

struct RecordedEvent {
    DISPID id;
    UINT count;        // parameters
    VARTYPE type;      // of the first parameter
    LONG number;       // a VT_I4 parameter
    std::string text;  // a VT_BSTR parameter, as UTF-8
    WORD flags;
};

class RecordingSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     UINT* argErr) override;

    // The events of one id, in order.
    std::vector<RecordedEvent> Of(DISPID id) const;
    // The requests of the FlashCall events, in order.
    std::vector<std::string> Requests() const;

    std::vector<RecordedEvent> events;
    // Called for each FlashCall with its request, inside the event.
    std::function<void(const std::string& request)> onFlashCall;
    int depth = 0;    // FlashCall handlers running now
    int deepest = 0;  // the most that ever ran at once
    ULONG refs = 1;   // owned by the test; the control's references are counted only
};

}  // namespace flashtest
