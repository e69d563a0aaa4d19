// CMenu: a menu handle in an object. FromHandle gives the thread's temporary object for a
// handle (kept until the menu is destroyed); an object made by the program owns the menu it
// attaches and destroys it with itself.
#pragma once

#include "windows.h"

class CMenu {
public:
    CMenu() = default;
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }

    // Null for no handle.
    static CMenu* FromHandle(HMENU hMenu);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    UINT GetMenuItemCount() const;

private:
    bool m_bTemporary = false;  // FromHandle's: never destroys the menu
};
