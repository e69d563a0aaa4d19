#include "draw/window_place.h"

#include <utility>

#include "desktop/desktop_model.h"
#include "window/window_object.h"

namespace pal::draw {
namespace {

bool Showing(Window& window) {
    return (window.Style() & (WS_VISIBLE | WS_MINIMIZE)) == WS_VISIBLE;
}

// The window's shape (its rectangle cut by its region) at x, y of the pixels.
cairo_region_t* ShapeAt(WindowSurface& surface, int x, int y) {
    cairo_region_t* shape = surface.CopyShape();
    cairo_region_translate(shape, x, y);
    return shape;
}

}  // namespace

std::vector<ShownWindow> ShownWindows() {
    std::vector<ShownWindow> shown;
    const std::vector<HWND> frontFirst = Desktop::Get().Children(nullptr);
    for (auto it = frontFirst.rbegin(); it != frontFirst.rend(); ++it) {
        auto window = DesktopWindow(*it);
        if (window && window->surface && Showing(*window)) {
            shown.push_back(ShownWindow{*it, window->surface, window->Rect()});
        }
    }
    return shown;
}

PaintPlace::~PaintPlace() {
    cairo_region_destroy(visible);
}

PaintPlace::PaintPlace(PaintPlace&& other) noexcept
    : root(std::move(other.root)),
      pixels(std::move(other.pixels)),
      originX(other.originX),
      originY(other.originY),
      visible(std::exchange(other.visible, nullptr)) {}

PaintPlace PlaceOf(HWND hwnd) {
    PaintPlace place;
    auto window = DesktopWindow(hwnd);
    if (!window || !window->surface) {
        return place;
    }
    // Up the parents to the top-level window: the window's origin there, and the chain whose
    // rectangles clip it.
    std::vector<std::shared_ptr<Window>> chain{window};
    for (HWND parent = Desktop::Get().Parent(hwnd); parent;
         parent = Desktop::Get().Parent(parent)) {
        auto outer = DesktopWindow(parent);
        if (!outer || !outer->surface) {
            return place;
        }
        chain.push_back(outer);
    }
    const std::shared_ptr<Window>& top = chain.back();
    place.root = top->surface;
    place.pixels = top->surface->Pixels();
    place.visible = top->surface->CopyShape();
    // Each window below the top-level one: its offset in the pixels (the sum of the rectangles'
    // corners below the top), its own shape there, and it must show.
    std::vector<POINT> offsets(chain.size(), POINT{0, 0});
    bool hidden = false;
    for (size_t i = chain.size() - 1; i-- > 0;) {
        const RECT r = chain[i]->Rect();
        offsets[i] = POINT{offsets[i + 1].x + r.left, offsets[i + 1].y + r.top};
        if (!(chain[i]->Style() & WS_VISIBLE)) {
            hidden = true;
        }
        cairo_region_t* shape = ShapeAt(*chain[i]->surface, offsets[i].x, offsets[i].y);
        cairo_region_intersect(place.visible, shape);
        cairo_region_destroy(shape);
    }
    if (hidden) {
        cairo_region_destroy(place.visible);
        place.visible = cairo_region_create();
    }
    place.originX = offsets[0].x;
    place.originY = offsets[0].y;
    if (window->Style() & WS_CLIPCHILDREN) {
        for (HWND child : Desktop::Get().Children(hwnd)) {
            auto inner = DesktopWindow(child);
            if (inner && inner->surface && (inner->Style() & WS_VISIBLE)) {
                const RECT r = inner->Rect();
                cairo_region_t* shape =
                    ShapeAt(*inner->surface, place.originX + r.left, place.originY + r.top);
                cairo_region_subtract(place.visible, shape);
                cairo_region_destroy(shape);
            }
        }
    }
    return place;
}

}  // namespace pal::draw
