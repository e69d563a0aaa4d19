// A hosted control for the containment tests, registered in a test's own components.ini:
// - its window records the button presses that reach its own procedure ("rdown;rup;ldown;");
// - Invoke records every call ("0x11 put I4:3", texts as UTF-8) and answers:
//   0x10 method: the record so far, as a text; 0x11 put: keeps an I4; 0x12 method: gives it;
//   0x13 method (BSTR): gives the text back; 0x14 method: fails with DISP_E_EXCEPTION and the
//   description "refused"; 0x15 method (dispid, ...): fires event dispid with the remaining
//   arguments; any other id below 0x100: recorded, and a method gives the kept I4; ids from
//   0x100 on: DISP_E_MEMBERNOTFOUND;
// - LoadState records the state's size and first byte; a state whose first byte is 0xFF fails.
#include <string>

#include "dispatch_object.h"
#include "windows.h"

namespace {

std::string Utf8(BSTR text) {
    UINT length = SysStringLen(text);
    if (length == 0)
        return "";
    char out[512] = "";
    int n =
        WideCharToMultiByte(CP_UTF8, 0, text, int(length), out, sizeof out - 1, nullptr, nullptr);
    return std::string(out, n > 0 ? size_t(n) : 0);
}

std::string Describe(const VARIANT& v) {
    switch (v.vt) {
        case VT_I4:
            return "I4:" + std::to_string(v.lVal);
        case VT_BOOL:
            return "BOOL:" + std::to_string(v.boolVal);
        case VT_BSTR:
            return "BSTR:" + Utf8(v.bstrVal);
        default:
            return "VT" + std::to_string(v.vt);
    }
}

std::string& RightClicks() {
    static std::string seen;
    return seen;
}

LRESULT CALLBACK ControlProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_RBUTTONDOWN)
        RightClicks() += "rdown;";
    if (message == WM_RBUTTONUP)
        RightClicks() += "rup;";
    if (message == WM_LBUTTONDOWN)
        RightClicks() += "ldown;";
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class Control final : public appframe::DispatchObject, public IPalHostedControl {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        return DispatchObject::QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT*) override;

    HRESULT STDMETHODCALLTYPE LoadState(const BYTE* data, DWORD size) override {
        record_ += "state " + std::to_string(size) + " " + std::to_string(data[0]) + ";";
        return data[0] == 0xFF ? E_FAIL : S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetEventSink(IDispatch* sink) override {
        if (sink_)
            sink_->Release();
        sink_ = sink;
        if (sink_)
            sink_->AddRef();
        record_ += sink ? "sink;" : "nosink;";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateControlWindow(HWND parent, const RECT* rect, UINT id,
                                                  HWND* phwnd) override {
        static ATOM atom = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &ControlProc;
            wc.lpszClassName = "AppframeTestControl";
            return RegisterClassA(&wc);
        }();
        (void)atom;
        *phwnd =
            CreateWindowExA(0, "AppframeTestControl", "", WS_CHILD | WS_VISIBLE, rect->left,
                            rect->top, rect->right - rect->left, rect->bottom - rect->top, parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
        return *phwnd ? S_OK : E_FAIL;
    }

private:
    ~Control() override {
        if (sink_)
            sink_->Release();
    }
    void* QueryMore(REFIID riid) override {
        return riid == IID_IPalHostedControl ? static_cast<IPalHostedControl*>(this) : nullptr;
    }
    std::string record_;
    LONG number_ = 0;
    IDispatch* sink_ = nullptr;
};

BSTR Text(const std::string& utf8) {
    OLECHAR wide[512];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide, 511);
    return SysAllocStringLen(wide, UINT(n > 0 ? n : 0));
}

HRESULT Control::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* info, UINT*) {
    std::string line = "0x" + [&] {
        char hex[16];
        snprintf(hex, sizeof hex, "%X", unsigned(id));
        return std::string(hex);
    }();
    line += (flags & DISPATCH_PROPERTYPUT) ? " put" : " method";
    if (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT)
        line += " named";
    for (UINT i = params->cArgs; i > 0; --i) line += " " + Describe(params->rgvarg[i - 1]);
    if (id != 0x10 && id < 0x100)
        record_ += line + ";";
    switch (id) {
        case 0x10:
            result->vt = VT_BSTR;
            result->bstrVal = Text(record_);
            return S_OK;
        case 0x11:
            if (params->cArgs != 1 || params->rgvarg[0].vt != VT_I4)
                return DISP_E_TYPEMISMATCH;
            number_ = params->rgvarg[0].lVal;
            return S_OK;
        case 0x12:
            result->vt = VT_I4;
            result->lVal = number_;
            return S_OK;
        case 0x13:
            if (params->cArgs != 1)
                return DISP_E_BADPARAMCOUNT;
            return VariantCopy(result, &params->rgvarg[0]);
        case 0x14:
            info->scode = DISP_E_EXCEPTION;
            info->bstrDescription = Text("refused");
            return DISP_E_EXCEPTION;
        case 0x15: {
            if (params->cArgs < 1 || !sink_)
                return DISP_E_BADPARAMCOUNT;
            DISPPARAMS event{params->rgvarg, nullptr, params->cArgs - 1, 0};
            HRESULT fired = sink_->Invoke(params->rgvarg[params->cArgs - 1].lVal, IID_NULL, 0,
                                          DISPATCH_METHOD, &event, nullptr, nullptr, nullptr);
            if (result) {
                result->vt = VT_I4;
                result->lVal = fired;
            }
            return S_OK;
        }
        default:
            if (id >= 0x100)
                return DISP_E_MEMBERNOTFOUND;
            if (result && (flags & DISPATCH_METHOD)) {
                result->vt = VT_I4;
                result->lVal = number_;
            }
            return S_OK;
    }
}

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Control* control = new Control;
        HRESULT hr = control->QueryInterface(riid, ppv);
        control->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid,
                                                                            REFIID riid,
                                                                            LPVOID* ppv) {
    // The control serves whichever class id a test registers it under (its own, or that of the
    // control a client test stands it in for).
    (void)clsid;
    static Factory factory;
    return factory.QueryInterface(riid, ppv);
}

// What reached the control window's own procedure, for the wrapper tests; cleared by the call.
extern "C" __attribute__((visibility("default"))) const char* AppframeTestControlClicks() {
    static std::string taken;
    taken = RightClicks();
    RightClicks().clear();
    return taken.c_str();
}
