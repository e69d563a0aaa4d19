// Capture, the cursor, key state and the double-click time.
#include "desktop/desktop_call.h"
#include "desktop/input_source.h"
#include "window/ui_thread.h"
#include "x11/presenter.h"

namespace {

constexpr UINT kDoubleClickTime = 500;  // ms, Windows's default

bool OfThisThread(HWND hwnd) {
    auto window = pal::DesktopWindow(hwnd);
    return window && window->threadId == GetCurrentThreadId();
}

// The window that loses the capture hears of it.
void TellCaptureChanged(HWND old, HWND now) {
    if (old && old != now && pal::DesktopWindow(old)) {
        SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(now));
    }
}

}  // namespace

// Differs from Windows: one capture per process; a window of another thread cannot take it.
HWND SetCapture(HWND hWnd) {
    if (!pal::WindowOrFail(hWnd)) {
        return nullptr;
    }
    pal::Desktop& desktop = pal::Desktop::Get();
    HWND old = desktop.Capture();
    if (!OfThisThread(hWnd)) {
        return nullptr;
    }
    desktop.SetCapture(hWnd);
    TellCaptureChanged(old, hWnd);
    return OfThisThread(old) ? old : nullptr;
}

BOOL ReleaseCapture() {
    pal::Desktop& desktop = pal::Desktop::Get();
    HWND old = desktop.Capture();
    if (old && OfThisThread(old)) {
        desktop.SetCapture(nullptr);
        TellCaptureChanged(old, nullptr);
    }
    return TRUE;
}

// Differs from Windows: NULL when the capture belongs to another thread of the process.
HWND GetCapture() {
    HWND capture = pal::Desktop::Get().Capture();
    return OfThisThread(capture) ? capture : nullptr;
}

HCURSOR SetCursor(HCURSOR hCursor) {
    HCURSOR old = pal::Desktop::Get().SetCursorShape(hCursor);
    if (old != hCursor) {
        pal::present::Current().CursorChanged(hCursor);
    }
    return old;
}

BOOL GetCursorPos(POINT* lpPoint) {
    if (!lpPoint) {
        return pal::FailWith(ERROR_INVALID_PARAMETER, FALSE);
    }
    *lpPoint = pal::Desktop::Get().Cursor();
    return TRUE;
}

// Differs from Windows: while no input waits for the thread, the state now.
short GetKeyState(int nVirtKey) {
    auto thread = pal::ExistingUiThread();
    bool down = thread && nVirtKey > 0 && thread->input->KeyDown(static_cast<UINT>(nVirtKey));
    return down ? static_cast<short>(0x8000) : 0;
}

short GetAsyncKeyState(int vKey) {
    bool down = vKey > 0 && pal::Desktop::Get().KeyDown(static_cast<UINT>(vKey));
    return down ? static_cast<short>(0x8000) : 0;
}

// Differs from Windows: fixed, not a user setting.
UINT GetDoubleClickTime() {
    return kDoubleClickTime;
}
