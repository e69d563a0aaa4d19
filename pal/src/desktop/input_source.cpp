#include "desktop/input_source.h"

#include <cstdlib>

#include "desktop/activation.h"
#include "desktop/desktop_call.h"
#include "window/window_class.h"

namespace pal {
namespace {

// The messages of a button: press, release, double click; client and non-client.
struct ButtonMessages {
    UINT down, up, doubleClick, ncDown, ncUp, ncDoubleClick;
};
constexpr ButtonMessages kLeft{WM_LBUTTONDOWN,   WM_LBUTTONUP,   WM_LBUTTONDBLCLK,
                               WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_NCLBUTTONDBLCLK};
constexpr ButtonMessages kRight{WM_RBUTTONDOWN,   WM_RBUTTONUP,   WM_RBUTTONDBLCLK,
                                WM_NCRBUTTONDOWN, WM_NCRBUTTONUP, WM_NCRBUTTONDBLCLK};

const ButtonMessages& MessagesOf(UINT button) {
    return button == VK_RBUTTON ? kRight : kLeft;
}

bool WantsDoubleClicks(HWND hwnd) {
    auto window = DesktopWindow(hwnd);
    return window && (window->windowClass->style & CS_DBLCLKS);
}

}  // namespace

// The first event to wait brings the thread's key state up to the desktop's as it was just
// before that event.
void InputSource::Push(const InputEvent& event) {
    std::bitset<256> before = Desktop::Get().KeysDown();
    if (event.kind != InputEvent::Kind::kPointer) {
        before[event.key] = event.down ? event.repeat : true;
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (events_.empty()) {
        keysDown_ = before;
    }
    events_.push_back(event);
}

// With no input waiting for this thread its state is the desktop's: a release over no window,
// or over another thread's window, lets go of the key here too.
bool InputSource::KeyDown(UINT key) {
    std::lock_guard<std::mutex> guard(lock_);
    if (events_.empty()) {
        return Desktop::Get().KeyDown(key);
    }
    return key < keysDown_.size() && keysDown_[key];
}

POINT InputSource::LastPoint() {
    std::lock_guard<std::mutex> guard(lock_);
    return lastPoint_;
}

WPARAM InputSource::MouseFlags(const InputEvent& event) {
    std::bitset<256> keys;
    {
        std::lock_guard<std::mutex> guard(lock_);
        keys = keysDown_;
    }
    if (event.kind == InputEvent::Kind::kButton) {
        keys[event.key] = event.down;
    }
    return (keys[VK_LBUTTON] ? MK_LBUTTON : 0) | (keys[VK_RBUTTON] ? MK_RBUTTON : 0) |
           (keys[VK_SHIFT] ? MK_SHIFT : 0) | (keys[VK_CONTROL] ? MK_CONTROL : 0);
}

// A press becomes a double click when the one before it was of the same button on the same
// window of a CS_DBLCLKS class, within the double-click time and box; the press after a double
// click starts anew.
UINT InputSource::ClickMessage(const InputEvent& event, HWND hwnd, bool client, bool remove) {
    const ButtonMessages& messages = MessagesOf(event.key);
    if (!event.down) {
        return client ? messages.up : messages.ncUp;
    }
    std::lock_guard<std::mutex> guard(lock_);
    bool doubleClick =
        lastPress_.hwnd == hwnd && lastPress_.key == event.key && WantsDoubleClicks(hwnd) &&
        event.time - lastPress_.time <= GetDoubleClickTime() &&
        std::abs(event.point.x - lastPress_.point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
        std::abs(event.point.y - lastPress_.point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (remove) {
        lastPress_ = doubleClick ? Press{} : Press{hwnd, event.key, event.point, event.time};
    }
    if (doubleClick) {
        return client ? messages.doubleClick : messages.ncDoubleClick;
    }
    return client ? messages.down : messages.ncDown;
}

bool InputSource::MouseMessage(const InputEvent& event, bool remove, MSG* msg) {
    HWND hwnd = event.target;
    HWND capture = Desktop::Get().Capture();
    auto captured = DesktopWindow(capture);
    bool hasCapture = captured && captured->threadId == GetCurrentThreadId();
    if (hasCapture) {
        hwnd = capture;
    }
    if (!DesktopWindow(hwnd)) {
        return false;  // the window went meanwhile: the event is dropped
    }
    LPARAM screen = MAKELPARAM(event.point.x, event.point.y);
    LRESULT hit = HTCLIENT;
    UINT pointerMessage = event.kind == InputEvent::Kind::kPointer ? WM_MOUSEMOVE
                          : event.down                             ? MessagesOf(event.key).down
                                                                   : MessagesOf(event.key).up;
    if (!hasCapture) {
        hit = SendMessageA(hwnd, WM_NCHITTEST, 0, screen);
        if (remove && event.kind == InputEvent::Kind::kButton && event.down) {
            // A press on a window of an inactive top-level window activates it first.
            HWND top = Desktop::Get().Root(hwnd);
            if (top && Desktop::Get().Active() != top) {
                Activate(top);
            }
        }
        if (!DesktopWindow(hwnd)) {
            return false;
        }
        SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                     MAKELPARAM(static_cast<WORD>(hit), pointerMessage));
    }
    bool client = hit == HTCLIENT;
    POINT point = event.point;
    if (client) {
        ScreenToClient(hwnd, &point);
    }
    *msg = MSG{hwnd, 0, 0, MAKELPARAM(point.x, point.y), event.time, event.point};
    if (event.kind == InputEvent::Kind::kPointer) {
        msg->message = client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE;
    } else {
        msg->message = ClickMessage(event, hwnd, client, remove);
    }
    msg->wParam = client ? MouseFlags(event) : static_cast<WPARAM>(hit);
    return true;
}

bool InputSource::Take(const MessageFilter& filter, bool remove, MSG* msg,
                       std::optional<WakeTime>*) {
    for (;;) {
        InputEvent event;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (events_.empty()) {
                return false;
            }
            event = events_.front();
        }
        bool made = false;
        if (event.kind == InputEvent::Kind::kKey) {
            made = DesktopWindow(event.target) != nullptr;
            // lParam: repeat count 1, bit 30 the previous state, bit 31 set for a release.
            DWORD flags =
                1u | (event.repeat || !event.down ? 1u << 30 : 0) | (event.down ? 0 : 1u << 31);
            *msg = MSG{event.target, event.down ? WM_KEYDOWN : WM_KEYUP,
                       event.key,    static_cast<LPARAM>(flags),
                       event.time,   event.point};
        } else {
            made = MouseMessage(event, remove, msg);
        }
        if (made && !filter.Matches(*msg)) {
            return false;  // input keeps its order: a later event waits behind this one
        }
        if (made && !remove) {
            return true;
        }
        std::lock_guard<std::mutex> guard(lock_);
        if (!events_.empty()) {
            events_.pop_front();
        }
        if (event.kind != InputEvent::Kind::kPointer) {
            keysDown_[event.key] = event.down;
        }
        lastPoint_ = event.point;
        if (made) {
            return true;
        }
    }
}

}  // namespace pal
