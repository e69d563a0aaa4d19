// The screen: the visible top-level windows composited in z-order, each through its window
// region, with what was drawn straight on the screen's device context on top. That drawing stays
// until a window draws over the same pixels.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "draw/window_surface.h"

namespace pal::draw {

class Screen {
public:
    static Screen& Get();

    // A new window goes on top.
    void Add(std::shared_ptr<WindowSurface> window);
    void Remove(HWND hwnd);
    std::shared_ptr<WindowSurface> Find(HWND hwnd);
    // Bottom first.
    std::vector<std::shared_ptr<WindowSurface>> Windows();

    // What the screen's device context draws into, at the desktop's screen size now:
    // premultiplied, transparent where nothing was drawn. After a change of size it keeps the
    // drawing that still fits.
    std::shared_ptr<Bitmap> Overlay();
    // A window drew the rectangle (window coordinates): the screen drawing under it goes.
    void WindowDrew(WindowSurface& window, const cairo_rectangle_int_t& area);
    // The screen's context drew the rectangle (screen coordinates).
    void ScreenDrew(const cairo_rectangle_int_t& area);
    // The screen as it shows now, opaque, at the desktop's screen size.
    std::shared_ptr<Bitmap> Composite();

private:
    Screen();
    std::shared_ptr<Bitmap> OverlayLocked();
    std::mutex lock_;
    std::shared_ptr<Bitmap> overlay_;
    std::vector<std::shared_ptr<WindowSurface>> windows_;  // bottom first
    // Where the overlay may hold drawing: a window's drawing elsewhere clears nothing.
    cairo_region_t* drawn_;
};

// Writes the bitmap as a PNG file; false when the file cannot be written.
bool SavePng(Bitmap& bitmap, const std::string& path);

}  // namespace pal::draw
