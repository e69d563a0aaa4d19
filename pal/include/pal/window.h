// Windows and messages, headless: window classes, windows as message targets of their creating
// thread, the message loop's dispatch, posted and sent messages, timers and painting. Top-level
// windows are known across the processes of one runtime root (FindWindowA, PostMessageA).
// Messages and the thread queue itself are in pal/message.h.
#pragma once

#include "pal/draw.h"
#include "pal/message.h"
#include "pal/types.h"

typedef WORD ATOM;
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

#define MAKEINTATOM(i) (reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)

// ---- Classes ---------------------------------------------------------------------------------

#define CS_VREDRAW 0x0001u
#define CS_HREDRAW 0x0002u
#define CS_DBLCLKS 0x0008u
#define CS_OWNDC 0x0020u
#define CS_NOCLOSE 0x0200u
#define CS_GLOBALCLASS 0x4000u

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};
typedef WNDCLASSA* LPWNDCLASSA;

struct WNDCLASSEXA {
    UINT cbSize;  // sizeof(WNDCLASSEXA)
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};
typedef WNDCLASSEXA* LPWNDCLASSEXA;

// System colour indexes, as class background brushes take them (COLOR_WINDOW + 1).
#define COLOR_WINDOW 5

// System cursors for LoadCursorA(NULL, ...).
#define IDC_ARROW MAKEINTRESOURCEA(32512)

#ifndef ERROR_TLW_WITH_WSCHILD
#define ERROR_TLW_WITH_WSCHILD 1406u
#endif
#ifndef ERROR_CANNOT_FIND_WND_CLASS
#define ERROR_CANNOT_FIND_WND_CLASS 1407u
#endif
#ifndef ERROR_WINDOW_OF_OTHER_THREAD
#define ERROR_WINDOW_OF_OTHER_THREAD 1408u
#endif
#ifndef ERROR_CLASS_ALREADY_EXISTS
#define ERROR_CLASS_ALREADY_EXISTS 1410u
#endif
#ifndef ERROR_CLASS_DOES_NOT_EXIST
#define ERROR_CLASS_DOES_NOT_EXIST 1411u
#endif
#ifndef ERROR_CLASS_HAS_WINDOWS
#define ERROR_CLASS_HAS_WINDOWS 1412u
#endif
#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814u
#endif

// Registers a class of this process under lpszClassName (compared without regard to ASCII case)
// for hInstance (NULL: the program). Returns its atom (0xC000 and up), or 0 with
// ERROR_CLASS_ALREADY_EXISTS when that instance has the name already, ERROR_INVALID_PARAMETER
// for a missing class, name or procedure (or a wrong cbSize).
ATOM RegisterClassA(const WNDCLASSA* lpWndClass);
ATOM RegisterClassExA(const WNDCLASSEXA* lpWndClass);
// Removes a class: ERROR_CLASS_DOES_NOT_EXIST when unknown, ERROR_CLASS_HAS_WINDOWS while a
// window of it exists. lpClassName may be a MAKEINTATOM atom.
BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance);
// A system cursor (hInstance NULL): an opaque handle, the same for each call. Cursors of a
// module's resources are not available (NULL with ERROR_RESOURCE_NAME_NOT_FOUND).
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);

// ---- Windows ---------------------------------------------------------------------------------

#define WS_OVERLAPPED 0x00000000u
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_MINIMIZE 0x20000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_CLIPSIBLINGS 0x04000000u
#define WS_CLIPCHILDREN 0x02000000u
#define WS_MAXIMIZE 0x01000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_DLGFRAME 0x00400000u
#define WS_VSCROLL 0x00200000u
#define WS_HSCROLL 0x00100000u
#define WS_SYSMENU 0x00080000u
#define WS_THICKFRAME 0x00040000u
#define WS_GROUP 0x00020000u
#define WS_TABSTOP 0x00010000u
#define WS_MINIMIZEBOX 0x00020000u
#define WS_MAXIMIZEBOX 0x00010000u
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)

#define WS_EX_TOPMOST 0x00000008u
#define WS_EX_TOOLWINDOW 0x00000080u
#define WS_EX_CLIENTEDGE 0x00000200u
#define WS_EX_APPWINDOW 0x00040000u

#define CW_USEDEFAULT (static_cast<int>(0x80000000u))

// The parent that makes a message-only window: never found by FindWindowA, never painted.
#define HWND_MESSAGE (reinterpret_cast<HWND>(static_cast<intptr_t>(-3)))

#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_ERASEBKGND 0x0014u
#define WM_ICONERASEBKGND 0x0027u
#define WM_NCCREATE 0x0081u
#define WM_NCDESTROY 0x0082u
#define WM_COMMAND 0x0111u
#define WM_TIMER 0x0113u

// What WM_NCCREATE and WM_CREATE carry in lParam.
struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};
typedef CREATESTRUCTA* LPCREATESTRUCTA;

// Creates a window of the calling thread: a top-level window (hWndParent NULL), a child window
// (WS_CHILD, placed in its parent's client area, hMenu its control id), an owned top-level
// window (hWndParent names a window whose top-level window becomes the owner) or a message-only
// window (HWND_MESSAGE). It sends WM_NCCREATE (FALSE fails the creation, after WM_NCDESTROY) and
// WM_CREATE (-1 destroys the window again, WM_DESTROY and WM_NCDESTROY included), both with a
// CREATESTRUCTA, then returns the handle; NULL on failure with ERROR_CANNOT_FIND_WND_CLASS,
// ERROR_TLW_WITH_WSCHILD (WS_CHILD without parent), ERROR_INVALID_WINDOW_HANDLE (a parent that is
// no window) or ERROR_NOT_SUPPORTED (a parent of another process, or a message-only one).
// CW_USEDEFAULT in x gives an overlapped window the position 0, 0 (y is then ignored), in nWidth
// the size 640 x 480 (nHeight ignored); for other windows it means 0. A window created with
// WS_VISIBLE is to be painted once (WM_PAINT), and a visible top-level one is activated
// (pal/desktop.h). The handle names the window in every process of
// the runtime root and is never reused.
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                     int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                     HINSTANCE hInstance, LPVOID lpParam);
// Sends WM_DESTROY, then WM_NCDESTROY, kills the window's timers and drops its posted messages;
// the handle is invalid afterwards (ERROR_INVALID_WINDOW_HANDLE). Only the creating thread may
// destroy a window (ERROR_ACCESS_DENIED otherwise). Called again while the window is being
// destroyed, it returns TRUE and sends nothing.
BOOL DestroyWindow(HWND hWnd);
// TRUE for a window of this process that exists, or a top-level window of another live process
// of this runtime root.
BOOL IsWindow(HWND hWnd);
// The creating thread's id, and the process id in *lpdwProcessId when given; 0 with
// ERROR_INVALID_WINDOW_HANDLE for no window.
DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId);

// The default handling: WM_NCCREATE gives TRUE, WM_CLOSE destroys the window, WM_PAINT validates
// the window (BeginPaint and EndPaint), WM_ERASEBKGND and WM_ICONERASEBKGND fill the part to
// paint with the class's background brush and give 1 (0 without a brush); every other message
// gives 0.
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Top-level windows of every live process of this runtime root (message-only windows are not
// found). lpClassName and lpWindowName compare without regard to ASCII case; NULL matches any.
// Of several matches the most recently created one. NULL when there is none.
HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName);

// ---- The message loop ------------------------------------------------------------------------

// TranslateMessage: pal/input.h.
// Calls the procedure of lpMsg->hwnd and returns its result. A WM_TIMER whose lParam is the
// TIMERPROC of a live timer calls that procedure instead (also for thread timers, hwnd NULL).
// Returns 0 for a thread message, and with ERROR_INVALID_WINDOW_HANDLE for no window or
// ERROR_WINDOW_OF_OTHER_THREAD for a window of another thread.
LRESULT DispatchMessageA(const MSG* lpMsg);

// Appends a message to the queue of the window's thread and returns at once. hWnd NULL posts a
// thread message to the calling thread. A window of another process of the runtime root gets it
// through that process. FALSE with ERROR_INVALID_WINDOW_HANDLE for no window, with
// ERROR_NOT_ENOUGH_QUOTA when the queue (or the other process's inbox) is full.
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure and returns its result. For a window of another thread the message
// waits in that thread until its GetMessageA or PeekMessageA handles it, and the caller blocks
// until then, handling the messages sent to its own thread meanwhile. 0 with
// ERROR_INVALID_WINDOW_HANDLE for no window (also when it is destroyed, or its thread ends,
// before it handles the message); windows of other processes cannot be sent to (0 with
// ERROR_NOT_SUPPORTED).
LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// ---- Timers ----------------------------------------------------------------------------------

#define USER_TIMER_MINIMUM 0x0000000Au
#define USER_TIMER_MAXIMUM 0x7FFFFFFFu

// Starts (or, for an existing hWnd and nIDEvent, restarts) a timer of the calling thread: every
// uElapse ms (10 ms at least) a WM_TIMER (wParam the id, lParam lpTimerFunc) becomes due in the
// thread's queue. It comes after posted messages and paint, and a timer is due at most once:
// expiries while the thread is busy do not pile up. Returns nIDEvent (1 for id 0) for a window of
// the calling thread; with hWnd NULL a new id, unless nIDEvent names a thread timer already.
// 0 with ERROR_INVALID_WINDOW_HANDLE for no window, ERROR_ACCESS_DENIED for a window of another
// thread.
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
// Stops the timer; FALSE with ERROR_INVALID_PARAMETER when the calling thread has no such timer.
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);

// ---- Painting --------------------------------------------------------------------------------

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
typedef PAINTSTRUCT* LPPAINTSTRUCT;

// Each top-level window has an opaque 32-bit surface, and its child windows draw into their part
// of it, clipped to their rectangles; the screen shows the visible, not minimised top-level
// windows in the desktop's z-order, each through its window region, with what was drawn on the
// screen's context (GetDC(NULL)) over them until a window draws there again.

// Validates the window and gives a context that draws into it, clipped to the part that was to
// be painted; that part's box goes to lpPaint->rcPaint (empty when there is none). When the
// background is to be erased it first sends WM_ERASEBKGND (WM_ICONERASEBKGND for a window with
// WS_MINIMIZE) with the context; fErase is TRUE when that returned 0. NULL with
// ERROR_INVALID_WINDOW_HANDLE for no window of this process, ERROR_INVALID_PARAMETER without
// lpPaint.
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
// Frees BeginPaint's context. Always TRUE.
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

// Adds the rectangle (window coordinates; NULL: the whole window) to the part to paint, so the
// window gets WM_PAINT; bErase asks for the background to be erased first. hWnd NULL does this
// for every top-level window of the process. FALSE with ERROR_INVALID_WINDOW_HANDLE for no
// window of this process.
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
// Takes the rectangle (NULL: everything) out of the part to paint.
BOOL ValidateRect(HWND hWnd, const RECT* lpRect);
// Sends WM_PAINT at once when the window has a part to paint; TRUE (FALSE for no window).
BOOL UpdateWindow(HWND hWnd);
// The box of the part to paint in *lpRect (when given); TRUE when there is one. bErase is not
// used.
BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);

// A context for the whole window, or with hWnd NULL for the screen. NULL with
// ERROR_INVALID_WINDOW_HANDLE for no window of this process.
HDC GetDC(HWND hWnd);
// Frees a context of GetDC: 1, or 0 for any other handle.
int ReleaseDC(HWND hWnd, HDC hDC);

// Makes hRgn the window region (window coordinates): from then on the window owns it (the handle
// is no longer valid to the caller) and only its pixels show and are hit. NULL removes the
// region. bRedraw repaints the window. 0 with ERROR_INVALID_WINDOW_HANDLE for no window,
// ERROR_INVALID_HANDLE for an unknown region.
int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw);
// Copies the window region into hRgn and returns its type; ERROR when the window has none.
int GetWindowRgn(HWND hWnd, HRGN hRgn);

// Not Win32: save a window's pixels, or the whole screen, as a PNG file; FALSE when the window is
// unknown or the file cannot be written. When $PAL_SCREEN_PNG names a file, the screen is saved
// there whenever a top-level window goes and when the process exits, so a run without a display
// leaves a picture of what it showed last.
BOOL PalSaveWindowPngA(HWND hWnd, LPCSTR path);
BOOL PalSaveScreenPngA(LPCSTR path);

// ---- Ending a program from the terminal ------------------------------------------------------

// Not Win32. Makes SIGINT and SIGTERM close the program in its own order: the first such signal
// posts WM_CLOSE to the main window (the oldest existing top-level window of the thread that made
// this call), else WM_QUIT (exit code 0) to that thread's queue; when that thread has no queue,
// or at a second signal, the signal ends the process as it would by default. The calling thread
// blocks both signals, and so do the threads it starts afterwards; a thread of the layer takes
// them and does the posting (child processes start with no signal blocked). PAL_WINMAIN calls it
// before the entry runs; other programs may call it from their main thread, before they start
// threads. Later calls do nothing.
void PalInstallCloseSignals();
