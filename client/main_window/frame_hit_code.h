// The main window's hit code: the window without its top and bottom pixel rows is the client
// area; those two rows (and every point outside) are HTCLOSE, which shows the arrow and never
// starts a drag.
#pragma once

#include "windows.h"

LRESULT FrameHitCode(const RECT& window, POINT screenPoint);
