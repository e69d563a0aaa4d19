// Moving the active and focus windows, with their messages (pal/desktop.h says which).
#pragma once

#include "windows.h"

namespace pal {

// A visible, enabled, not minimised window.
bool CanBeActive(HWND hwnd);
// Makes top (a top-level window, or NULL for none) the active window and brings it to the
// front; returns the window that was active.
HWND Activate(HWND top);
// hwnd is going (hidden, minimised or destroyed): when it or a window of its tree is active,
// the next visible, not minimised top-level window (its owner first) becomes active; when the
// focus is in its tree, the focus goes.
void LeaveActivation(HWND hwnd);
// Moves the focus to hwnd (NULL: no focus) with WM_KILLFOCUS and WM_SETFOCUS; returns the
// window that had it.
HWND MoveFocus(HWND hwnd);

}  // namespace pal
