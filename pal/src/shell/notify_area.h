// The notification area: the icons that Shell_NotifyIconA put there, in order, on a strip at the
// bottom right corner of the screen above every window, and the pointer input it takes from the
// input entry (a press, release, double click or move on an icon becomes the icon's callback
// message, posted to its window).
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "desktop/input_source.h"

namespace pal::shell {

struct NotifyIcon {
    HWND hwnd = nullptr;
    UINT id = 0;
    UINT callbackMessage = 0;
    HICON icon = nullptr;
    std::string tip;
};

class NotifyArea {
public:
    static NotifyArea& Get();

    // False when the icon of the same window and id is there already.
    bool Add(const NotifyIcon& icon);
    // Changes the icon of icon.hwnd and icon.id by `change`; false when it is not there.
    bool Modify(HWND hwnd, UINT id, const std::function<void(NotifyIcon&)>& change);
    bool Remove(HWND hwnd, UINT id);
    std::vector<PalNotifyIcon> Icons();

    // Takes a pointer event at a point of the strip: true when an icon was there (its message
    // posted), false when the event is for the windows.
    bool TakePointer(const InputEvent& event);
    // Takes a pointer event on the icon of the window and id wherever the display shows it (a
    // desktop's own tray): false when the icon is not there.
    bool TakeIconPointer(HWND hwnd, UINT id, const InputEvent& event);

private:
    struct Press {
        HWND hwnd = nullptr;
        UINT id = 0;
        UINT button = 0;
        DWORD time = 0;
        POINT point{0, 0};
    };
    // The icon's screen rectangle at position i.
    RECT RectLocked(size_t i);
    UINT MouseMessageLocked(const InputEvent& event, const NotifyIcon& icon);
    // Posts the icon's message for the event (the lock held on entry, released).
    void PostLocked(std::unique_lock<std::mutex>& held, size_t i, const InputEvent& event);

    std::mutex lock_;
    std::vector<NotifyIcon> icons_;  // in the order shown
    Press lastPress_;
};

// The size of an icon's place on the strip, in pixels.
constexpr int kNotifyCell = 24;

}  // namespace pal::shell
