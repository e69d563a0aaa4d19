// Input: mouse and keyboard messages, hit testing, the cursor, capture and key state, and the
// layer's input entry (not Win32) through which a backend, a test or the control socket feeds
// pointer moves, button and key presses at screen points into the desktop.
//
// Input goes to the thread of the window it is for (the capture window, else the visible window
// under the point; keys: the focus window, else the active one). That thread takes it after its
// posted messages and before paint: first WM_NCHITTEST (screen point) and WM_SETCURSOR are sent
// to the window (not while it has the capture), then the mouse message comes: a client message
// (client coordinates, MK_ flags) for HTCLIENT, else the non-client one (wParam the hit code,
// screen coordinates). A second press within GetDoubleClickTime and the double-click box of the
// first, on the same window of a CS_DBLCLKS class, comes as a double click.
#pragma once

#include "pal/desktop.h"
#include "pal/types.h"

#define WM_SETCURSOR 0x0020u
#define WM_NCHITTEST 0x0084u
#define WM_NCMOUSEMOVE 0x00A0u
#define WM_NCLBUTTONDOWN 0x00A1u
#define WM_NCLBUTTONUP 0x00A2u
#define WM_NCLBUTTONDBLCLK 0x00A3u
#define WM_NCRBUTTONDOWN 0x00A4u
#define WM_NCRBUTTONUP 0x00A5u
#define WM_NCRBUTTONDBLCLK 0x00A6u
#define WM_KEYFIRST 0x0100u
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_CHAR 0x0102u
#define WM_KEYLAST 0x0109u
#define WM_MOUSEFIRST 0x0200u
#define WM_MOUSEMOVE 0x0200u
#define WM_LBUTTONDOWN 0x0201u
#define WM_LBUTTONUP 0x0202u
#define WM_LBUTTONDBLCLK 0x0203u
#define WM_RBUTTONDOWN 0x0204u
#define WM_RBUTTONUP 0x0205u
#define WM_RBUTTONDBLCLK 0x0206u
#define WM_MOUSELAST 0x0209u
#define WM_CAPTURECHANGED 0x0215u
#define WM_ENTERSIZEMOVE 0x0231u
#define WM_EXITSIZEMOVE 0x0232u

// Mouse message key flags (wParam).
#define MK_LBUTTON 0x0001u
#define MK_RBUTTON 0x0002u
#define MK_SHIFT 0x0004u
#define MK_CONTROL 0x0008u

// Hit codes (WM_NCHITTEST's result).
#define HTERROR (-2)
#define HTTRANSPARENT (-1)
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
#define HTSYSMENU 3
#define HTMINBUTTON 8
#define HTMAXBUTTON 9
#define HTLEFT 10
#define HTRIGHT 11
#define HTTOP 12
#define HTBOTTOM 15
#define HTBORDER 18
#define HTCLOSE 20

// Virtual keys.
#define VK_LBUTTON 0x01u
#define VK_RBUTTON 0x02u
#define VK_BACK 0x08u
#define VK_TAB 0x09u
#define VK_RETURN 0x0Du
#define VK_SHIFT 0x10u
#define VK_CONTROL 0x11u
#define VK_MENU 0x12u
#define VK_ESCAPE 0x1Bu
#define VK_SPACE 0x20u
#define VK_LEFT 0x25u
#define VK_UP 0x26u
#define VK_RIGHT 0x27u
#define VK_DOWN 0x28u
#define VK_DELETE 0x2Eu

// Makes WM_CHAR for a WM_KEYDOWN of a key that types a character (letters, digits, space, Enter,
// Escape, Tab, Backspace; Shift as the calling thread last saw it), posted to msg->hwnd, so that
// it comes before the input that follows. Nonzero for WM_KEYDOWN and WM_KEYUP, FALSE for every
// other message.
BOOL TranslateMessage(const MSG* lpMsg);

// Mouse input goes to hWnd, a window of the calling thread, whatever the point, until released;
// returns the window that had the capture. WM_CAPTURECHANGED (lParam the new window) goes to the
// window that loses it. NULL with ERROR_INVALID_WINDOW_HANDLE for no window, without effect for a
// window of another thread.
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
// The capture window when it belongs to the calling thread.
HWND GetCapture();

// The cursor shape the desktop shows (NULL hides it); returns the previous one.
HCURSOR SetCursor(HCURSOR hCursor);
// The pointer's screen position. FALSE with ERROR_INVALID_PARAMETER without lpPoint.
BOOL GetCursorPos(POINT* lpPoint);

// Negative while the key or button is down as of the input message the calling thread took last.
short GetKeyState(int nVirtKey);
// Negative while the key or button is down now.
short GetAsyncKeyState(int vKey);
// 500 ms.
UINT GetDoubleClickTime();

// ---- The layer's input entry (not Win32) -----------------------------------------------------

// The pointer moves to a screen point: WM_MOUSEMOVE (or WM_NCMOUSEMOVE) for the window there.
BOOL PalInputPointer(int x, int y);
// A press (down TRUE) or release of VK_LBUTTON or VK_RBUTTON at a screen point; the pointer moves
// there first, without a message of its own. FALSE with ERROR_INVALID_PARAMETER for another key.
BOOL PalInputButton(UINT button, BOOL down, int x, int y);
// A press or release of a key (a virtual key, 0x08 to 0xFE). FALSE with ERROR_INVALID_PARAMETER
// for another value.
BOOL PalInputKey(UINT virtualKey, BOOL down);
