// The service's hidden window: never shown, it only serves as a message target. Its timer
// drives the client watch, and WM_DESTROY (from a newer instance, from the stop request, or from
// the window being destroyed) ends the program's message loop.
#pragma once

#include <windows.h>

// The window's title and class, as a newer instance looks for them.
constexpr const char* SERVICE_WINDOW_NAME = "brcoreservice";
constexpr const char* SERVICE_CLASS_NAME = "brcoreserviceclass";
constexpr size_t SERVICE_NAME_SIZE = 100;

// The client-watch timer on the window: id and period.
constexpr UINT_PTR TIMER_CLIENT_WATCH = 1001;
constexpr UINT CLIENT_WATCH_PERIOD_MS = 3000;

// Filled by ServiceWinMain before anything else; the class and window are made from them.
extern char g_szWindowName[SERVICE_NAME_SIZE];
extern char g_szClassName[SERVICE_NAME_SIZE];
// The instance passed to the main entry.
extern HINSTANCE g_hServiceInstance;

// Registers the window class g_szClassName with ServiceWndProc; the result is not looked at.
void RegisterServiceWndClass(HINSTANCE instance);
// Stores the instance, creates the hidden window and stores it in g_hServiceWnd; false (and no
// window stored) when the window cannot be created. The show command is ignored.
bool CreateServiceWindow(HINSTANCE instance, int showCommand);
// WM_DESTROY quits the loop (exit code 0), WM_PAINT validates, WM_COMMAND is ignored, WM_TIMER
// runs the client watch; everything else goes to DefWindowProcA.
LRESULT CALLBACK ServiceWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
