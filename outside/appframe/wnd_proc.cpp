// The window procedure of attached windows and the map from windows to their objects.
#include "control_site.h"
#include "wnd.h"
#include "wnd_state.h"

using appframe::ThisThread;

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto& map = ThisThread().permanent;
    auto found = map.find(hWnd);
    return found == map.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd))
        return permanent;
    auto& temporary = ThisThread().temporary;
    // Objects of windows that are gone are dropped here, as the only place that makes new ones.
    for (auto it = temporary.begin(); it != temporary.end();) {
        it = IsWindow(it->first) ? std::next(it) : temporary.erase(it);
    }
    auto& slot = temporary[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;
    }
    return slot.get();
}

CWnd* AfxWndFromHandle(HWND hWnd) {
    return CWnd::FromHandle(hWnd);
}

BOOL CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    m_hWnd = hWnd;
    ThisThread().permanent[hWnd] = this;
    ThisThread().temporary.erase(hWnd);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd)
        ThisThread().permanent.erase(hWnd);
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc)
        m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND item = pParent ? ::GetDlgItem(pParent->m_hWnd, int(nID)) : nullptr;
    return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper)
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd) {
        // The first message of a window that CreateEx is making attaches its object.
        CWnd*& creating = ThisThread().creating;
        if (!creating)
            return DefWindowProcA(hWnd, message, wParam, lParam);
        wnd = creating;
        creating = nullptr;
        wnd->Attach(hWnd);
    }
    LRESULT result;
    {
        appframe::CurrentMessage current(hWnd, message, wParam, lParam);
        result = wnd->WindowProc(message, wParam, lParam);
    }
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == wnd) {
        wnd->m_pfnSuper = nullptr;
        wnd->m_pCtrlSite = nullptr;
        delete wnd->m_pCtrlCont;
        wnd->m_pCtrlCont = nullptr;
        wnd->Detach();
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::Default() {
    const MSG& current = ThisThread().current;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper)
        return m_pfnSuper(m_hWnd, message, wParam, lParam);
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), message, 0, 0);
    if (!entry)
        return FALSE;
    LRESULT result = 0;
    if (!entry->pfn(this, wParam, lParam, &result))
        return FALSE;
    *pResult = result;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}
