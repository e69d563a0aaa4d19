// A bitmap: 32-bit pixels in memory that cairo draws into and composites from. Memory bitmaps are
// premultiplied ARGB; window surfaces are opaque (their alpha byte is ignored, as a window on
// Windows is opaque). A bottom-up bitmap keeps its rows in memory bottom first; it is drawn
// through a flip, so that its coordinates are the same as a top-down one's.
#pragma once

#include <cairo.h>

#include <memory>
#include <vector>

#include "draw/gdi_object.h"

namespace pal::draw {

// The largest side of a bitmap.
constexpr int kMaxBitmapSide = 16384;

struct Bitmap : GdiObject {
    static constexpr GdiKind kKind = GdiKind::kBitmap;
    enum class Format { kArgb, kOpaque };

    // Zeroed pixels; null when the size is not positive or too large.
    static std::shared_ptr<Bitmap> Create(int width, int height, Format format, bool bottomUp);
    Bitmap(int width, int height, Format format, bool bottomUp);
    ~Bitmap() override;

    // Maps the bitmap's coordinates (top-down) onto its cairo surface.
    cairo_matrix_t Flip() const;
    uint32_t* Row(int y);  // row y counted from the top
    uint32_t Pixel(int x, int y) { return Row(y)[x]; }

    const int width;
    const int height;
    const Format format;
    const bool bottomUp;
    bool dibSection = false;  // made by CreateDIBSection: GetObjectA gives its bits
    std::vector<uint32_t> memory;
    cairo_surface_t* surface = nullptr;
    HDC selectedInto = nullptr;  // the memory context it is in, if any
};

// Registers the bitmap in the handle table.
HBITMAP AddBitmap(std::shared_ptr<Bitmap> bitmap);

}  // namespace pal::draw
