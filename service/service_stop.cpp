#include "service_stop.h"

#include <windows.h>

#include "service_globals.h"

void RequestServiceStop() {
    if (HWND window = g_hServiceWnd.load()) {
        PostMessageA(window, WM_DESTROY, 0, 0);
    }
}
