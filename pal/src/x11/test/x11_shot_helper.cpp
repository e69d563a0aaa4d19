// What an X display shows, as the server has it (not the layer's own rendering):
//   pal_x11_shot_helper FILE.png [X Y WIDTH HEIGHT]   saves the screen, or a rectangle of it
//   pal_x11_shot_helper --compare FILE.png X Y        compares the picture's opaque pixels
//                                                     with the screen at X, Y and tells how
//                                                     many differ
// The display is DISPLAY's. Exit 0 when saved or equal; 1 when the display does not open or the
// rectangle is off the screen; 2 on bad arguments or a picture that cannot be written or read;
// 3 when the pictures differ.
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

bool Number(const char* text, int* value) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end || n < -(1 << 16) || n > 1 << 16) {
        return false;
    }
    *value = static_cast<int>(n);
    return true;
}

int Usage(const char* program) {
    std::fprintf(stderr, "usage: %s FILE.png [X Y WIDTH HEIGHT]\n       %s --compare FILE.png X Y\n",
                 program, program);
    return 2;
}

// The screen's pixels in the rectangle as 0xRRGGBB, rows top first; empty when off the screen.
std::vector<uint32_t> Grab(Display* display, int x, int y, int width, int height) {
    const Screen* screen = DefaultScreenOfDisplay(display);
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > screen->width ||
        y + height > screen->height) {
        std::fprintf(stderr, "the rectangle is not on the %dx%d screen\n", screen->width,
                     screen->height);
        return {};
    }
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y,
                              static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) {
        return {};
    }
    std::vector<uint32_t> pixels;
    pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return pixels;
}

// The surface's pixels as 0xAARRGGBB, rows top first; a picture without alpha is opaque.
std::vector<uint32_t> PixelsOf(cairo_surface_t* surface) {
    const bool alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<uint32_t> pixels;
    for (int row = 0; row < height; ++row) {
        const auto* line = reinterpret_cast<const uint32_t*>(data + row * stride);
        for (int column = 0; column < width; ++column) {
            pixels.push_back(alpha ? line[column] : line[column] | 0xFF000000u);
        }
    }
    return pixels;
}

int Save(Display* display, const char* path, int x, int y, int width, int height) {
    const std::vector<uint32_t> pixels = Grab(display, x, y, width, height);
    if (pixels.empty()) {
        return 1;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < height; ++row) {
        std::memcpy(data + row * stride, &pixels[static_cast<size_t>(row) * width],
                    static_cast<size_t>(width) * sizeof(uint32_t));
    }
    cairo_surface_mark_dirty(surface);
    const bool saved = cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!saved) {
        std::fprintf(stderr, "%s could not be written\n", path);
        return 2;
    }
    return 0;
}

int Compare(Display* display, const char* path, int x, int y) {
    cairo_surface_t* picture = cairo_image_surface_create_from_png(path);
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "%s could not be read\n", path);
        cairo_surface_destroy(picture);
        return 2;
    }
    cairo_surface_flush(picture);
    const std::vector<uint32_t> expected = PixelsOf(picture);
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    cairo_surface_destroy(picture);
    const std::vector<uint32_t> shown = Grab(display, x, y, width, height);
    if (shown.empty()) {
        return 1;
    }
    // Only the picture's opaque pixels count: outside a window's region it has none.
    size_t differ = 0, compared = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (expected[i] >> 24 == 0xFF) {
            ++compared;
            differ += shown[i] != (expected[i] & 0xFFFFFF);
        }
    }
    std::printf("%zu of %zu pixels differ\n", differ, compared);
    if (compared == 0) {
        std::fprintf(stderr, "%s has no opaque pixel to compare\n", path);
        return 3;
    }
    return differ == 0 ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    const bool compare = argc >= 2 && std::strcmp(argv[1], "--compare") == 0;
    int x = 0, y = 0, width = 0, height = 0;
    if (compare ? argc != 5 || !Number(argv[3], &x) || !Number(argv[4], &y)
                : (argc != 2 && argc != 6) ||
                      (argc == 6 && !(Number(argv[2], &x) && Number(argv[3], &y) &&
                                      Number(argv[4], &width) && Number(argv[5], &height)))) {
        return Usage(argv[0]);
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "the display \"%s\" does not open\n", XDisplayName(nullptr));
        return 1;
    }
    if (!compare && argc == 2) {
        width = DefaultScreenOfDisplay(display)->width;
        height = DefaultScreenOfDisplay(display)->height;
    }
    const int status =
        compare ? Compare(display, argv[2], x, y) : Save(display, argv[1], x, y, width, height);
    XCloseDisplay(display);
    return status;
}
