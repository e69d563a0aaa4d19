// A device context: the bitmap it draws into, where that bitmap's part for it starts, the clip,
// and the drawing state (colours, background mode, brush, font). A memory context draws into the
// bitmap selected into it; a window's context into the window's surface, at the client's
// origin, clipped to what the context may touch (the update region while painting).
#pragma once

#include <cairo.h>

#include <functional>
#include <memory>
#include <vector>

#include "draw/bitmap.h"

namespace pal::draw {

struct DcState {
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = 2;  // OPAQUE
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    cairo_region_t* clip = nullptr;  // SelectClipRgn's region in the context's coordinates; owned
};

struct DeviceContext : GdiObject {
    static constexpr GdiKind kKind = GdiKind::kDc;
    enum class Type { kMemory, kWindow };
    DeviceContext();
    ~DeviceContext() override;

    Type type = Type::kMemory;
    std::shared_ptr<Bitmap> target;   // the selected bitmap, or the window's surface
    int originX = 0, originY = 0;     // where the context's 0, 0 lies on the target
    cairo_region_t* limit = nullptr;  // in target coordinates; null: the whole target; owned
    // Called after each drawing call with the target rectangle it may have touched (a window
    // context tells the screen that the window changed there).
    std::function<void(const cairo_rectangle_int_t&)> onDrawn;
    HWND window = nullptr;
    DcState state;
    std::vector<DcState> saved;
};

// Registers the context and returns its handle.
HDC AddDc(std::shared_ptr<DeviceContext> dc);
std::shared_ptr<DeviceContext> FindDc(HDC hdc);
// Removes the context from the table and releases its selected bitmap.
void RemoveDc(HDC hdc);

// A cairo context on the DC's target: the flip of a bottom-up bitmap, the clip (the limit and
// the selected clip region) and the origin applied, so user coordinates are the DC's. Null when
// the DC draws nowhere. With a box (DC coordinates), drawing is clipped to it too.
struct Drawing {
    explicit Drawing(DeviceContext& dc, const cairo_rectangle_int_t* box = nullptr);
    ~Drawing();
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;
    // Adds the DC-coordinate rectangle to what the drawing touched (reported when it ends).
    void Touch(double x, double y, double w, double h);

    DeviceContext& dc;
    cairo_t* cr = nullptr;

private:
    double x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;
    bool touched_ = false;
};

// Clips cr to the region (in its user coordinates now).
void ClipTo(cairo_t* cr, const cairo_region_t* region);

// The pixel of a COLORREF, opaque.
uint32_t OpaquePixel(COLORREF color);
void SetSourceColor(cairo_t* cr, COLORREF color);

}  // namespace pal::draw
