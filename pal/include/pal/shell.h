// The shell: ShellExecuteA and the show commands.
#pragma once

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
