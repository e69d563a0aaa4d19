// A window's relatives: parent, owner, siblings, children by control id.
#include <algorithm>

#include "desktop/desktop_call.h"

HWND GetParent(HWND hWnd) {
    auto window = pal::FindWindowObject(hWnd);
    if (!window) {
        return pal::FailWith(ERROR_INVALID_WINDOW_HANDLE, HWND{nullptr});
    }
    pal::Desktop& desktop = pal::Desktop::Get();
    if (HWND parent = desktop.Parent(hWnd)) {
        return parent;
    }
    return (window->Style() & WS_POPUP) ? desktop.Owner(hWnd) : nullptr;
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
    pal::Desktop& desktop = pal::Desktop::Get();
    for (HWND hwnd = desktop.Parent(hWnd); hwnd; hwnd = desktop.Parent(hwnd)) {
        if (hwnd == hWndParent) {
            return TRUE;
        }
    }
    return FALSE;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    if (!pal::FindWindowObject(hDlg)) {
        return pal::FailWith(ERROR_INVALID_WINDOW_HANDLE, HWND{nullptr});
    }
    for (HWND child : pal::Desktop::Get().Children(hDlg)) {
        auto window = pal::FindWindowObject(child);
        if (window && window->Id() == nIDDlgItem) {
            return child;
        }
    }
    return pal::FailWith(ERROR_CONTROL_ID_NOT_FOUND, HWND{nullptr});
}

int GetDlgCtrlID(HWND hWnd) {
    auto window = pal::FindWindowObject(hWnd);
    if (!window) {
        return pal::FailWith(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    return pal::Desktop::Get().Parent(hWnd) ? window->Id() : 0;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
    if (!pal::FindWindowObject(hWnd)) {
        return pal::FailWith(ERROR_INVALID_WINDOW_HANDLE, HWND{nullptr});
    }
    pal::Desktop& desktop = pal::Desktop::Get();
    if (uCmd == GW_OWNER) {
        return desktop.Owner(hWnd);
    }
    if (uCmd == GW_CHILD) {
        auto children = desktop.Children(hWnd);
        return children.empty() ? nullptr : children.front();
    }
    auto siblings = desktop.Children(desktop.Parent(hWnd));
    auto at = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd) {
        case GW_HWNDFIRST:
            return siblings.empty() ? nullptr : siblings.front();
        case GW_HWNDLAST:
            return siblings.empty() ? nullptr : siblings.back();
        case GW_HWNDNEXT:
            return at == siblings.end() || at + 1 == siblings.end() ? nullptr : *(at + 1);
        case GW_HWNDPREV:
            return at == siblings.end() || at == siblings.begin() ? nullptr : *(at - 1);
        default:
            return pal::FailWith(ERROR_INVALID_PARAMETER, HWND{nullptr});
    }
}
