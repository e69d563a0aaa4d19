// Control containment: a window (the container) hosts components as child controls. Each
// control has a site that holds the component's interfaces, gives it its persisted state,
// connects its events to the container's event-sink map and creates its window. The container
// keeps its sites until its window goes.
#pragma once

#include <map>
#include <memory>

#include "windows.h"

class CWnd;
class COleControlSite;

class COleControlContainer {
public:
    explicit COleControlContainer(CWnd* pWnd) : m_pWnd(pWnd) {}
    ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    // Creates the component clsid as control nID over rect (the container's client coordinates),
    // with the persisted state (state may be null). S_OK with the site in *ppSite, else the
    // failure: the creation's (REGDB_E_CLASSNOTREG for a class that is not registered, the
    // library's error), E_NOINTERFACE for a component that is no hosted control, E_FAIL when
    // control containment is not enabled or the state cannot be read, the window's failure.
    HRESULT CreateControl(REFCLSID clsid, UINT nID, const RECT& rect, const BYTE* state,
                          DWORD stateSize, COleControlSite** ppSite);
    COleControlSite* FindItem(UINT nID) const;

    CWnd* m_pWnd;

private:
    std::map<UINT, std::unique_ptr<COleControlSite>> m_sites;
};

class COleControlSite {
public:
    COleControlSite(COleControlContainer* pContainer, UINT nID);
    ~COleControlSite();
    COleControlSite(const COleControlSite&) = delete;
    COleControlSite& operator=(const COleControlSite&) = delete;

    HRESULT Create(REFCLSID clsid, const RECT& rect, const BYTE* state, DWORD stateSize);
    // An event of the component, for the container's event-sink map.
    HRESULT FireEvent(DISPID dispid, const DISPPARAMS* pParams);

    COleControlContainer* m_pCtrlCont;
    UINT m_nID;
    HWND m_hWnd = nullptr;
    IUnknown* m_pObject = nullptr;
    IPalHostedControl* m_pHosted = nullptr;
    IDispatch* m_pDispatch = nullptr;

private:
    class EventSink;
    EventSink* m_pSink = nullptr;
    void Release();
};

// Text of a class id ("{XXXXXXXX-...}") to the id; FALSE when it is no class id.
BOOL AfxClsidFromText(LPCSTR text, CLSID* clsid);
