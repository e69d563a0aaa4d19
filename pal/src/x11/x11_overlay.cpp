// What was drawn straight on the screen's device context: one window over the whole screen,
// override-redirect and raised over the others, shaped to where that drawing still shows and
// with no input region, so the pointer reaches the windows under it. It shows the headless
// screen there (the drawing over what lies under it) until the windows draw over it again.
#include "draw/screen.h"
#include "x11/x11_backend.h"

// Last: its macros clash with the layer's names.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace pal::x11 {

void Backend::RefreshOverlay() {
    cairo_region_t* drawn = draw::Screen::Get().CopyDrawn();
    std::vector<cairo_rectangle_int_t> shape(cairo_region_num_rectangles(drawn));
    for (size_t i = 0; i < shape.size(); ++i) {
        cairo_region_get_rectangle(drawn, static_cast<int>(i), &shape[i]);
    }
    std::vector<Pixels> parts;
    if (!shape.empty()) {
        parts = PixelsIn(*draw::Screen::Get().Composite(), drawn);
    }
    cairo_region_destroy(drawn);
    overlayShown_ = !shape.empty();
    Post([this, shape = std::move(shape), parts = std::move(parts)] { ShowOverlay(shape, parts); });
}

void Backend::ShowOverlay(const std::vector<cairo_rectangle_int_t>& shape,
                          const std::vector<Pixels>& parts) {
    if (shape.empty()) {
        if (overlay_.mapped) {
            XUnmapWindow(display_, overlay_.id);
            overlay_.mapped = false;
        }
        return;
    }
    const ::Screen* screen = DefaultScreenOfDisplay(display_);
    if (!overlay_.id) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixmap = None;
        attributes.event_mask = ExposureMask;
        overlay_.id = XCreateWindow(
            display_, DefaultRootWindow(display_), 0, 0, static_cast<unsigned>(screen->width),
            static_cast<unsigned>(screen->height), 0, CopyFromParent, InputOutput, CopyFromParent,
            CWOverrideRedirect | CWBackPixmap | CWEventMask, &attributes);
        overlay_.pixmap = XCreatePixmap(display_, overlay_.id, screen->width, screen->height,
                                        DefaultDepth(display_, DefaultScreen(display_)));
        overlay_.pixmapWidth = screen->width;
        overlay_.pixmapHeight = screen->height;
        // No input region: clicks and moves go to the windows under the drawing.
        XShapeCombineRectangles(display_, overlay_.id, ShapeInput, 0, 0, nullptr, 0, ShapeSet,
                                Unsorted);
    }
    for (const Pixels& pixels : parts) {
        Put(overlay_, pixels);
    }
    std::vector<XRectangle> rects;
    for (const cairo_rectangle_int_t& r : shape) {
        rects.push_back(XRectangle{static_cast<short>(r.x), static_cast<short>(r.y),
                                   static_cast<unsigned short>(r.width),
                                   static_cast<unsigned short>(r.height)});
    }
    XShapeCombineRectangles(display_, overlay_.id, ShapeBounding, 0, 0, rects.data(),
                            static_cast<int>(rects.size()), ShapeSet, Unsorted);
    XMapRaised(display_, overlay_.id);
    overlay_.mapped = true;
}

void Backend::RaiseOverlay() {
    if (overlay_.mapped) {
        XRaiseWindow(display_, overlay_.id);
    }
}

}  // namespace pal::x11
