// The menu calls on the process's menu table: making, filling, reading and freeing menus.
#include <cstring>
#include <deque>
#include <set>

#include "menu/menu_table.h"
#include "text/gbk_name.h"

namespace {

using pal::menu::FindMenu;
using pal::menu::InvalidMenu;
using pal::menu::Item;
using pal::menu::Menu;

// The item that a command id names in the menu or, depth first, in its submenus.
const Item* FindByCommand(const Menu& menu, UINT id, std::set<HMENU>& seen,
                          std::deque<Menu>& keep) {
    for (const Item& item : menu.items) {
        if (item.IsPopup()) {
            if (!seen.insert(item.submenu).second) {
                continue;
            }
            auto submenu = FindMenu(item.submenu);
            if (!submenu) {
                continue;
            }
            keep.push_back(std::move(*submenu));
            if (const Item* found = FindByCommand(keep.back(), id, seen, keep)) {
                return found;
            }
        } else if (!item.IsSeparator() && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

// Copies text into a buffer of cchMax bytes, never ending inside a two-byte character.
int CopyText(const std::string& text, LPSTR buffer, int cchMax) {
    if (cchMax <= 0) {
        return 0;
    }
    size_t length = 0;
    while (length < text.size()) {
        size_t next = length + pal::fs::CharLength(text, length);
        if (next > static_cast<size_t>(cchMax - 1)) {
            break;
        }
        length = next;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

}  // namespace

HMENU CreateMenu() {
    return pal::menu::AddMenu(Menu{false, {}});
}

HMENU CreatePopupMenu() {
    return pal::menu::AddMenu(Menu{true, {}});
}

BOOL DestroyMenu(HMENU hMenu) {
    return pal::menu::RemoveMenu(hMenu) ? TRUE : InvalidMenu(FALSE);
}

BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    if (!FindMenu(hMenu)) {
        return InvalidMenu(FALSE);
    }
    if (uFlags & (MF_BITMAP | MF_OWNERDRAW)) {
        SetLastError(ERROR_NOT_SUPPORTED);  // lpNewItem would be no text
        return FALSE;
    }
    Item item;
    item.flags = uFlags & (MF_SEPARATOR | MF_POPUP | MF_GRAYED | MF_DISABLED | MF_CHECKED);
    if (item.IsSeparator()) {
        item.flags = MF_SEPARATOR;
    } else {
        item.text = lpNewItem ? lpNewItem : "";
        item.id = uIDNewItem;
    }
    if (item.IsPopup()) {
        item.submenu = reinterpret_cast<HMENU>(uIDNewItem);
        if (!FindMenu(item.submenu)) {
            return InvalidMenu(FALSE);
        }
    }
    return pal::menu::AppendItem(hMenu, std::move(item)) ? TRUE : InvalidMenu(FALSE);
}

int GetMenuItemCount(HMENU hMenu) {
    auto menu = FindMenu(hMenu);
    return menu ? static_cast<int>(menu->items.size()) : InvalidMenu(-1);
}

HMENU GetSubMenu(HMENU hMenu, int nPos) {
    auto menu = FindMenu(hMenu);
    if (!menu) {
        return InvalidMenu<HMENU>(nullptr);
    }
    if (nPos < 0 || static_cast<size_t>(nPos) >= menu->items.size() ||
        !menu->items[nPos].IsPopup()) {
        return nullptr;
    }
    return menu->items[nPos].submenu;
}

int GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    auto menu = FindMenu(hMenu);
    if (!menu) {
        return InvalidMenu(0);
    }
    const Item* item = nullptr;
    std::set<HMENU> seen{hMenu};
    std::deque<Menu> keep;  // the submenus searched, kept in place while their items are read
    if (flags & MF_BYPOSITION) {
        item = uIDItem < menu->items.size() ? &menu->items[uIDItem] : nullptr;
    } else {
        item = FindByCommand(*menu, uIDItem, seen, keep);
    }
    if (!item) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return 0;
    }
    if (!lpString) {
        return static_cast<int>(item->text.size());
    }
    return CopyText(item->text, lpString, cchMax);
}
