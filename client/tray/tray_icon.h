// CTrayIcon: the program's one icon in the notification area, a process-wide singleton. It adds,
// changes and removes the icon, and turns the icon's mouse messages into one delayed action: the
// owner's timer TIMER_TRAY_CLICK fires a double-click time (plus 10 ms) after the last release,
// and IsRightClick then tells the menu from the restore.
#pragma once

#include "windows.h"

// The icon's id in the notification area.
constexpr UINT kTrayIconId = 1522;
// The owner window's timer that a click on the icon sets; the owner handles and kills it.
constexpr UINT_PTR TIMER_TRAY_CLICK = 2558;
// The delay of that timer beyond the double-click time.
constexpr UINT kTrayClickExtraMs = 10;

class CTrayIcon {
public:
    // The singleton, created on the first call.
    static CTrayIcon* Instance();
    // Deletes the singleton, which removes its icon; nothing when there is none.
    static void Destroy();

    // The window that gets the icon's messages and the timer, and its callback message.
    void SetOwner(HWND owner, UINT callbackMessage);
    // Adds the icon (none shown yet), changes it (one shown) or, for a null icon, removes it;
    // a tip (null: unchanged) keeps its first 127 bytes. Returns Shell_NotifyIconA's result;
    // after a removal or a failure the icon counts as absent, so the next call adds it anew.
    BOOL SetIcon(HICON icon, LPCSTR tip);
    // The owner's callback message: 1 when it was this icon's click message and was handled,
    // else 0. A release of either button (re)starts the owner's timer.
    LRESULT OnNotify(WPARAM id, LPARAM message);
    bool IsRightClick() const { return rightClick; }
    bool IsDoubleClick() const { return doubleClick; }
    const NOTIFYICONDATAA& GetIconData() const { return iconData; }

private:
    CTrayIcon();
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    void StartClickTimer() const;

    NOTIFYICONDATAA iconData;
    bool rightClick = false;
    bool doubleClick = false;
};
