#include "wnd_state.h"

#include "wnd.h"

namespace appframe {

WndThreadState& ThisThread() {
    thread_local WndThreadState state;
    return state;
}

CWnd* AttachCreatingDialog(HWND hWnd) {
    if (CWnd* wnd = CWnd::FromHandlePermanent(hWnd))
        return wnd;
    CWnd*& creating = ThisThread().dialogCreating;
    CWnd* wnd = creating;
    if (!wnd || !wnd->SubclassWindow(hWnd))
        return nullptr;
    creating = nullptr;
    return wnd;
}

CurrentMessage::CurrentMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    : saved_(ThisThread().current) {
    ThisThread().current = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
}

CurrentMessage::~CurrentMessage() {
    ThisThread().current = saved_;
}

}  // namespace appframe
