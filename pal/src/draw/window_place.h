// What drawing reads of the window model (pal/src/desktop): which top-level windows show on the
// screen and in what order, and where a window draws in its top-level window's pixels.
#pragma once

#include <cairo.h>

#include <memory>
#include <vector>

#include "draw/window_surface.h"

namespace pal::draw {

struct ShownWindow {
    HWND hwnd;
    std::shared_ptr<WindowSurface> surface;
    RECT rect;  // on the screen
};
// The top-level windows of the process that show on the screen (visible and not minimised),
// back first, as the desktop's z-order has them.
std::vector<ShownWindow> ShownWindows();

// Where a window draws: its top-level window's surface and pixels, the window's 0, 0 there, and
// the part of those pixels it may touch: its rectangle inside each parent's, cut by the window
// regions, less its visible children when it has WS_CLIPCHILDREN and less the visible siblings in
// front of it (or of a parent) that has WS_CLIPSIBLINGS; nothing while it or a parent below the
// top-level window is hidden.
struct PaintPlace {
    PaintPlace() = default;
    ~PaintPlace();
    PaintPlace(PaintPlace&& other) noexcept;
    PaintPlace& operator=(PaintPlace&&) = delete;

    std::shared_ptr<WindowSurface> root;  // null when the window does not draw (message-only)
    std::shared_ptr<Bitmap> pixels;
    int originX = 0, originY = 0;
    cairo_region_t* visible = nullptr;  // owned; in the pixels' coordinates
};
PaintPlace PlaceOf(HWND hwnd);

}  // namespace pal::draw
