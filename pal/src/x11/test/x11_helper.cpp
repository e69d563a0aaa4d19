// A program with one visible window that runs its message loop until it is closed; the X11
// tests start it on a server of their own and then take the server away.
#include "windows.h"

int main() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PalX11Helper";
    if (!RegisterClassA(&windowClass) ||
        !CreateWindowExA(0, "PalX11Helper", "helper", WS_POPUP | WS_VISIBLE, 10, 10, 80, 60,
                         nullptr, nullptr, windowClass.hInstance, nullptr)) {
        return 2;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    return 0;
}
