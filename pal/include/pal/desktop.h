// The desktop: child windows, z-order, placement and visibility, the active and focus windows,
// window texts, icons and longs, system commands and metrics. One model of the desktop per
// process that every display backend shares (the headless one today); the screen is
// PalSetScreenSize's size, 1920 x 1080 until a program or a backend sets another.
//
// Windows have no frame: the client area is the whole window, so a window's client rectangle is
// its window rectangle moved to 0, 0 (pal/DEVIATIONS.md).
#pragma once

#include "pal/types.h"
#include "pal/window.h"

#ifndef MAKELONG
#define MAKELONG(low, high)                                           \
    (static_cast<LONG>((static_cast<DWORD>(static_cast<WORD>(low))) | \
                       (static_cast<DWORD>(static_cast<WORD>(high)) << 16)))
#endif
#define MAKEWPARAM(low, high) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(low, high))))
#define MAKELPARAM(low, high) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(low, high))))
// The signed coordinates of a mouse message's lParam.
#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<short>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<short>(HIWORD(lp))))

// ---- Messages of placement, activation and focus ---------------------------------------------

#define WM_MOVE 0x0003u
#define WM_SIZE 0x0005u
#define WM_ACTIVATE 0x0006u
#define WM_SETFOCUS 0x0007u
#define WM_KILLFOCUS 0x0008u
#define WM_SETTEXT 0x000Cu
#define WM_GETTEXT 0x000Du
#define WM_GETTEXTLENGTH 0x000Eu
#define WM_SHOWWINDOW 0x0018u
#define WM_WINDOWPOSCHANGING 0x0046u
#define WM_WINDOWPOSCHANGED 0x0047u
#define WM_GETICON 0x007Fu
#define WM_SETICON 0x0080u
#define WM_SYSCOMMAND 0x0112u
#define WM_QUERYDRAGICON 0x0037u
#define WM_ICONERASEBKGND 0x0027u

// WM_SIZE's wParam.
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1

// WM_ACTIVATE's low word of wParam.
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

// WM_SETICON and WM_GETICON's wParam.
#define ICON_SMALL 0
#define ICON_BIG 1

// WM_SYSCOMMAND's wParam (the low four bits are the system's own and are masked off).
#define SC_SIZE 0xF000u
#define SC_MOVE 0xF010u
#define SC_MINIMIZE 0xF020u
#define SC_MAXIMIZE 0xF030u
#define SC_CLOSE 0xF060u
#define SC_RESTORE 0xF120u

// What WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED carry in lParam.
struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};
typedef WINDOWPOS* LPWINDOWPOS;

// ---- Placement -------------------------------------------------------------------------------

#define HWND_TOP (static_cast<HWND>(nullptr))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<intptr_t>(1)))

#define SWP_NOSIZE 0x0001u
#define SWP_NOMOVE 0x0002u
#define SWP_NOZORDER 0x0004u
#define SWP_NOREDRAW 0x0008u
#define SWP_NOACTIVATE 0x0010u
#define SWP_FRAMECHANGED 0x0020u
#define SWP_SHOWWINDOW 0x0040u
#define SWP_HIDEWINDOW 0x0080u

// Moves, sizes and orders a window. x, y are in its parent's client coordinates (screen
// coordinates for a top-level window). hWndInsertAfter is HWND_TOP, HWND_BOTTOM or a sibling
// to place it after. Sends WM_WINDOWPOSCHANGING (the procedure may change the WINDOWPOS), then
// WM_WINDOWPOSCHANGED, whose default handling sends WM_MOVE and WM_SIZE for what changed; a
// visible window that changed size or got SWP_FRAMECHANGED is to be painted anew unless
// SWP_NOREDRAW. FALSE with ERROR_INVALID_WINDOW_HANDLE for no window of this process,
// ERROR_INVALID_PARAMETER for an hWndInsertAfter that is no sibling.
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
// SetWindowPos without a change of z-order; bRepaint FALSE is SWP_NOREDRAW.
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
// The window's rectangle in screen coordinates.
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
// The client rectangle: 0, 0, width, height.
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
// Between the window's client coordinates and screen coordinates.
BOOL ClientToScreen(HWND hWnd, POINT* lpPoint);
BOOL ScreenToClient(HWND hWnd, POINT* lpPoint);

// ---- Visibility ------------------------------------------------------------------------------

// SW_HIDE hides (WM_SHOWWINDOW FALSE; the active window passes to the next visible top-level
// window); SW_SHOW and SW_SHOWNORMAL show and activate a top-level window (WM_SHOWWINDOW TRUE),
// SW_SHOWNORMAL and SW_RESTORE also restore a minimised one (WM_SIZE SIZE_RESTORED);
// SW_MINIMIZE minimises (WM_SIZE SIZE_MINIMIZED, the window is no longer active). Returns TRUE
// when the window was visible before the call. FALSE with ERROR_INVALID_WINDOW_HANDLE for no
// window of this process.
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL IsIconic(HWND hWnd);
// TRUE when the window and every one of its parents have WS_VISIBLE.
BOOL IsWindowVisible(HWND hWnd);
BOOL IsWindowEnabled(HWND hWnd);
// Sets or clears WS_DISABLED; returns TRUE when the window was disabled before.
BOOL EnableWindow(HWND hWnd, BOOL bEnable);

// ---- Activation and focus --------------------------------------------------------------------

// The active window is a top-level window of the process; the focus window is it or one of its
// descendants. Activating sends WM_ACTIVATE (WA_INACTIVE, lParam the new window) to the window
// that was active, then WM_ACTIVATE (WA_ACTIVE, lParam the old one) to the new one, whose
// default handling gives it the focus. Moving the focus sends WM_KILLFOCUS (wParam the new
// window) to the old focus, then WM_SETFOCUS (wParam the old one) to the new focus.
HWND SetActiveWindow(HWND hWnd);
HWND GetActiveWindow();
// Activates the top-level window of hWnd; the foreground window is the active one.
BOOL SetForegroundWindow(HWND hWnd);
HWND GetForegroundWindow();
// Gives hWnd the focus (activating its top-level window first) and returns the window that had
// it; NULL for no focus. NULL with ERROR_INVALID_WINDOW_HANDLE for no window, with
// ERROR_ACCESS_DENIED for a window of another thread.
HWND SetFocus(HWND hWnd);
// The focus window when it belongs to the calling thread, else NULL.
HWND GetFocus();

// ---- Relatives -------------------------------------------------------------------------------

// The parent of a child window, the owner of an owned top-level window, else NULL.
HWND GetParent(HWND hWnd);
BOOL IsChild(HWND hWndParent, HWND hWnd);
// The child of hDlg with control id nIDDlgItem; NULL with ERROR_CONTROL_ID_NOT_FOUND.
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
// The control id a child window was created with (its hMenu); 0 for a top-level window.
int GetDlgCtrlID(HWND hWnd);

#define GW_HWNDFIRST 0u
#define GW_HWNDLAST 1u
#define GW_HWNDNEXT 2u
#define GW_HWNDPREV 3u
#define GW_OWNER 4u
#define GW_CHILD 5u
// Siblings in z-order (front first), the owner, the frontmost child.
HWND GetWindow(HWND hWnd, UINT uCmd);

#ifndef ERROR_CONTROL_ID_NOT_FOUND
#define ERROR_CONTROL_ID_NOT_FOUND 1421u
#endif

// ---- Texts, longs, icons ---------------------------------------------------------------------

// Sends WM_SETTEXT; its default handling keeps the text.
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
// Copies at most nMaxCount - 1 bytes of the text and a terminator (WM_GETTEXT); returns the bytes
// copied. 0 for no window, an empty text or nMaxCount 0.
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
int GetWindowTextLengthA(HWND hWnd);

#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_ID (-12)
#define GWLP_USERDATA (-21)
#define GWLP_WNDPROC (-4)

// GWL_STYLE, GWL_EXSTYLE, GWL_ID and GWLP_USERDATA (GWLP_WNDPROC only through the pointer-sized
// pair). Setting returns the old value; 0 with ERROR_INVALID_INDEX for another index. The 32-bit
// pair keeps only the low 32 bits of the user data, as on 64-bit Windows.
LONG GetWindowLongA(HWND hWnd, int nIndex);
LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong);
LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex);
LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);

#ifndef ERROR_INVALID_INDEX
#define ERROR_INVALID_INDEX 1413u
#endif

// ---- System metrics --------------------------------------------------------------------------

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXCURSOR 13
#define SM_CYCURSOR 14
#define SM_CXDOUBLECLK 36
#define SM_CYDOUBLECLK 37
#define SM_CXSMICON 49
#define SM_CYSMICON 50
#define SM_CXDRAG 68
#define SM_CYDRAG 69

// The screen's size, icon and cursor sizes (32), small icons (16), the double-click box (4) and
// the drag threshold (4); 0 for any other index.
int GetSystemMetrics(int nIndex);

// Not Win32: the size of the screen, 1920 x 1080 until set (a backend sets its display's).
// FALSE with ERROR_INVALID_PARAMETER for a size below 1 x 1.
BOOL PalSetScreenSize(int cx, int cy);
