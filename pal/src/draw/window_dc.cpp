#include "draw/window_dc.h"

#include <utility>

#include "draw/device_context.h"
#include "draw/screen.h"
#include "draw/window_place.h"
#include "x11/presenter.h"

namespace pal::draw {
namespace {

std::shared_ptr<DeviceContext> NewWindowContext(HWND hwnd) {
    auto dc = std::make_shared<DeviceContext>();
    dc->type = DeviceContext::Type::kWindow;
    dc->window = hwnd;
    dc->state.brush = GetStockObject(WHITE_BRUSH);
    dc->state.font = GetStockObject(SYSTEM_FONT);
    return dc;
}

}  // namespace

HDC CreateWindowDc(HWND hwnd, cairo_region_t* limit) {
    auto dc = NewWindowContext(hwnd);
    PaintPlace place = PlaceOf(hwnd);
    if (!place.root) {
        cairo_region_destroy(limit);
        return AddDc(std::move(dc));
    }
    dc->target = place.pixels;
    dc->originX = place.originX;
    dc->originY = place.originY;
    if (limit) {
        cairo_region_translate(limit, place.originX, place.originY);
        cairo_region_intersect(place.visible, limit);
        cairo_region_destroy(limit);
    }
    dc->limit = std::exchange(place.visible, nullptr);
    // The closure keeps its own copy of the limit: the screen learns what was drawn within it.
    std::shared_ptr<cairo_region_t> touchable(cairo_region_copy(dc->limit), cairo_region_destroy);
    dc->onDrawn = [root = place.root->hwnd, touchable](const cairo_rectangle_int_t& area) {
        Screen::Get().WindowDrew(root, touchable.get(), area);
        present::Current().Drew(root, touchable.get(), area);
    };
    return AddDc(std::move(dc));
}

HDC CreateScreenDc() {
    auto dc = NewWindowContext(nullptr);
    dc->target = Screen::Get().Overlay();
    dc->onDrawn = [](const cairo_rectangle_int_t& area) { Screen::Get().ScreenDrew(area); };
    return AddDc(std::move(dc));
}

bool ReleaseWindowDc(HDC hdc) {
    auto dc = FindDc(hdc);
    if (!dc || dc->type != DeviceContext::Type::kWindow) {
        return false;
    }
    RemoveDc(hdc);
    // What the context drew shows now: a window's drawing, or the screen's (no window).
    present::Current().Present(dc->window);
    return true;
}

}  // namespace pal::draw
