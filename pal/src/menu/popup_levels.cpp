#include "menu/popup_levels.h"

#include <algorithm>

#include "menu/open_popups.h"

namespace pal::menu {
namespace {

bool Inside(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

SIZE Screen() {
    return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Moves a top-left corner right and down where the menu would begin off the screen.
POINT KeepOnScreen(POINT topLeft) {
    return POINT{std::max(0, topLeft.x), std::max(0, topLeft.y)};
}

// The first level's top-left corner: at the point, moved left or up by the menu's size where
// the menu would leave the screen there.
POINT PlaceAt(POINT point, SIZE size) {
    SIZE screen = Screen();
    POINT topLeft = point;
    if (topLeft.x + size.cx > screen.cx) {
        topLeft.x -= size.cx;
    }
    if (topLeft.y + size.cy > screen.cy) {
        topLeft.y -= size.cy;
    }
    return KeepOnScreen(topLeft);
}

// A submenu's top-left corner: right of its parent's window with its first item level with the
// parent item; left of the parent where it would leave the screen on the right, and its last
// item level with the parent item where it would leave it at the bottom.
POINT PlaceBeside(const RECT& parent, const RECT& item, SIZE size) {
    SIZE screen = Screen();
    POINT topLeft{parent.right, item.top - kBorder};
    if (topLeft.x + size.cx > screen.cx) {
        topLeft.x = parent.left - size.cx;
    }
    if (topLeft.y + size.cy > screen.cy) {
        topLeft.y = item.bottom + kBorder - size.cy;
    }
    return KeepOnScreen(topLeft);
}

RECT WindowRect(const Popup& popup) {
    RECT window{};
    GetWindowRect(popup.window, &window);
    return window;
}

RECT ToScreen(const RECT& rect, const RECT& window) {
    return RECT{rect.left + window.left, rect.top + window.top, rect.right + window.left,
                rect.bottom + window.top};
}

void PublishState(const Popup& popup) {
    RECT window = WindowRect(popup);
    PalPopupMenu state{popup.window,         popup.owner, popup.handle,
                       GetCurrentThreadId(), popup.hot,   {}};
    for (size_t i = 0; i < popup.menu.items.size(); ++i) {
        const Item& item = popup.menu.items[i];
        state.items.push_back(
            PalPopupMenuItem{item.IsPopup() ? reinterpret_cast<UINT_PTR>(item.submenu) : item.id,
                             item.flags, item.text, ToScreen(popup.layout.rects[i], window)});
    }
    Publish(state);
}

}  // namespace

int NextSelectable(const Menu& menu, int from, int step) {
    int count = static_cast<int>(menu.items.size());
    int i = from;
    for (int tried = 0; tried < count; ++tried) {
        i = i < 0 ? (step > 0 ? 0 : count - 1) : (i + step + count) % count;
        if (menu.items[i].Selectable()) {
            return i;
        }
    }
    return from;
}

bool PopupLevels::OpenRoot(HMENU handle, Menu menu, POINT point) {
    CloseFrom(0);
    return Open(handle, std::move(menu), point, nullptr, -1);
}

bool PopupLevels::OpenSubmenu(int item, int hot) {
    if (levels_.empty()) {
        return false;
    }
    const Popup& parent = Deepest();
    if (item < 0 || static_cast<size_t>(item) >= parent.menu.items.size() ||
        !parent.menu.items[item].IsPopup()) {
        return false;
    }
    HMENU handle = parent.menu.items[item].submenu;
    auto menu = FindMenu(handle);
    if (!menu) {
        return false;
    }
    RECT beside = ToScreen(parent.layout.rects[item], WindowRect(parent));
    return Open(handle, std::move(*menu), POINT{}, &beside, hot);
}

bool PopupLevels::Open(HMENU handle, Menu menu, POINT point, const RECT* beside, int hot) {
    auto popup = std::make_unique<Popup>();
    popup->handle = handle;
    popup->menu = std::move(menu);
    popup->owner = owner_;
    popup->font = font_;
    popup->layout = LayOut(popup->menu, font_);
    popup->hot = hot;
    POINT topLeft = beside ? PlaceBeside(WindowRect(Deepest()), *beside, popup->layout.size)
                           : PlaceAt(point, popup->layout.size);
    popup->window = CreatePopupWindow(popup.get(), topLeft);
    if (!popup->window) {
        return false;
    }
    ShowWindow(popup->window, SW_SHOWNA);
    UpdateWindow(popup->window);
    PublishState(*popup);
    levels_.push_back(std::move(popup));
    return true;
}

void PopupLevels::CloseFrom(size_t level) {
    while (levels_.size() > level) {
        HWND window = levels_.back()->window;
        Withdraw(window);
        DestroyWindow(window);
        levels_.pop_back();
    }
}

PopupHit PopupLevels::HitAt(POINT screen) const {
    for (size_t level = levels_.size(); level-- > 0;) {
        const Popup& popup = *levels_[level];
        RECT window = WindowRect(popup);
        if (!Inside(window, screen)) {
            continue;
        }
        POINT point{screen.x - window.left, screen.y - window.top};
        for (size_t i = 0; i < popup.layout.rects.size(); ++i) {
            if (Inside(popup.layout.rects[i], point)) {
                return PopupHit{static_cast<int>(level), static_cast<int>(i)};
            }
        }
        return PopupHit{static_cast<int>(level), -1};
    }
    return PopupHit{};
}

void PopupLevels::SetHot(size_t level, int hot) {
    Popup& popup = At(level);
    if (hot == popup.hot) {
        return;
    }
    popup.hot = hot;
    InvalidateRect(popup.window, nullptr, FALSE);
    PublishState(popup);
}

}  // namespace pal::menu
