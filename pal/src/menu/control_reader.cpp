// The open popup menus as the control socket reports them, registered when the layer loads.
#include "windows.h"

namespace {

std::vector<PalControlMenu> OpenMenus() {
    std::vector<PalControlMenu> menus;
    for (const PalPopupMenu& open : PalOpenPopupMenus()) {
        PalControlMenu menu;
        menu.window = open.popup;
        GetWindowRect(open.popup, &menu.rect);  // left empty when the popup has just closed
        for (size_t i = 0; i < open.items.size(); ++i) {
            const PalPopupMenuItem& shown = open.items[i];
            PalControlMenuItem item;
            item.id = (shown.flags & (MF_POPUP | MF_SEPARATOR)) ? 0 : static_cast<UINT>(shown.id);
            item.text = shown.text;
            item.rect = shown.rect;
            item.flags = shown.flags;
            item.highlighted = static_cast<int>(i) == open.hot;
            menu.items.push_back(std::move(item));
        }
        menus.push_back(std::move(menu));
    }
    return menus;
}

[[maybe_unused]] const bool kMenuReaderRegistered = (PalSetControlMenuReader(&OpenMenus), true);

}  // namespace
