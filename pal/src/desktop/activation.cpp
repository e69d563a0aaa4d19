// The active, foreground and focus windows.
#include "desktop/activation.h"
#include "x11/presenter.h"

#include "desktop/desktop_call.h"

namespace pal {
namespace {

bool InTree(HWND root, HWND hwnd) {
    return hwnd && (hwnd == root || IsChild(root, hwnd));
}

}  // namespace

bool CanBeActive(HWND hwnd) {
    auto window = DesktopWindow(hwnd);
    return window && (window->Style() & (WS_VISIBLE | WS_MINIMIZE | WS_DISABLED)) == WS_VISIBLE;
}

HWND Activate(HWND top) {
    Desktop& desktop = Desktop::Get();
    HWND old = desktop.Active();
    if (top) {
        desktop.Reorder(top, HWND_TOP);
        present::Current().Activated(top);
    }
    if (old == top) {
        return old;
    }
    desktop.SetActive(top);
    if (old && DesktopWindow(old)) {
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old)),
                     reinterpret_cast<LPARAM>(top));
    }
    if (top) {
        SendMessageA(top, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(top)),
                     reinterpret_cast<LPARAM>(old));
    } else if (desktop.Focus()) {
        MoveFocus(nullptr);
    }
    return old;
}

void LeaveActivation(HWND hwnd) {
    Desktop& desktop = Desktop::Get();
    if (!desktop.Parent(hwnd) && desktop.Active() == hwnd) {
        HWND next = nullptr;
        HWND owner = desktop.Owner(hwnd);
        if (owner && CanBeActive(owner)) {
            next = owner;
        } else {
            for (HWND candidate : desktop.Children(nullptr)) {
                if (candidate != hwnd && CanBeActive(candidate)) {
                    next = candidate;
                    break;
                }
            }
        }
        Activate(next);
    }
    if (InTree(hwnd, desktop.Focus())) {
        MoveFocus(nullptr);
    }
}

HWND MoveFocus(HWND hwnd) {
    Desktop& desktop = Desktop::Get();
    HWND old = desktop.Focus();
    if (old == hwnd) {
        return old;
    }
    desktop.SetFocus(hwnd);
    if (old && DesktopWindow(old)) {
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (hwnd) {
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

}  // namespace pal

namespace {

// A window the calling thread may activate or focus: NULL with the error otherwise.
std::shared_ptr<pal::Window> OwnThreadWindow(HWND hwnd) {
    auto window = pal::WindowOrFail(hwnd);
    if (window && window->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return window;
}

}  // namespace

// Differs from Windows: one active and one focus window per process (not per thread's input
// state); a window of another thread cannot be made active (NULL with ERROR_ACCESS_DENIED).
HWND SetActiveWindow(HWND hWnd) {
    if (!hWnd) {
        return pal::Activate(nullptr);
    }
    if (!OwnThreadWindow(hWnd)) {
        return nullptr;
    }
    return pal::Activate(pal::Desktop::Get().Root(hWnd));
}

// Differs from Windows: NULL when the active window belongs to another thread of the process.
HWND GetActiveWindow() {
    HWND active = pal::Desktop::Get().Active();
    auto window = pal::DesktopWindow(active);
    return window && window->threadId == GetCurrentThreadId() ? active : nullptr;
}

// Differs from Windows: the process is always allowed to take the foreground.
BOOL SetForegroundWindow(HWND hWnd) {
    if (!pal::WindowOrFail(hWnd)) {
        return FALSE;
    }
    pal::Activate(pal::Desktop::Get().Root(hWnd));
    return TRUE;
}

HWND GetForegroundWindow() {
    return pal::Desktop::Get().Active();
}

// Differs from Windows: a window of another thread cannot take the focus (NULL with
// ERROR_ACCESS_DENIED).
HWND SetFocus(HWND hWnd) {
    pal::Desktop& desktop = pal::Desktop::Get();
    if (!hWnd) {
        return pal::MoveFocus(nullptr);
    }
    auto window = OwnThreadWindow(hWnd);
    if (!window) {
        return nullptr;
    }
    if (!IsWindowEnabled(hWnd) || IsIconic(desktop.Root(hWnd))) {
        return nullptr;
    }
    HWND old = desktop.Focus();
    HWND top = desktop.Root(hWnd);
    if (desktop.Active() != top) {
        pal::Activate(top);
    }
    pal::MoveFocus(hWnd);
    return old;
}

// Differs from Windows: NULL when the focus window belongs to another thread of the process.
HWND GetFocus() {
    HWND focus = pal::Desktop::Get().Focus();
    auto window = pal::DesktopWindow(focus);
    return window && window->threadId == GetCurrentThreadId() ? focus : nullptr;
}
