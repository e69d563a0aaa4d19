// BRDJUpdate: a windowless program that makes one update attempt per run and always exits 0.
#include "update_run.h"
#include "windows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int) {
    RunUpdate(lpCmdLine);
    return 0;
}

PAL_WINMAIN(WinMain)
