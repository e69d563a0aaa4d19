// TrackPopupMenu: shows the popup in its window and runs the menu's own loop on the calling
// thread until an item of it, or of a submenu opened from it, is chosen or the menu is
// dismissed.
#include <optional>

#include "desktop/desktop_call.h"
#include "menu/popup_levels.h"

namespace pal::menu {
namespace {

thread_local bool tracking = false;

// The loop of one tracked menu. The first level's window holds the capture throughout, so all
// pointer input reaches the loop; the keys act on the deepest open level.
class Tracker {
public:
    Tracker(PopupLevels& levels, UINT flags) : levels_(levels), flags_(flags) {}

    // Runs the loop; the chosen command, or nothing when the menu was dismissed.
    std::optional<UINT_PTR> Run();

private:
    enum class Step { kGoOn, kChoose, kDismiss };
    Step OnMouse(const MSG& msg);
    Step OnKey(const MSG& msg);
    // The pointer on an item of a level (or on none of its items): highlights it, opens its
    // submenu, closes the levels it leaves.
    void Point(PopupHit hit);
    // Opens the submenu of the deepest level's item with its first item highlighted.
    void OpenByKey(int item);
    // Closes the deepest level; the whole menu when that is the first.
    Step Back();
    Step Choose(size_t level, int item);

    PopupLevels& levels_;
    const UINT flags_;
    UINT_PTR chosen_ = 0;
};

void Tracker::Point(PopupHit hit) {
    const size_t level = static_cast<size_t>(hit.level);
    const Popup& popup = levels_.At(level);
    const Item* item = hit.item >= 0 ? &popup.menu.items[hit.item] : nullptr;
    if (!item || !item->Selectable()) {
        levels_.CloseFrom(level + 1);
        levels_.SetHot(level, -1);
        return;
    }
    const bool itsSubmenuOpen = item->IsPopup() && popup.hot == hit.item &&
                                levels_.Count() > level + 1 &&
                                levels_.At(level + 1).handle == item->submenu;
    levels_.CloseFrom(itsSubmenuOpen ? level + 2 : level + 1);
    levels_.SetHot(level, hit.item);
    if (item->IsPopup() && !itsSubmenuOpen) {
        levels_.OpenSubmenu(hit.item, -1);
    }
}

void Tracker::OpenByKey(int item) {
    auto submenu = FindMenu(levels_.Deepest().menu.items[item].submenu);
    if (submenu) {
        levels_.OpenSubmenu(item, NextSelectable(*submenu, -1, 1));
    }
}

Tracker::Step Tracker::Back() {
    if (levels_.Count() <= 1) {
        return Step::kDismiss;
    }
    levels_.CloseFrom(levels_.Count() - 1);
    return Step::kGoOn;
}

Tracker::Step Tracker::Choose(size_t level, int item) {
    levels_.SetHot(level, item);
    chosen_ = levels_.At(level).menu.items[item].id;
    return Step::kChoose;
}

Tracker::Step Tracker::OnMouse(const MSG& msg) {
    PopupHit hit = levels_.HitAt(msg.pt);
    switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
            if (hit.level < 0) {
                return Step::kDismiss;
            }
            Point(hit);
            return Step::kGoOn;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (msg.message == WM_RBUTTONUP && !(flags_ & TPM_RIGHTBUTTON)) {
                return Step::kGoOn;
            }
            if (hit.level >= 0 && hit.item >= 0 &&
                levels_.At(hit.level).menu.items[hit.item].Choosable()) {
                return Choose(hit.level, hit.item);
            }
            return Step::kGoOn;
        default:  // a move
            if (hit.level >= 0) {
                Point(hit);
            } else {
                levels_.SetHot(levels_.Count() - 1, -1);
            }
            return Step::kGoOn;
    }
}

Tracker::Step Tracker::OnKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) {
        return Step::kGoOn;  // releases and characters are the menu's too
    }
    const size_t level = levels_.Count() - 1;
    Popup& popup = levels_.Deepest();
    const int hot = popup.hot;
    const bool onSubmenu = hot >= 0 && popup.menu.items[hot].IsPopup();
    switch (msg.wParam) {
        case VK_DOWN:
        case VK_UP:
            levels_.SetHot(level, NextSelectable(popup.menu, hot, msg.wParam == VK_DOWN ? 1 : -1));
            return Step::kGoOn;
        case VK_RIGHT:
            if (onSubmenu) {
                OpenByKey(hot);
            }
            return Step::kGoOn;
        case VK_RETURN:
            if (hot < 0) {
                return Back();
            }
            if (onSubmenu) {
                OpenByKey(hot);
                return Step::kGoOn;
            }
            return Choose(level, hot);
        case VK_LEFT:
            return levels_.Count() > 1 ? Back() : Step::kGoOn;
        case VK_ESCAPE:
            return Back();
        default:
            return Step::kGoOn;
    }
}

bool IsMouseMessage(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCRBUTTONDBLCLK);
}

bool IsKeyMessage(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

std::optional<UINT_PTR> Tracker::Run() {
    const HWND first = levels_.At(0).window;
    const HWND owner = levels_.At(0).owner;
    SetCapture(first);
    MSG msg;
    Step step = Step::kGoOn;
    while (step == Step::kGoOn) {
        if (GetCapture() != first || !IsWindow(owner)) {
            step = Step::kDismiss;
            break;
        }
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
            }
            step = Step::kDismiss;
        } else if (IsMouseMessage(msg.message)) {
            step = OnMouse(msg);
        } else if (IsKeyMessage(msg.message)) {
            step = OnKey(msg);
        } else {
            DispatchMessageA(&msg);
        }
    }
    if (GetCapture() == first) {
        ReleaseCapture();
    }
    if (step == Step::kChoose) {
        return chosen_;
    }
    return std::nullopt;
}

}  // namespace
}  // namespace pal::menu

// Differs from Windows: no mnemonics and no menu notifications (WM_INITMENUPOPUP,
// WM_MENUSELECT, WM_ENTERMENULOOP); a submenu opens as soon as the pointer is on its item.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*) {
    using namespace pal::menu;
    auto menu = FindMenu(hMenu);
    if (!menu) {
        return InvalidMenu(FALSE);
    }
    auto owner = pal::WindowOrFail(hWnd);
    if (!owner) {
        return FALSE;
    }
    if (owner->threadId != GetCurrentThreadId()) {
        return pal::FailWith(ERROR_WINDOW_OF_OTHER_THREAD, FALSE);
    }
    if (tracking) {
        return pal::FailWith(ERROR_POPUP_ALREADY_ACTIVE, FALSE);
    }
    HFONT font = CreateMenuFont();
    std::optional<UINT_PTR> chosen;
    {
        PopupLevels levels(hWnd, font);
        if (!levels.OpenRoot(hMenu, std::move(*menu), POINT{x, y})) {
            DeleteObject(font);
            return FALSE;
        }
        tracking = true;
        chosen = Tracker(levels, uFlags).Run();
    }  // every level closed
    DeleteObject(font);
    tracking = false;
    if (uFlags & TPM_RETURNCMD) {
        return chosen ? static_cast<BOOL>(*chosen) : 0;
    }
    if (chosen) {
        PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(*chosen, 0), 0);
    }
    return TRUE;
}
