// What drawing keeps for a top-level window: its opaque 32-bit surface, where it lies on the
// screen, whether it shows, its window region and the part of it still to paint. The window model
// feeds it (creation, moves, visibility, SetWindowRgn); the paint calls read and change it. Other
// threads invalidate it, so its changing parts are under its own lock.
#pragma once

#include <cairo.h>

#include <memory>
#include <mutex>

#include "draw/bitmap.h"

namespace pal::draw {

class WindowSurface {
public:
    WindowSurface(HWND hwnd, const RECT& screenRect, bool visible);
    ~WindowSurface();
    WindowSurface(const WindowSurface&) = delete;
    WindowSurface& operator=(const WindowSurface&) = delete;

    const HWND hwnd;
    const std::shared_ptr<Bitmap> pixels;  // window coordinates, 0, 0 at its top-left

    RECT ScreenRect();
    bool Visible();
    void SetVisible(bool visible);

    // The window region in window coordinates (taken over; null: the whole window), and a copy
    // of it (null when there is none).
    void SetRegion(cairo_region_t* region);
    cairo_region_t* CopyRegion();
    // The window's pixels that show: its rectangle, cut by its region.
    cairo_region_t* CopyShape();

    // Adds the rectangle (null: the whole window) to the part to paint; erase asks for
    // WM_ERASEBKGND at the next BeginPaint. Removes it again (null: everything).
    void Invalidate(const RECT* rect, bool erase);
    void Validate(const RECT* rect);
    bool HasUpdate();
    // The box of the part to paint; false when there is none.
    bool UpdateBox(RECT* box);
    // Takes the part to paint (the caller owns it) and whether to erase; validates the window.
    cairo_region_t* TakeUpdate(bool* erase);

private:
    std::mutex lock_;
    RECT rect_;
    bool visible_;
    cairo_region_t* region_ = nullptr;
    cairo_region_t* update_;
    bool erase_ = false;
};

// The window's rectangle (window coordinates) of RECT r clipped to the window; null for all.
cairo_rectangle_int_t WindowArea(const Bitmap& pixels, const RECT* r);

}  // namespace pal::draw
