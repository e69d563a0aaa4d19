// The screen: the visible top-level windows composited in z-order, each through its window
// region, with what was drawn straight on the screen's device context on top. That drawing stays
// until a window draws over the same pixels.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include "draw/bitmap.h"

namespace pal::draw {

class Screen {
public:
    static Screen& Get();

    // What the screen's device context draws into, at the desktop's screen size now:
    // premultiplied, transparent where nothing was drawn. After a change of size it keeps the
    // drawing that still fits.
    std::shared_ptr<Bitmap> Overlay();
    // The top-level window root drew the rectangle within the region it may touch (both in its
    // pixels' coordinates): the screen drawing goes where that shows.
    void WindowDrew(HWND root, const cairo_region_t* touchable, const cairo_rectangle_int_t& area);
    // The screen's context drew the rectangle (screen coordinates).
    void ScreenDrew(const cairo_rectangle_int_t& area);
    // Where the screen's context's drawing shows now (screen coordinates); the caller owns it.
    cairo_region_t* CopyDrawn();
    // The screen as it shows now, opaque, at the desktop's screen size.
    std::shared_ptr<Bitmap> Composite();

private:
    Screen();
    std::shared_ptr<Bitmap> OverlayLocked();
    std::mutex lock_;
    std::shared_ptr<Bitmap> overlay_;
    // Where the overlay may hold drawing: a window's drawing elsewhere clears nothing.
    cairo_region_t* drawn_;
};

// Saves the screen to the file $PAL_SCREEN_PNG names, when it names one (at exit, and as a
// top-level window goes: the last picture with it).
void SaveScreenFile();

// Writes the bitmap as a PNG file; false when the file cannot be written.
bool SavePng(Bitmap& bitmap, const std::string& path);

}  // namespace pal::draw
