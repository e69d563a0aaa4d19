// What drawing keeps for a window: its size, its window region and the part of it still to
// paint, and, for a top-level window, its opaque 32-bit pixels, into which its child windows draw
// too. Where the window lies and whether it shows are the window model's (window_place.h). The
// window model feeds it (creation, sizes, SetWindowRgn); the paint calls read and change it. Other
// threads invalidate it, so its changing parts are under its own lock.
#pragma once

#include <cairo.h>

#include <memory>
#include <mutex>

#include "draw/bitmap.h"

namespace pal::draw {

class WindowSurface {
public:
    // A top-level window's surface has pixels of its size; a child's has none.
    WindowSurface(HWND hwnd, const RECT& rect, bool ownsPixels);
    ~WindowSurface();
    WindowSurface(const WindowSurface&) = delete;
    WindowSurface& operator=(const WindowSurface&) = delete;

    const HWND hwnd;
    const bool ownsPixels;

    // Window coordinates, 0, 0 at its top-left; null for a child window.
    std::shared_ptr<Bitmap> Pixels();
    // The window's own rectangle, 0, 0 at its top-left.
    cairo_rectangle_int_t Area();
    // The window has a new size: the pixels follow it, keeping what still fits (white beyond).
    void Resize(int width, int height);

    // The window region in window coordinates (taken over; null: the whole window), and a copy
    // of it (null when there is none).
    void SetRegion(cairo_region_t* region);
    cairo_region_t* CopyRegion();
    // The window's pixels that show: its rectangle, cut by its region.
    cairo_region_t* CopyShape();
    // Whether the window point lies inside the window region (true without one).
    bool InRegion(int x, int y);

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
    int width_, height_;
    std::shared_ptr<Bitmap> pixels_;
    cairo_region_t* region_ = nullptr;
    cairo_region_t* update_;
    bool erase_ = false;
};

// The rectangle r (window coordinates; null for all) clipped to a window of that size.
cairo_rectangle_int_t WindowArea(int width, int height, const RECT* r);

}  // namespace pal::draw
