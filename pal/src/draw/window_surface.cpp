#include "draw/window_surface.h"

#include <algorithm>

namespace pal::draw {
namespace {

// A window's pixels before it first paints: white, as an unpainted window shows.
std::shared_ptr<Bitmap> WhiteSurface(int width, int height) {
    auto bitmap =
        Bitmap::Create(std::clamp(width, 1, kMaxBitmapSide), std::clamp(height, 1, kMaxBitmapSide),
                       Bitmap::Format::kOpaque, false);
    std::fill(bitmap->memory.begin(), bitmap->memory.end(), 0xFFFFFFFFu);
    return bitmap;
}

}  // namespace

cairo_rectangle_int_t WindowArea(int width, int height, const RECT* r) {
    if (!r) {
        return {0, 0, width, height};
    }
    const int left = std::max<int>(0, r->left), top = std::max<int>(0, r->top);
    const int right = std::min<int>(width, r->right);
    const int bottom = std::min<int>(height, r->bottom);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

WindowSurface::WindowSurface(HWND h, const RECT& rect, bool owns)
    : hwnd(h),
      ownsPixels(owns),
      width_(std::max<LONG>(0, rect.right - rect.left)),
      height_(std::max<LONG>(0, rect.bottom - rect.top)),
      pixels_(owns ? WhiteSurface(width_, height_) : nullptr),
      update_(cairo_region_create()) {}

WindowSurface::~WindowSurface() {
    cairo_region_destroy(region_);
    cairo_region_destroy(update_);
}

std::shared_ptr<Bitmap> WindowSurface::Pixels() {
    std::lock_guard<std::mutex> guard(lock_);
    return pixels_;
}

cairo_rectangle_int_t WindowSurface::Area() {
    std::lock_guard<std::mutex> guard(lock_);
    return {0, 0, width_, height_};
}

void WindowSurface::Resize(int width, int height) {
    width = std::max(0, width), height = std::max(0, height);
    std::lock_guard<std::mutex> guard(lock_);
    if (width == width_ && height == height_) {
        return;
    }
    width_ = width, height_ = height;
    const cairo_rectangle_int_t all{0, 0, width, height};
    cairo_region_intersect_rectangle(update_, &all);
    if (!pixels_ || (pixels_->width == std::clamp(width, 1, kMaxBitmapSide) &&
                     pixels_->height == std::clamp(height, 1, kMaxBitmapSide))) {
        return;
    }
    auto resized = WhiteSurface(width, height);
    const int w = std::min(resized->width, pixels_->width);
    for (int y = 0; y < std::min(resized->height, pixels_->height); ++y) {
        std::copy_n(pixels_->Row(y), w, resized->Row(y));
    }
    pixels_ = resized;
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
    std::lock_guard<std::mutex> guard(lock_);
    const cairo_rectangle_int_t all{0, 0, width_, height_};
    cairo_region_t* shape = cairo_region_create_rectangle(&all);
    if (region_) {
        cairo_region_intersect(shape, region_);
    }
    return shape;
}

bool WindowSurface::InRegion(int x, int y) {
    std::lock_guard<std::mutex> guard(lock_);
    return !region_ || cairo_region_contains_point(region_, x, y);
}

void WindowSurface::Invalidate(const RECT* rect, bool erase) {
    std::lock_guard<std::mutex> guard(lock_);
    const cairo_rectangle_int_t area = WindowArea(width_, height_, rect);
    if (area.width > 0 && area.height > 0) {
        cairo_region_union_rectangle(update_, &area);
        erase_ = erase_ || erase;
    }
}

void WindowSurface::Validate(const RECT* rect) {
    std::lock_guard<std::mutex> guard(lock_);
    const cairo_rectangle_int_t area = WindowArea(width_, height_, rect);
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
