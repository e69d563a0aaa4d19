// The shell: ShellExecuteA and the show commands.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "pal/types.h"

// Show commands. The layer is headless: a started WinMain-style program receives the value as
// its show command (entry.h); nothing is shown.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

// ShellExecuteA's failure values (32 or less).
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// Opens a file with the verb "open" (or NULL, the same). A program is started without waiting;
// lpParameters reaches it as ONE argument, unsplit (none when NULL or empty); lpDirectory is its
// current folder. An "http://" or "https://" address is handed to the program named by
// $PAL_URL_OPENER, else to xdg-open when present. The result, taken as an unsigned value, is
// above 32 on success; else SE_ERR_FNF (no such file), SE_ERR_PNF (its folder or lpDirectory is
// missing), SE_ERR_ACCESSDENIED, SE_ERR_OOM, or SE_ERR_NOASSOC (another verb, a file that is no
// program, or no program for addresses).
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                        LPCSTR lpDirectory, INT nShowCmd);

// ---- The notification area -------------------------------------------------------------------

#define NIM_ADD 0x00000000u
#define NIM_MODIFY 0x00000001u
#define NIM_DELETE 0x00000002u

#define NIF_MESSAGE 0x00000001u
#define NIF_ICON 0x00000002u
#define NIF_TIP 0x00000004u

struct NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    CHAR szInfo[256];
    union {
        UINT uTimeout;
        UINT uVersion;
    };
    CHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    HICON hBalloonIcon;
};
typedef NOTIFYICONDATAA* PNOTIFYICONDATAA;

// The first record's size: its tip holds 64 bytes.
#define NOTIFYICONDATAA_V1_SIZE (offsetof(NOTIFYICONDATAA, szTip) + 64)
// The whole record's size in the 32-bit layout, which the client writes into cbSize.
#define NOTIFYICONDATAA_X86_SIZE 508u

// Adds (NIM_ADD), changes (NIM_MODIFY) or removes (NIM_DELETE) the icon of lpData->hWnd and
// lpData->uID in the notification area. NIF_ICON, NIF_TIP and NIF_MESSAGE say which of hIcon,
// szTip (at most 127 bytes are kept, 63 with NOTIFYICONDATAA_V1_SIZE) and uCallbackMessage the
// call sets; an added icon has none of the others. cbSize is sizeof(NOTIFYICONDATAA),
// NOTIFYICONDATAA_X86_SIZE or NOTIFYICONDATAA_V1_SIZE. While an icon is there, a press,
// release or double click of either button on it, and a move over it, post uCallbackMessage
// (when set) to hWnd with wParam uID and lParam the mouse message (WM_LBUTTONDOWN ...). FALSE,
// the last error left alone, for a second add of the same icon, a change or removal of an icon
// that is not there, no record, another cbSize, another dwMessage, or an add for an hWnd that is no window.
BOOL Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData);

// Not Win32: the icons of the notification area, in the order shown (left to right), with the
// screen rectangle the input entry clicks; tips in GBK.
struct PalNotifyIcon {
    HWND hWnd;
    UINT uID;
    UINT uCallbackMessage;
    HICON hIcon;
    std::string tip;
    RECT rect;
};
std::vector<PalNotifyIcon> PalNotifyIcons();

// ---- Message boxes ---------------------------------------------------------------------------

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_CANCELTRYCONTINUE 0x00000006u
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONHAND 0x00000010u
#define MB_ICONERROR 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION 0x00000040u
#define MB_DEFBUTTON1 0x00000000u
#define MB_DEFBUTTON2 0x00000100u
#define MB_DEFBUTTON3 0x00000200u
#define MB_DEFMASK 0x00000F00u

#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#endif
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDTRYAGAIN 10
#define IDCONTINUE 11

#ifndef ERROR_INVALID_MSGBOX_STYLE
#define ERROR_INVALID_MSGBOX_STYLE 1438u
#endif

// A modal message box with the GBK text and caption (NULL: "错误"), and the buttons of uType's
// low four bits; returns the button chosen (IDOK ...). The layer shows no box: it records the
// box (PalMessageBoxes), writes its caption and text to standard error as UTF-8 and answers at
// once with the default button (MB_DEFBUTTON1 to 3; the first when the box has fewer). While
// boxes are held (PalHoldMessageBoxes), a box stays open until PalAnswerMessageBox answers it,
// the owner is disabled meanwhile and the thread's messages are dispatched; WM_QUIT ends it
// with the default button and is posted again. 0 with ERROR_INVALID_MSGBOX_STYLE for another
// button set, ERROR_INVALID_WINDOW_HANDLE for an hWnd that is no window.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// Not Win32: the message boxes of this process, oldest first (the most recent closed ones and
// every open one); texts in GBK; answer 0 while open.
struct PalMessageBox {
    DWORD id;  // 1, 2, 3 ... in the order shown
    HWND owner;
    DWORD threadId;
    std::string text;
    std::string caption;
    UINT type;
    int answer;
};
std::vector<PalMessageBox> PalMessageBoxes();
// Holds the boxes shown from now on open until answered (TRUE), or lets them be answered at
// once again (FALSE; boxes open already stay until answered).
void PalHoldMessageBoxes(BOOL hold);
// Answers the open box `id` with one of its buttons, from any thread. FALSE with
// ERROR_INVALID_PARAMETER when no such box is open or the box has no such button.
BOOL PalAnswerMessageBox(DWORD id, int button);

// ---- Common controls and debugging -----------------------------------------------------------

#define ICC_WIN95_CLASSES 0x000000FFu

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
typedef INITCOMMONCONTROLSEX* LPINITCOMMONCONTROLSEX;

// TRUE for a record whose dwSize is its size. The layer's window classes are always there, so
// nothing else is done.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);

// Sends the text to the debugger's output: to standard error (as UTF-8 from GBK) when
// $PAL_DEBUG_OUTPUT is "stderr", appended to the file it names otherwise, nowhere when it is
// unset or empty.
void OutputDebugStringA(LPCSTR lpOutputString);
