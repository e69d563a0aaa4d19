// A component library that the creation tests register: its class factory makes an object
// whose IDispatch answers method 1 with the number 42 and keeps property 2's last value.
#include <atomic>

#include "windows.h"

namespace {

// {8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}
constexpr CLSID kClass = {
    0x8A1F0C2E, 0x5B3D, 0x4E6F, {0x9A, 0x7B, 0x1C, 0x2D, 0x3E, 0x4F, 0x50, 0x61}};

class Sample final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id == 1 && (flags & DISPATCH_METHOD)) {
            if (result != nullptr) {
                result->vt = VT_I4;
                result->lVal = 42;
            }
            return S_OK;
        }
        if (id == 2 && (flags & DISPATCH_PROPERTYPUT)) {
            if (params->cArgs != 1)
                return DISP_E_BADPARAMCOUNT;
            return VariantCopy(&last_, &params->rgvarg[0]);
        }
        if (id == 2 && (flags & DISPATCH_PROPERTYGET))
            return VariantCopy(result, &last_);
        return DISP_E_MEMBERNOTFOUND;
    }
    ~Sample() { VariantClear(&last_); }

private:
    std::atomic<ULONG> refs_{1};
    VARIANT last_{};
};

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
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        Sample* object = new Sample;
        HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* ppv) {
    if (!(clsid == kClass))
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, ppv);
}
