#include "shell/notify_area.h"

#include <algorithm>
#include <cstdlib>

namespace pal::shell {
namespace {

bool Inside(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

}  // namespace

NotifyArea& NotifyArea::Get() {
    static NotifyArea* area = new NotifyArea;  // never destroyed: icons may go at exit
    return *area;
}

bool NotifyArea::Add(const NotifyIcon& icon) {
    std::lock_guard<std::mutex> guard(lock_);
    for (const NotifyIcon& shown : icons_) {
        if (shown.hwnd == icon.hwnd && shown.id == icon.id) {
            return false;
        }
    }
    icons_.push_back(icon);
    return true;
}

bool NotifyArea::Modify(HWND hwnd, UINT id, const std::function<void(NotifyIcon&)>& change) {
    std::lock_guard<std::mutex> guard(lock_);
    for (NotifyIcon& shown : icons_) {
        if (shown.hwnd == hwnd && shown.id == id) {
            change(shown);
            return true;
        }
    }
    return false;
}

bool NotifyArea::Remove(HWND hwnd, UINT id) {
    std::lock_guard<std::mutex> guard(lock_);
    return std::erase_if(icons_, [&](const NotifyIcon& shown) {
               return shown.hwnd == hwnd && shown.id == id;
           }) > 0;
}

// The strip ends at the screen's right edge; the first icon is leftmost.
RECT NotifyArea::RectLocked(size_t i) {
    int right = GetSystemMetrics(SM_CXSCREEN);
    int bottom = GetSystemMetrics(SM_CYSCREEN);
    int left = right - static_cast<int>(icons_.size() - i) * kNotifyCell;
    return RECT{left, bottom - kNotifyCell, left + kNotifyCell, bottom};
}

std::vector<PalNotifyIcon> NotifyArea::Icons() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<PalNotifyIcon> icons;
    for (size_t i = 0; i < icons_.size(); ++i) {
        const NotifyIcon& icon = icons_[i];
        icons.push_back(PalNotifyIcon{icon.hwnd, icon.id, icon.callbackMessage, icon.icon, icon.tip,
                                      RectLocked(i)});
    }
    return icons;
}

// A second press of the same button on the same icon, within the double-click time and box,
// is a double click; the press after it starts anew.
UINT NotifyArea::MouseMessageLocked(const InputEvent& event, const NotifyIcon& icon) {
    if (event.kind == InputEvent::Kind::kPointer) {
        return WM_MOUSEMOVE;
    }
    bool left = event.key == VK_LBUTTON;
    if (!event.down) {
        return left ? WM_LBUTTONUP : WM_RBUTTONUP;
    }
    bool doubleClick =
        lastPress_.hwnd == icon.hwnd && lastPress_.id == icon.id &&
        lastPress_.button == event.key && event.time - lastPress_.time <= GetDoubleClickTime() &&
        std::abs(event.point.x - lastPress_.point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        std::abs(event.point.y - lastPress_.point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    lastPress_ =
        doubleClick ? Press{} : Press{icon.hwnd, icon.id, event.key, event.time, event.point};
    if (doubleClick) {
        return left ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
    }
    return left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
}

// An icon whose window went is taken away when the pointer reaches it.
void NotifyArea::PostLocked(std::unique_lock<std::mutex>& held, size_t i, const InputEvent& event) {
    if (!IsWindow(icons_[i].hwnd)) {
        icons_.erase(icons_.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
    const NotifyIcon target = icons_[i];
    const UINT message = MouseMessageLocked(event, target);
    held.unlock();
    if (target.callbackMessage) {
        PostMessageA(target.hwnd, target.callbackMessage, target.id, static_cast<LPARAM>(message));
    }
}

bool NotifyArea::TakePointer(const InputEvent& event) {
    std::unique_lock<std::mutex> held(lock_);
    size_t i = 0;
    while (i < icons_.size() && !Inside(RectLocked(i), event.point)) {
        ++i;
    }
    if (i == icons_.size()) {
        if (event.kind == InputEvent::Kind::kButton && event.down) {
            lastPress_ = Press{};  // a press elsewhere ends a double click
        }
        return false;
    }
    PostLocked(held, i, event);
    return true;
}

bool NotifyArea::TakeIconPointer(HWND hwnd, UINT id, const InputEvent& event) {
    std::unique_lock<std::mutex> held(lock_);
    for (size_t i = 0; i < icons_.size(); ++i) {
        if (icons_[i].hwnd == hwnd && icons_[i].id == id) {
            PostLocked(held, i, event);
            return true;
        }
    }
    return false;
}

}  // namespace pal::shell

std::vector<PalNotifyIcon> PalNotifyIcons() {
    return pal::shell::NotifyArea::Get().Icons();
}
