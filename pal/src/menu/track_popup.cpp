// TrackPopupMenu: shows the popup in its window and runs the menu's own loop on the calling
// thread until an item is chosen or the menu is dismissed.
#include <algorithm>
#include <optional>

#include "desktop/desktop_call.h"
#include "menu/open_popups.h"
#include "menu/popup_window.h"

namespace pal::menu {
namespace {

thread_local bool tracking = false;

bool Inside(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

// The top-left corner: at the point, moved left or up by the menu's size where the menu would
// leave the screen there, and kept on the screen.
POINT Place(POINT point, SIZE size) {
    POINT topLeft = point;
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (topLeft.x + size.cx > width) {
        topLeft.x -= size.cx;
    }
    if (topLeft.y + size.cy > height) {
        topLeft.y -= size.cy;
    }
    topLeft.x = std::max(0, topLeft.x);
    topLeft.y = std::max(0, topLeft.y);
    return topLeft;
}

void PublishState(const Popup& popup) {
    RECT window;
    GetWindowRect(popup.window, &window);
    PalPopupMenu state{popup.window, popup.owner, popup.handle, GetCurrentThreadId(),
                       popup.hot, {}};
    for (size_t i = 0; i < popup.menu.items.size(); ++i) {
        const Item& item = popup.menu.items[i];
        RECT rect = popup.layout.rects[i];
        rect = RECT{rect.left + window.left, rect.top + window.top, rect.right + window.left,
                    rect.bottom + window.top};
        state.items.push_back(PalPopupMenuItem{item.id, item.flags, item.text, rect});
    }
    Publish(state);
}

class Tracker {
public:
    Tracker(Popup& popup, UINT flags) : popup_(popup), flags_(flags) {}

    // Runs the loop; the chosen command, or nothing when the menu was dismissed.
    std::optional<UINT_PTR> Run();

private:
    enum class Step { kGoOn, kChoose, kDismiss };
    Step OnMouse(const MSG& msg);
    Step OnKey(const MSG& msg);
    // The item under a screen point, -1 for none.
    int ItemAt(POINT screen);
    void SetHot(int hot);
    int NextChoosable(int from, int step);

    Popup& popup_;
    const UINT flags_;
};

int Tracker::ItemAt(POINT screen) {
    RECT window;
    GetWindowRect(popup_.window, &window);
    POINT point{screen.x - window.left, screen.y - window.top};
    for (size_t i = 0; i < popup_.layout.rects.size(); ++i) {
        if (Inside(popup_.layout.rects[i], point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Tracker::SetHot(int hot) {
    if (hot == popup_.hot) {
        return;
    }
    popup_.hot = hot;
    InvalidateRect(popup_.window, nullptr, FALSE);
    PublishState(popup_);
}

int Tracker::NextChoosable(int from, int step) {
    int count = static_cast<int>(popup_.menu.items.size());
    int i = from;
    for (int tried = 0; tried < count; ++tried) {
        i = i < 0 ? (step > 0 ? 0 : count - 1) : (i + step + count) % count;
        if (popup_.menu.items[i].Choosable()) {
            return i;
        }
    }
    return from;
}

Tracker::Step Tracker::OnMouse(const MSG& msg) {
    RECT window;
    GetWindowRect(popup_.window, &window);
    bool inside = Inside(window, msg.pt);
    int item = ItemAt(msg.pt);
    bool choosable = item >= 0 && popup_.menu.items[item].Choosable();
    switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
            if (!inside) {
                return Step::kDismiss;
            }
            SetHot(choosable ? item : -1);
            return Step::kGoOn;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (msg.message == WM_RBUTTONUP && !(flags_ & TPM_RIGHTBUTTON)) {
                return Step::kGoOn;
            }
            if (choosable) {
                SetHot(item);
                return Step::kChoose;
            }
            return Step::kGoOn;
        default:  // a move
            SetHot(choosable ? item : -1);
            return Step::kGoOn;
    }
}

Tracker::Step Tracker::OnKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) {
        return Step::kGoOn;  // releases and characters are the menu's too
    }
    switch (msg.wParam) {
        case VK_DOWN:
            SetHot(NextChoosable(popup_.hot, 1));
            return Step::kGoOn;
        case VK_UP:
            SetHot(NextChoosable(popup_.hot, -1));
            return Step::kGoOn;
        case VK_RETURN:
            return popup_.hot >= 0 ? Step::kChoose : Step::kDismiss;
        case VK_ESCAPE:
            return Step::kDismiss;
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
    SetCapture(popup_.window);
    MSG msg;
    Step step = Step::kGoOn;
    while (step == Step::kGoOn) {
        if (GetCapture() != popup_.window || !IsWindow(popup_.owner)) {
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
    if (GetCapture() == popup_.window) {
        ReleaseCapture();
    }
    if (step == Step::kChoose) {
        return popup_.menu.items[popup_.hot].id;
    }
    return std::nullopt;
}

}  // namespace
}  // namespace pal::menu

// Differs from Windows: a submenu item is shown but not opened; no mnemonics and no menu
// notifications (WM_INITMENUPOPUP, WM_MENUSELECT, WM_ENTERMENULOOP).
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
    Popup popup;
    popup.handle = hMenu;
    popup.menu = std::move(*menu);
    popup.owner = hWnd;
    popup.font = CreateMenuFont();
    popup.layout = LayOut(popup.menu, popup.font);
    popup.window = CreatePopupWindow(&popup, Place(POINT{x, y}, popup.layout.size));
    if (!popup.window) {
        DeleteObject(popup.font);
        return FALSE;
    }
    tracking = true;
    ShowWindow(popup.window, SW_SHOWNA);
    UpdateWindow(popup.window);
    PublishState(popup);
    std::optional<UINT_PTR> chosen = Tracker(popup, uFlags).Run();
    Withdraw(popup.window);
    DestroyWindow(popup.window);
    DeleteObject(popup.font);
    tracking = false;
    if (uFlags & TPM_RETURNCMD) {
        return chosen ? static_cast<BOOL>(*chosen) : 0;
    }
    if (chosen) {
        PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(*chosen, 0), 0);
    }
    return TRUE;
}
