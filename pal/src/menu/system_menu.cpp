// GetSystemMenu: each window's own copy of the system menu, made on first use.
#include <map>
#include <mutex>

#include "desktop/desktop_call.h"
#include "menu/menu_table.h"

namespace {

struct StandardItem {
    UINT id;
    const char* text;  // UTF-8; the menu holds it as GBK
};

constexpr StandardItem kStandardItems[] = {
    {SC_RESTORE, "还原(&R)"}, {SC_MOVE, "移动(&M)"},     {SC_SIZE, "大小(&S)"},
    {SC_MINIMIZE, "最小化(&N)"}, {SC_MAXIMIZE, "最大化(&X)"}, {0, nullptr},  // a separator
    {SC_CLOSE, "关闭(&C)\tAlt+F4"},
};

HMENU MakeSystemMenu() {
    HMENU menu = CreatePopupMenu();
    for (const StandardItem& item : kStandardItems) {
        if (item.text) {
            AppendMenuA(menu, MF_STRING, item.id, PalGbk(item.text));
        } else {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        }
    }
    return menu;
}

struct Copies {
    std::mutex lock;
    std::map<HWND, HMENU> menus;
};

Copies& TheCopies() {
    static Copies* copies = new Copies;  // never destroyed: windows may go at exit
    return *copies;
}

// The copies of windows that are gone are freed.
void DropCopiesOfGoneWindowsLocked(Copies& copies) {
    std::erase_if(copies.menus, [](const auto& entry) {
        if (pal::DesktopWindow(entry.first)) {
            return false;
        }
        DestroyMenu(entry.second);
        return true;
    });
}

}  // namespace

// Differs from Windows: the copy of a window that is gone is freed at the next GetSystemMenu
// call of the process, not with the window.
HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) {
    Copies& copies = TheCopies();
    std::lock_guard<std::mutex> guard(copies.lock);
    DropCopiesOfGoneWindowsLocked(copies);
    auto window = pal::WindowOrFail(hWnd);
    if (!window) {
        return nullptr;
    }
    auto it = copies.menus.find(hWnd);
    if (bRevert) {
        if (it != copies.menus.end()) {
            DestroyMenu(it->second);
            copies.menus.erase(it);
        }
        return nullptr;
    }
    if (!(window->Style() & WS_SYSMENU)) {
        return nullptr;
    }
    if (it == copies.menus.end() || !pal::menu::FindMenu(it->second)) {
        it = copies.menus.insert_or_assign(hWnd, MakeSystemMenu()).first;
    }
    return it->second;
}
