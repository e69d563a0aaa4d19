#include "wnd_state.h"

#include "wnd.h"

namespace appframe {

WndThreadState& ThisThread() {
    thread_local WndThreadState state;
    return state;
}

CurrentMessage::CurrentMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    : saved_(ThisThread().current) {
    ThisThread().current = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
}

CurrentMessage::~CurrentMessage() {
    ThisThread().current = saved_;
}

}  // namespace appframe
