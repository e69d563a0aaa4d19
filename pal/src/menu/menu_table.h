// The process's menus: each menu is a list of items behind a handle of its own range. One lock
// guards every menu; callers get copies, so no menu is read while another thread changes it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "windows.h"

namespace pal::menu {

struct Item {
    UINT flags = MF_STRING;  // the type (MF_STRING, MF_SEPARATOR, MF_POPUP) and state bits
    UINT_PTR id = 0;         // the command id; 0 for separators and submenu items
    HMENU submenu = nullptr;
    std::string text;

    bool IsSeparator() const { return (flags & MF_SEPARATOR) != 0; }
    bool IsPopup() const { return (flags & MF_POPUP) != 0; }
    bool Enabled() const { return !(flags & (MF_GRAYED | MF_DISABLED)); }
    // An item the highlight can rest on: a command or a submenu, neither greyed nor disabled.
    bool Selectable() const { return !IsSeparator() && Enabled(); }
    // A command that the pointer or Enter can choose.
    bool Choosable() const { return Selectable() && !IsPopup(); }
};

struct Menu {
    bool popup = false;  // CreatePopupMenu rather than CreateMenu
    std::vector<Item> items;
};

HMENU AddMenu(Menu menu);
// A copy of the menu; nothing for a handle that is no menu.
std::optional<Menu> FindMenu(HMENU handle);
// Appends to the menu; false when it is no menu.
bool AppendItem(HMENU handle, Item item);
// Removes the menu and the submenus of its items, deepest last; false when it is no menu.
bool RemoveMenu(HMENU handle);

// Sets ERROR_INVALID_MENU_HANDLE and returns value.
template <typename T>
T InvalidMenu(T value) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return value;
}

}  // namespace pal::menu
