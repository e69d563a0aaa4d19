#include "draw/window_place.h"

#include <algorithm>
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

// Cuts the visible ones of windows (children of one parent whose 0, 0 is at origin in the
// pixels) out of visible.
void CutOut(cairo_region_t* visible, const std::vector<HWND>& windows, POINT origin) {
    for (HWND hwnd : windows) {
        auto window = DesktopWindow(hwnd);
        if (window && window->surface && (window->Style() & WS_VISIBLE)) {
            const RECT r = window->Rect();
            cairo_region_t* shape = ShapeAt(*window->surface, origin.x + r.left, origin.y + r.top);
            cairo_region_subtract(visible, shape);
            cairo_region_destroy(shape);
        }
    }
}

// The siblings in front of hwnd (children of parent, front first).
std::vector<HWND> SiblingsInFront(HWND parent, HWND hwnd) {
    std::vector<HWND> siblings = Desktop::Get().Children(parent);
    siblings.erase(std::find(siblings.begin(), siblings.end(), hwnd), siblings.end());
    return siblings;
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
        if (chain[i]->Style() & WS_CLIPSIBLINGS) {
            CutOut(place.visible, SiblingsInFront(chain[i + 1]->hwnd, chain[i]->hwnd),
                   offsets[i + 1]);
        }
    }
    if (hidden) {
        cairo_region_destroy(place.visible);
        place.visible = cairo_region_create();
    }
    place.originX = offsets[0].x;
    place.originY = offsets[0].y;
    if (window->Style() & WS_CLIPCHILDREN) {
        CutOut(place.visible, Desktop::Get().Children(hwnd), offsets[0]);
    }
    return place;
}

}  // namespace pal::draw
