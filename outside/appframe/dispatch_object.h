// The common part of the automation objects the framework and its tests make: a reference
// count, QueryInterface for IUnknown and IDispatch (and whatever more the object answers in
// QueryMore), and no type information.
#pragma once

#include <atomic>

#include "windows.h"

namespace appframe {

class DispatchObject : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        *ppv = (riid == IID_IUnknown || riid == IID_IDispatch) ? static_cast<IDispatch*>(this)
                                                               : QueryMore(riid);
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
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

protected:
    virtual ~DispatchObject() = default;
    // Another interface the object gives, or null.
    virtual void* QueryMore(REFIID) { return nullptr; }

private:
    std::atomic<ULONG> refs_{1};
};

}  // namespace appframe
