// Device contexts of windows and of the screen.
#pragma once

#include <memory>

#include "draw/window_surface.h"

namespace pal::draw {

// A context that draws into the window's surface, limited to `limit` (window coordinates, taken
// over; null: the whole window) and to the window region. What it draws removes the screen
// drawing under it.
HDC CreateWindowDc(const std::shared_ptr<WindowSurface>& window, cairo_region_t* limit);
// A context that draws nowhere (a window without a surface).
HDC CreateNullDc(HWND hwnd);
// The screen's context: it draws over every window until they draw again.
HDC CreateScreenDc();
// Frees a context made by one of the above; false for any other handle.
bool ReleaseWindowDc(HDC hdc);

}  // namespace pal::draw
