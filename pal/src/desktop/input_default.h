// DefWindowProcA's handling of input messages: hit tests, cursors, and the move loop that a
// press on a caption starts.
#pragma once

#include "windows.h"

namespace pal {

// True when msg is an input message, with its default result in *result.
bool InputDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
// The system's move loop (WM_SYSCOMMAND SC_MOVE): while the left button stays down the window
// follows the pointer from where it was at the last input the thread took (not from the
// message's point, which programs post in client coordinates too); the release ends it, Escape
// puts the window back.
void RunMoveLoop(HWND hwnd);

}  // namespace pal
