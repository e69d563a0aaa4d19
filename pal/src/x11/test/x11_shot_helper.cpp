// Saves what an X display shows as PNG, as the server has it (not the layer's own rendering):
//   pal_x11_shot_helper FILE.png [X Y WIDTH HEIGHT]
// The display is DISPLAY's; without a rectangle the whole screen. Exit 0 when saved, 1 when the
// display does not open or the rectangle is off the screen, 2 on bad arguments or a failed save.
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

bool Number(const char* text, int* value) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end || n < 0 || n > 1 << 16) {
        return false;
    }
    *value = static_cast<int>(n);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int x = 0, y = 0, width = 0, height = 0;
    if ((argc != 2 && argc != 6) ||
        (argc == 6 && !(Number(argv[2], &x) && Number(argv[3], &y) && Number(argv[4], &width) &&
                        Number(argv[5], &height)))) {
        std::fprintf(stderr, "usage: %s FILE.png [X Y WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "the display \"%s\" does not open\n", XDisplayName(nullptr));
        return 1;
    }
    const Screen* screen = DefaultScreenOfDisplay(display);
    if (argc == 2) {
        width = screen->width;
        height = screen->height;
    }
    if (width == 0 || height == 0 || x + width > screen->width || y + height > screen->height) {
        std::fprintf(stderr, "the rectangle is not on the %dx%d screen\n", screen->width,
                     screen->height);
        XCloseDisplay(display);
        return 1;
    }
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y,
                              static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) {
        XCloseDisplay(display);
        return 1;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < height; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(data + row * stride);
        for (int column = 0; column < width; ++column) {
            line[column] = static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFF;
        }
    }
    cairo_surface_mark_dirty(surface);
    XDestroyImage(image);
    XCloseDisplay(display);
    const bool saved = cairo_surface_write_to_png(surface, argv[1]) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!saved) {
        std::fprintf(stderr, "%s could not be written\n", argv[1]);
        return 2;
    }
    return 0;
}
