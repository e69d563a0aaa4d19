// The running main window, for the skin buttons: the window of g_pMainDlg, or NULL when there is
// none. The program defines it beside its main window class; tests give their own window.
#pragma once

#include "windows.h"

HWND GetMainDlgWindow();
