// The entry adapter for programs whose entry is a WinMain-style function:
//
//     int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int nShowCmd);
//     PAL_WINMAIN(WinMain)
//
// defines main, which calls the function with GetModuleHandleA(NULL), NULL, the program's
// arguments joined by single spaces (the text a starter passed as parameters arrives as it was
// sent), and the show command its starter gave (ShellExecuteA, or CreateProcessA with
// STARTF_USESHOWWINDOW), else SW_SHOWDEFAULT. main returns the function's result. Before the
// entry runs, main makes SIGINT and SIGTERM close the program (PalInstallCloseSignals).
#pragma once

#include "pal/types.h"
#include "pal/window.h"

typedef int (*PAL_WINMAIN_FUNCTION)(HINSTANCE, HINSTANCE, LPSTR, int);

// Not Win32: what PAL_WINMAIN's main does once the signals are set up.
int PalRunWinMain(int argc, char** argv, PAL_WINMAIN_FUNCTION entry);

// Differs from Windows: the command line is rebuilt from argv, and the show command comes from the
// starter.
#define PAL_WINMAIN(function)                       \
    int main(int argc, char** argv) {               \
        PalInstallCloseSignals();                   \
        return PalRunWinMain(argc, argv, function); \
    }
