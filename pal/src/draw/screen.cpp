#include "draw/screen.h"

#include <algorithm>
#include <cstdlib>

#include "desktop/desktop_model.h"
#include "draw/device_context.h"

namespace pal::draw {
namespace {

// The desktop model's screen size, within what a bitmap can hold.
Extent ScreenExtent() {
    const Extent size = Desktop::Get().ScreenSize();
    return Extent{std::min(size.cx, kMaxBitmapSide), std::min(size.cy, kMaxBitmapSide)};
}

void ClipToRegion(cairo_t* cr, const cairo_region_t* region) {
    const int n = cairo_region_num_rectangles(region);
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(region, i, &r);
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    }
    cairo_clip(cr);
}

// $PAL_SCREEN_PNG: where the screen is saved as a window goes and at exit; null when unset.
const char* ScreenFile() {
    const char* path = std::getenv("PAL_SCREEN_PNG");
    return path && *path ? path : nullptr;
}

// Reads the variable again: the program may have changed or removed it since.
void SaveScreenAtExit() {
    if (const char* path = ScreenFile()) {
        SavePng(*Screen::Get().Composite(), path);
    }
}

}  // namespace

Screen& Screen::Get() {
    static Screen* screen = new Screen;  // never destroyed: windows may go at exit
    return *screen;
}

Screen::Screen() : drawn_(cairo_region_create()) {
    if (ScreenFile()) {
        std::atexit(SaveScreenAtExit);
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

void Screen::Add(std::shared_ptr<WindowSurface> window) {
    std::lock_guard<std::mutex> guard(lock_);
    windows_.push_back(std::move(window));
}

void Screen::Remove(HWND hwnd) {
    if (ScreenFile() && Find(hwnd)) {
        SavePng(*Composite(), ScreenFile());  // the last picture with the window in it
    }
    std::lock_guard<std::mutex> guard(lock_);
    std::erase_if(windows_, [&](const auto& w) { return w->hwnd == hwnd; });
}

std::shared_ptr<WindowSurface> Screen::Find(HWND hwnd) {
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& w : windows_) {
        if (w->hwnd == hwnd) {
            return w;
        }
    }
    return nullptr;
}

std::vector<std::shared_ptr<WindowSurface>> Screen::Windows() {
    std::lock_guard<std::mutex> guard(lock_);
    return windows_;
}

void Screen::WindowDrew(WindowSurface& window, const cairo_rectangle_int_t& area) {
    const RECT at = window.ScreenRect();
    const cairo_rectangle_int_t onScreen{area.x + at.left, area.y + at.top, area.width,
                                         area.height};
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (cairo_region_contains_rectangle(drawn_, &onScreen) == CAIRO_REGION_OVERLAP_OUT) {
            return;
        }
    }
    if (!window.Visible()) {
        return;
    }
    cairo_region_t* shape = window.CopyShape();
    cairo_region_intersect_rectangle(shape, &area);
    cairo_region_translate(shape, at.left, at.top);
    std::lock_guard<std::mutex> guard(lock_);
    cairo_t* cr = cairo_create(OverlayLocked()->surface);
    ClipToRegion(cr, shape);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_region_subtract(drawn_, shape);
    cairo_region_destroy(shape);
}

void Screen::ScreenDrew(const cairo_rectangle_int_t& area) {
    std::lock_guard<std::mutex> guard(lock_);
    cairo_region_union_rectangle(drawn_, &area);
}

std::shared_ptr<Bitmap> Screen::Composite() {
    const Extent size = ScreenExtent();
    auto screen = Bitmap::Create(size.cx, size.cy, Bitmap::Format::kOpaque, false);
    cairo_t* cr = cairo_create(screen->surface);
    SetSourceColor(cr, GetSysColor(COLOR_BACKGROUND));
    cairo_paint(cr);
    for (const auto& window : Windows()) {
        if (!window->Visible()) {
            continue;
        }
        const RECT at = window->ScreenRect();
        cairo_region_t* shape = window->CopyShape();
        cairo_region_translate(shape, at.left, at.top);
        cairo_save(cr);
        ClipToRegion(cr, shape);
        cairo_surface_flush(window->pixels->surface);
        cairo_set_source_surface(cr, window->pixels->surface, at.left, at.top);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_region_destroy(shape);
    }
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
