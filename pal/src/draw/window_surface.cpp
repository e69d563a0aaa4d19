#include "draw/window_surface.h"

#include <algorithm>

namespace pal::draw {
namespace {

// A window's pixels before it first paints: white, as an unpainted window shows.
std::shared_ptr<Bitmap> WhiteSurface(const RECT& r) {
    auto bitmap =
        Bitmap::Create(std::max<LONG>(1, r.right - r.left), std::max<LONG>(1, r.bottom - r.top),
                       Bitmap::Format::kOpaque, false);
    std::fill(bitmap->memory.begin(), bitmap->memory.end(), 0xFFFFFFFFu);
    return bitmap;
}

}  // namespace

cairo_rectangle_int_t WindowArea(const Bitmap& pixels, const RECT* r) {
    if (!r) {
        return {0, 0, pixels.width, pixels.height};
    }
    const int left = std::max<int>(0, r->left), top = std::max<int>(0, r->top);
    const int right = std::min<int>(pixels.width, r->right);
    const int bottom = std::min<int>(pixels.height, r->bottom);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

WindowSurface::WindowSurface(HWND h, const RECT& screenRect, bool visible)
    : hwnd(h),
      pixels(WhiteSurface(screenRect)),
      rect_(screenRect),
      visible_(visible),
      update_(cairo_region_create()) {}

WindowSurface::~WindowSurface() {
    cairo_region_destroy(region_);
    cairo_region_destroy(update_);
}

RECT WindowSurface::ScreenRect() {
    std::lock_guard<std::mutex> guard(lock_);
    return rect_;
}

bool WindowSurface::Visible() {
    std::lock_guard<std::mutex> guard(lock_);
    return visible_;
}

void WindowSurface::SetVisible(bool visible) {
    std::lock_guard<std::mutex> guard(lock_);
    visible_ = visible;
}

void WindowSurface::SetRegion(cairo_region_t* region) {
    std::lock_guard<std::mutex> guard(lock_);
    cairo_region_destroy(region_);
    region_ = region;
}

cairo_region_t* WindowSurface::CopyRegion() {
    std::lock_guard<std::mutex> guard(lock_);
    return region_ ? cairo_region_copy(region_) : nullptr;
}

cairo_region_t* WindowSurface::CopyShape() {
    const cairo_rectangle_int_t all = WindowArea(*pixels, nullptr);
    cairo_region_t* shape = cairo_region_create_rectangle(&all);
    std::lock_guard<std::mutex> guard(lock_);
    if (region_) {
        cairo_region_intersect(shape, region_);
    }
    return shape;
}

void WindowSurface::Invalidate(const RECT* rect, bool erase) {
    const cairo_rectangle_int_t area = WindowArea(*pixels, rect);
    std::lock_guard<std::mutex> guard(lock_);
    if (area.width > 0 && area.height > 0) {
        cairo_region_union_rectangle(update_, &area);
        erase_ = erase_ || erase;
    }
}

void WindowSurface::Validate(const RECT* rect) {
    const cairo_rectangle_int_t area = WindowArea(*pixels, rect);
    std::lock_guard<std::mutex> guard(lock_);
    cairo_region_subtract_rectangle(update_, &area);
    if (cairo_region_is_empty(update_)) {
        erase_ = false;
    }
}

bool WindowSurface::HasUpdate() {
    std::lock_guard<std::mutex> guard(lock_);
    return !cairo_region_is_empty(update_);
}

bool WindowSurface::UpdateBox(RECT* box) {
    std::lock_guard<std::mutex> guard(lock_);
    cairo_rectangle_int_t r;
    cairo_region_get_extents(update_, &r);
    *box = RECT{r.x, r.y, r.x + r.width, r.y + r.height};
    return !cairo_region_is_empty(update_);
}

cairo_region_t* WindowSurface::TakeUpdate(bool* erase) {
    std::lock_guard<std::mutex> guard(lock_);
    cairo_region_t* taken = update_;
    update_ = cairo_region_create();
    *erase = erase_;
    erase_ = false;
    return taken;
}

}  // namespace pal::draw
