#include "draw/screen.h"

#include <algorithm>
#include <cstdlib>

#include "desktop/desktop_model.h"
#include "draw/device_context.h"
#include "draw/icon.h"
#include "draw/window_place.h"

namespace pal::draw {
namespace {

// The desktop model's screen size, within what a bitmap can hold.
Extent ScreenExtent() {
    const Extent size = Desktop::Get().ScreenSize();
    return Extent{std::min(size.cx, kMaxBitmapSide), std::min(size.cy, kMaxBitmapSide)};
}

// $PAL_SCREEN_PNG: where the screen is saved as a window goes and at exit; null when unset.
const char* ScreenFile() {
    const char* path = std::getenv("PAL_SCREEN_PNG");
    return path && *path ? path : nullptr;
}

// The notification area's icons on their strip, above every window: each cell in the face
// colour with its icon centred, scaled down where it is larger than the cell.
void DrawNotifyStrip(cairo_t* cr) {
    for (const PalNotifyIcon& shown : PalNotifyIcons()) {
        const RECT& cell = shown.rect;
        const int cw = cell.right - cell.left, ch = cell.bottom - cell.top;
        SetSourceColor(cr, GetSysColor(COLOR_BTNFACE));
        cairo_rectangle(cr, cell.left, cell.top, cw, ch);
        cairo_fill(cr);
        auto image = IconImage(shown.hIcon);
        if (!image || image->width <= 0 || image->height <= 0) {
            continue;  // an icon handle that is none leaves its cell empty
        }
        const double scale = std::min({1.0, static_cast<double>(cw) / image->width,
                                       static_cast<double>(ch) / image->height});
        cairo_save(cr);
        cairo_translate(cr, cell.left + (cw - image->width * scale) / 2,
                        cell.top + (ch - image->height * scale) / 2);
        cairo_scale(cr, scale, scale);
        cairo_surface_flush(image->surface);
        cairo_set_source_surface(cr, image->surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
    }
}

}  // namespace

// Reads the variable again: the program may have changed or removed it since.
void SaveScreenFile() {
    if (const char* path = ScreenFile()) {
        SavePng(*Screen::Get().Composite(), path);
    }
}

Screen& Screen::Get() {
    static Screen* screen = new Screen;  // never destroyed: windows may go at exit
    return *screen;
}

Screen::Screen() : drawn_(cairo_region_create()) {
    if (ScreenFile()) {
        std::atexit(SaveScreenFile);
    }
}

std::shared_ptr<Bitmap> Screen::Overlay() {
    std::lock_guard<std::mutex> guard(lock_);
    return OverlayLocked();
}

std::shared_ptr<Bitmap> Screen::OverlayLocked() {
    const Extent size = ScreenExtent();
    if (overlay_ && overlay_->width == size.cx && overlay_->height == size.cy) {
        return overlay_;
    }
    auto resized = Bitmap::Create(size.cx, size.cy, Bitmap::Format::kArgb, false);
    if (overlay_) {
        cairo_surface_flush(overlay_->surface);
        cairo_t* cr = cairo_create(resized->surface);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, overlay_->surface, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_mark_dirty(resized->surface);
        const cairo_rectangle_int_t all{0, 0, size.cx, size.cy};
        cairo_region_intersect_rectangle(drawn_, &all);
    }
    overlay_ = resized;
    return overlay_;
}

void Screen::WindowDrew(HWND root, const cairo_region_t* touchable,
                        const cairo_rectangle_int_t& area) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (cairo_region_is_empty(drawn_)) {
            return;
        }
    }
    // Where the window shows on the screen: not where it is hidden, nor under a window in front.
    const std::vector<ShownWindow> shown = ShownWindows();
    auto at = std::find_if(shown.begin(), shown.end(),
                           [&](const ShownWindow& w) { return w.hwnd == root; });
    if (at == shown.end()) {
        return;
    }
    cairo_region_t* showing = cairo_region_copy(touchable);
    cairo_region_intersect_rectangle(showing, &area);
    cairo_region_translate(showing, at->rect.left, at->rect.top);
    for (auto front = at + 1; front != shown.end(); ++front) {
        cairo_region_t* shape = front->surface->CopyShape();
        cairo_region_translate(shape, front->rect.left, front->rect.top);
        cairo_region_subtract(showing, shape);
        cairo_region_destroy(shape);
    }
    std::lock_guard<std::mutex> guard(lock_);
    cairo_region_intersect(showing, drawn_);
    if (!cairo_region_is_empty(showing)) {
        cairo_t* cr = cairo_create(OverlayLocked()->surface);
        ClipTo(cr, showing);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_region_subtract(drawn_, showing);
    }
    cairo_region_destroy(showing);
}

void Screen::ScreenDrew(const cairo_rectangle_int_t& area) {
    std::lock_guard<std::mutex> guard(lock_);
    cairo_region_union_rectangle(drawn_, &area);
}

cairo_region_t* Screen::CopyDrawn() {
    std::lock_guard<std::mutex> guard(lock_);
    return cairo_region_copy(drawn_);
}

std::shared_ptr<Bitmap> Screen::Composite() {
    const Extent size = ScreenExtent();
    auto screen = Bitmap::Create(size.cx, size.cy, Bitmap::Format::kOpaque, false);
    cairo_t* cr = cairo_create(screen->surface);
    SetSourceColor(cr, GetSysColor(COLOR_BACKGROUND));
    cairo_paint(cr);
    for (const ShownWindow& window : ShownWindows()) {
        const RECT at = window.rect;
        auto pixels = window.surface->Pixels();
        cairo_region_t* shape = window.surface->CopyShape();
        cairo_region_translate(shape, at.left, at.top);
        cairo_save(cr);
        ClipTo(cr, shape);
        cairo_surface_flush(pixels->surface);
        cairo_set_source_surface(cr, pixels->surface, at.left, at.top);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_region_destroy(shape);
    }
    DrawNotifyStrip(cr);
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto overlay = OverlayLocked();
        cairo_surface_flush(overlay->surface);
        cairo_set_source_surface(cr, overlay->surface, 0, 0);
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(screen->surface);
    return screen;
}

bool SavePng(Bitmap& bitmap, const std::string& path) {
    cairo_surface_flush(bitmap.surface);
    return cairo_surface_write_to_png(bitmap.surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace pal::draw
