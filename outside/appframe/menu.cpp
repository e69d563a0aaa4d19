#include "menu.h"

#include <map>
#include <memory>

#include "wnd.h"

namespace {

// The thread's temporary objects, by handle.
std::map<HMENU, std::unique_ptr<CMenu>>& Temporary() {
    thread_local std::map<HMENU, std::unique_ptr<CMenu>> map;
    return map;
}

}  // namespace

CMenu::~CMenu() {
    DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (!hMenu)
        return nullptr;
    auto& temporary = Temporary();
    // Objects of menus that are gone are dropped here, as the only place that makes new ones;
    // a temporary object never owns its menu.
    for (auto it = temporary.begin(); it != temporary.end();) {
        it = ::GetMenuItemCount(it->first) < 0 ? temporary.erase(it) : std::next(it);
    }
    auto& slot = temporary[hMenu];
    if (!slot) {
        slot = std::make_unique<CMenu>();
        slot->m_hMenu = hMenu;
        slot->m_bTemporary = true;
    }
    return slot.get();
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (!hMenu || m_hMenu)
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu || m_bTemporary)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

UINT CMenu::GetMenuItemCount() const {
    return UINT(::GetMenuItemCount(m_hMenu));
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}
