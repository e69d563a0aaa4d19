// The layer's input entry: routes pointer, button and key events to the thread of the window
// they are for (pal/input.h says which), where its InputSource turns them into messages.
#include "desktop/desktop_call.h"
#include "desktop/input_source.h"
#include "shell/notify_area.h"
#include "window/ui_thread.h"

namespace {

// Input for a disabled window (or one inside a disabled window) is dropped.
bool Enabled(HWND hwnd) {
    for (; hwnd; hwnd = pal::Desktop::Get().Parent(hwnd)) {
        if (!IsWindowEnabled(hwnd)) {
            return false;
        }
    }
    return true;
}

void Route(pal::InputEvent event) {
    auto window = pal::DesktopWindow(event.target);
    if (!window) {
        return;
    }
    window->thread->input->Push(event);
    window->thread->queue->Wake();
}

void RoutePointer(pal::InputEvent event) {
    pal::Desktop& desktop = pal::Desktop::Get();
    desktop.SetCursor(event.point);
    if (event.kind == pal::InputEvent::Kind::kButton) {
        desktop.SetKeyDown(event.key, event.down);
    }
    HWND capture = desktop.Capture();
    // The notification area lies above every window; only a capture reaches past it.
    if (!capture && pal::shell::NotifyArea::Get().TakePointer(event)) {
        return;
    }
    event.target = capture ? capture : pal::WindowAtPoint(event.point);
    if (event.target && (capture || Enabled(event.target))) {
        Route(event);
    }
}

}  // namespace

BOOL PalInputPointer(int x, int y) {
    pal::InputEvent event;
    event.kind = pal::InputEvent::Kind::kPointer;
    event.point = POINT{x, y};
    event.time = GetTickCount();
    RoutePointer(event);
    return TRUE;
}

BOOL PalInputButton(UINT button, BOOL down, int x, int y) {
    if (button != VK_LBUTTON && button != VK_RBUTTON) {
        return pal::FailWith(ERROR_INVALID_PARAMETER, FALSE);
    }
    pal::InputEvent event;
    event.kind = pal::InputEvent::Kind::kButton;
    event.key = button;
    event.down = down != FALSE;
    event.point = POINT{x, y};
    event.time = GetTickCount();
    RoutePointer(event);
    return TRUE;
}

BOOL PalInputKey(UINT virtualKey, BOOL down) {
    if (virtualKey < VK_BACK || virtualKey > 0xFE) {
        return pal::FailWith(ERROR_INVALID_PARAMETER, FALSE);
    }
    pal::Desktop& desktop = pal::Desktop::Get();
    pal::InputEvent event;
    event.kind = pal::InputEvent::Kind::kKey;
    event.key = virtualKey;
    event.down = down != FALSE;
    event.repeat = desktop.SetKeyDown(virtualKey, event.down) && event.down;
    event.point = desktop.Cursor();
    event.time = GetTickCount();
    HWND focus = desktop.Focus();
    event.target = focus ? focus : desktop.Active();
    if (event.target && Enabled(event.target)) {
        Route(event);
    }
    return TRUE;
}
