// Shell_NotifyIconA: adds, changes and removes icons of the notification area.
#include <cstring>

#include "shell/notify_area.h"
#include "x11/presenter.h"

namespace {

// The bytes of the tip the record's size allows, 0 for a size that is none of the record's.
size_t TipLimit(DWORD cbSize) {
    if (cbSize == sizeof(NOTIFYICONDATAA) || cbSize == NOTIFYICONDATAA_X86_SIZE) {
        return sizeof(NOTIFYICONDATAA::szTip);
    }
    return cbSize == NOTIFYICONDATAA_V1_SIZE ? 64 : 0;
}

// Sets the fields that the record's flags name.
void Apply(const NOTIFYICONDATAA& data, size_t tipLimit, pal::shell::NotifyIcon& icon) {
    if (data.uFlags & NIF_MESSAGE) {
        icon.callbackMessage = data.uCallbackMessage;
    }
    if (data.uFlags & NIF_ICON) {
        icon.icon = data.hIcon;
    }
    if (data.uFlags & NIF_TIP) {
        icon.tip.assign(data.szTip, strnlen(data.szTip, tipLimit - 1));
    }
}

BOOL Notify(DWORD dwMessage, PNOTIFYICONDATAA lpData) {
    if (!lpData) {
        return FALSE;
    }
    size_t tipLimit = TipLimit(lpData->cbSize);
    if (!tipLimit) {
        return FALSE;
    }
    pal::shell::NotifyArea& area = pal::shell::NotifyArea::Get();
    switch (dwMessage) {
        case NIM_ADD: {
            if (!IsWindow(lpData->hWnd)) {
                return FALSE;
            }
            pal::shell::NotifyIcon icon;
            icon.hwnd = lpData->hWnd;
            icon.id = lpData->uID;
            Apply(*lpData, tipLimit, icon);
            return area.Add(icon) ? TRUE : FALSE;
        }
        case NIM_MODIFY:
            return area.Modify(
                       lpData->hWnd, lpData->uID,
                       [&](pal::shell::NotifyIcon& icon) { Apply(*lpData, tipLimit, icon); })
                       ? TRUE
                       : FALSE;
        case NIM_DELETE:
            return area.Remove(lpData->hWnd, lpData->uID) ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

// Differs from Windows: NOTIFYICONDATAA_X86_SIZE, the whole record's size in the 32-bit layout,
// is taken for the whole record, which is larger here; headless, the icons are not drawn on the
// screen (on X11 they dock into the desktop's tray).
BOOL Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData) {
    const BOOL done = Notify(dwMessage, lpData);
    if (done) {
        pal::present::Current().NotifyIconsChanged();
    }
    return done;
}
