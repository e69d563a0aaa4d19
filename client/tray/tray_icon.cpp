#include "tray_icon.h"

#include <cstring>

namespace {

// The singleton; null until Instance and after Destroy.
CTrayIcon* g_pTrayIcon = nullptr;

// The longest tip kept, without its terminating zero.
constexpr size_t kTipBytes = sizeof(NOTIFYICONDATAA::szTip) - 1;

}  // namespace

CTrayIcon* CTrayIcon::Instance() {
    if (!g_pTrayIcon) {
        g_pTrayIcon = new CTrayIcon();
    }
    return g_pTrayIcon;
}

void CTrayIcon::Destroy() {
    if (g_pTrayIcon) {
        delete g_pTrayIcon;
        g_pTrayIcon = nullptr;
    }
}

CTrayIcon::CTrayIcon() {
    std::memset(&iconData, 0, sizeof iconData);
    iconData.cbSize = NOTIFYICONDATAA_X86_SIZE;
    iconData.uID = kTrayIconId;
    // The tip starts as the program's string of the icon's id (the program defines none today,
    // so it starts empty); LoadStringA keeps the terminator within the field.
    LoadStringA(GetModuleHandleA(nullptr), kTrayIconId, iconData.szTip, sizeof iconData.szTip);
}

CTrayIcon::~CTrayIcon() {
    SetIcon(nullptr, nullptr);
}

void CTrayIcon::SetOwner(HWND owner, UINT callbackMessage) {
    iconData.hWnd = owner;
    iconData.uCallbackMessage = callbackMessage;
}

BOOL CTrayIcon::SetIcon(HICON icon, LPCSTR tip) {
    iconData.uFlags = 0;
    DWORD operation;
    if (icon) {
        operation = iconData.hIcon ? NIM_MODIFY : NIM_ADD;
        iconData.hIcon = icon;
        iconData.uFlags |= NIF_ICON;
    } else {
        if (!iconData.hIcon) {
            return TRUE;
        }
        operation = NIM_DELETE;
    }
    if (tip) {
        std::strncpy(iconData.szTip, tip, kTipBytes);
        iconData.szTip[kTipBytes] = '\0';
    }
    if (iconData.szTip[0] != '\0') {
        iconData.uFlags |= NIF_TIP;
    }
    if (iconData.uCallbackMessage != 0 && iconData.hWnd) {
        iconData.uFlags |= NIF_MESSAGE;
    }
    BOOL result = Shell_NotifyIconA(operation, &iconData);
    if (operation == NIM_DELETE || !result) {
        iconData.hIcon = nullptr;
    }
    return result;
}

LRESULT CTrayIcon::OnNotify(WPARAM id, LPARAM message) {
    if (id != iconData.uID) {
        return 0;
    }
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONUP:
            break;
        default:
            return 0;
    }
    doubleClick = message == WM_LBUTTONDBLCLK;
    rightClick = message == WM_RBUTTONUP;
    if (message == WM_RBUTTONUP || message == WM_LBUTTONUP) {
        StartClickTimer();
    }
    return 1;
}

void CTrayIcon::StartClickTimer() const {
    SetTimer(iconData.hWnd, TIMER_TRAY_CLICK, GetDoubleClickTime() + kTrayClickExtraMs, nullptr);
}
