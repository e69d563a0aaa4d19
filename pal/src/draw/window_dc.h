// Device contexts of windows and of the screen.
#pragma once

#include <cairo.h>

#include "windows.h"

namespace pal::draw {

// A context that draws into the window's part of its top-level window's pixels, limited to
// `limit` (window coordinates, taken over; null: the whole window) and to what the window may
// touch (window_place.h); a context that draws nowhere for a window without a surface. What it
// draws removes the screen drawing under it.
HDC CreateWindowDc(HWND hwnd, cairo_region_t* limit);
// The screen's context: it draws over every window until they draw again.
HDC CreateScreenDc();
// Frees a context made by one of the above; false for any other handle.
bool ReleaseWindowDc(HDC hdc);

}  // namespace pal::draw
