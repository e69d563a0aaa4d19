#include "control_site.h"

#include <cstring>

#include "app.h"
#include "dispatch_object.h"
#include "wnd.h"

// The site's sink for the component's events: each goes to the container's event-sink map.
class COleControlSite::EventSink final : public appframe::DispatchObject {
public:
    explicit EventSink(COleControlSite* site) : site_(site) {}
    void Disconnect() { site_ = nullptr; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return site_ ? site_->FireEvent(id, params) : E_UNEXPECTED;
    }

private:
    COleControlSite* site_;
};

COleControlContainer::~COleControlContainer() = default;

HRESULT COleControlContainer::CreateControl(REFCLSID clsid, UINT nID, const RECT& rect,
                                            const BYTE* state, DWORD stateSize,
                                            COleControlSite** ppSite) {
    *ppSite = nullptr;
    if (!AfxControlContainerEnabled())
        return E_FAIL;
    auto site = std::make_unique<COleControlSite>(this, nID);
    HRESULT hr = site->Create(clsid, rect, state, stateSize);
    if (FAILED(hr))
        return hr;
    *ppSite = site.get();
    m_sites[nID] = std::move(site);
    return S_OK;
}

COleControlSite* COleControlContainer::FindItem(UINT nID) const {
    auto found = m_sites.find(nID);
    return found == m_sites.end() ? nullptr : found->second.get();
}

COleControlSite::COleControlSite(COleControlContainer* pContainer, UINT nID)
    : m_pCtrlCont(pContainer), m_nID(nID) {}

COleControlSite::~COleControlSite() {
    Release();
}

void COleControlSite::Release() {
    if (m_pHosted)
        m_pHosted->SetEventSink(nullptr);
    if (m_pSink) {
        m_pSink->Disconnect();
        m_pSink->Release();
        m_pSink = nullptr;
    }
    for (IUnknown** held : {reinterpret_cast<IUnknown**>(&m_pDispatch),
                            reinterpret_cast<IUnknown**>(&m_pHosted), &m_pObject}) {
        if (*held)
            (*held)->Release();
        *held = nullptr;
    }
}

HRESULT COleControlSite::Create(REFCLSID clsid, const RECT& rect, const BYTE* state,
                                DWORD stateSize) {
    // Components need the thread's component library; the framework starts it once per thread.
    thread_local bool comStarted = SUCCEEDED(CoInitialize(nullptr));
    if (!comStarted)
        return CO_E_NOTINITIALIZED;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&m_pObject));
    if (SUCCEEDED(hr))
        hr = m_pObject->QueryInterface(IID_IPalHostedControl, reinterpret_cast<void**>(&m_pHosted));
    if (SUCCEEDED(hr))
        hr = m_pObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_pDispatch));
    if (SUCCEEDED(hr) && state && stateSize > 0)
        hr = m_pHosted->LoadState(state, stateSize);
    if (SUCCEEDED(hr)) {
        m_pSink = new EventSink(this);
        hr = m_pHosted->SetEventSink(m_pSink);
    }
    if (SUCCEEDED(hr)) {
        hr = m_pHosted->CreateControlWindow(m_pCtrlCont->m_pWnd->m_hWnd, &rect, m_nID, &m_hWnd);
        if (SUCCEEDED(hr) && !m_hWnd)
            hr = E_FAIL;
    }
    if (FAILED(hr))
        Release();
    return hr;
}

HRESULT COleControlSite::FireEvent(DISPID dispid, const DISPPARAMS* pParams) {
    return m_pCtrlCont->m_pWnd->OnEvent(m_nID, dispid, pParams);
}

BOOL AfxClsidFromText(LPCSTR text, CLSID* clsid) {
    if (!text || std::strlen(text) != 38)
        return FALSE;
    OLECHAR wide[39];
    for (int i = 0; i < 39; ++i) wide[i] = OLECHAR(static_cast<unsigned char>(text[i]));
    return SUCCEEDED(CLSIDFromString(wide, clsid));
}
