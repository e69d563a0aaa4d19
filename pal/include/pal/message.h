// Messages and the per-thread message queue.
#pragma once

#include "pal/types.h"

// Differs from Windows: `pt` is always 0, 0.
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;  // GetTickCount when the message was posted
    POINT pt;    // always 0, 0: the layer has no pointer
};
typedef MSG* LPMSG;
typedef MSG* PMSG;

#define WM_NULL 0x0000u
#define WM_QUIT 0x0012u
#define WM_USER 0x0400u

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u
#define PM_NOYIELD 0x0002u

#ifndef ERROR_INVALID_THREAD_ID
#define ERROR_INVALID_THREAD_ID 1444u
#endif
#ifndef ERROR_NOT_ENOUGH_QUOTA
#define ERROR_NOT_ENOUGH_QUOTA 1816u
#endif

// Appends a thread message (hwnd NULL) to the queue of thread idThread. Fails with
// ERROR_INVALID_THREAD_ID when that thread has no queue yet or has ended, and with
// ERROR_NOT_ENOUGH_QUOTA when its queue already holds 10000 posted messages.
BOOL PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam);

// Takes the next message of the calling thread's queue (made by the first call), waiting for one.
// Messages sent to the thread's windows from other threads are handled first, inside the call
// (pal/window.h, SendMessageA). Then posted messages come in posting order; the quit state set
// by PostQuitMessage comes when no posted message matches; then WM_PAINT for a window to be
// painted, then WM_TIMER of a timer that is due. hWnd NULL takes every message of the thread,
// (HWND)-1 only thread messages, a window of the calling thread only that window's; any other
// hWnd fails with ERROR_INVALID_WINDOW_HANDLE. wMsgFilterMin and wMsgFilterMax both 0 take every
// message, else only those in the range; a WM_QUIT is taken whatever the range. Returns 0 for
// WM_QUIT, -1 on error, else nonzero.
BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);

// GetMessageA without waiting: TRUE when a message was there. PM_REMOVE takes it from the queue,
// PM_NOREMOVE leaves it (WM_PAINT stays until the window is painted, whichever); the first call
// of a thread makes its queue.
BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);

// Sets the calling thread's quit state: GetMessageA returns 0 with wParam nExitCode once no
// posted message is left before it (messages posted later are also taken first, as on Windows).
void PostQuitMessage(int nExitCode);
