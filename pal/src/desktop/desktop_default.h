// DefWindowProcA's handling of the desktop's messages: texts, icons, placement, activation and
// system commands (and, from the input area, hit tests, cursors and the move loop).
#pragma once

#include "windows.h"

namespace pal {

// True when msg is one of the desktop's messages, with its default result in *result.
bool DesktopDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace pal
