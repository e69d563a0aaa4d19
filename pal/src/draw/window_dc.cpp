#include "draw/window_dc.h"

#include "draw/device_context.h"
#include "draw/screen.h"
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

HDC CreateWindowDc(const std::shared_ptr<WindowSurface>& window, cairo_region_t* limit) {
    auto dc = NewWindowContext(window->hwnd);
    dc->target = window->pixels;
    // Drawing follows the window region.
    cairo_region_t* shape = window->CopyShape();
    if (limit) {
        cairo_region_intersect(shape, limit);
        cairo_region_destroy(limit);
    }
    dc->limit = shape;
    std::weak_ptr<WindowSurface> weak = window;
    // What the context can change: the display presents only that part of what it touched.
    std::shared_ptr<cairo_region_t> reach(cairo_region_copy(shape), &cairo_region_destroy);
    dc->onDrawn = [weak, reach](const cairo_rectangle_int_t& area) {
        if (auto surface = weak.lock()) {
            Screen::Get().WindowDrew(*surface, area);
            present::Current().Drew(surface->hwnd, reach.get(), area);
        }
    };
    return AddDc(std::move(dc));
}

HDC CreateNullDc(HWND hwnd) {
    return AddDc(NewWindowContext(hwnd));
}

HDC CreateScreenDc() {
    auto dc = NewWindowContext(nullptr);
    dc->target = Screen::Get().overlay;
    dc->onDrawn = [](const cairo_rectangle_int_t& area) { Screen::Get().ScreenDrew(area); };
    return AddDc(std::move(dc));
}

bool ReleaseWindowDc(HDC hdc) {
    auto dc = FindDc(hdc);
    if (!dc || dc->type != DeviceContext::Type::kWindow) {
        return false;
    }
    RemoveDc(hdc);
    if (dc->window) {
        present::Current().Present(dc->window);  // what the context drew shows now
    }
    return true;
}

}  // namespace pal::draw
