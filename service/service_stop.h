// The stop request's action: the service tells its own hidden window to go, which ends the
// program's message loop and starts its shutdown on the main thread.
#pragma once

// Posts WM_DESTROY (wParam 0, lParam 0) to g_hServiceWnd. Without a window nothing happens.
void RequestServiceStop();
