#include "service_window.h"

#include "client_watch.h"
#include "service_globals.h"

char g_szWindowName[SERVICE_NAME_SIZE] = {};
char g_szClassName[SERVICE_NAME_SIZE] = {};
HINSTANCE g_hServiceInstance = nullptr;

void RegisterServiceWndClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ServiceWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = g_szClassName;
    windowClass.hIconSm = nullptr;
    RegisterClassExA(&windowClass);
}

bool CreateServiceWindow(HINSTANCE instance, int /*showCommand: the window is never shown*/) {
    g_hServiceInstance = instance;
    HWND window =
        CreateWindowExA(0, g_szClassName, g_szWindowName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                        CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return false;
    }
    g_hServiceWnd = window;
    return true;
}

LRESULT CALLBACK ServiceWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_COMMAND:
            return 0;
        case WM_TIMER:  // whatever the timer's id
            WatchClients();
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
