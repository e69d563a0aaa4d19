#include "x11/window_look.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "desktop/desktop_model.h"
#include "window/window_class.h"
#include "window/window_object.h"

namespace pal::x11 {
namespace {

// The class of the windows that TrackPopupMenu shows its menus in.
constexpr char kMenuClass[] = "#32768";

std::shared_ptr<Window> TopLevel(HWND hwnd) {
    auto window = DesktopWindow(hwnd);
    if (!window || !window->surface || Desktop::Get().Parent(hwnd)) {
        return nullptr;
    }
    return window;
}

// The icon's pixels made straight for the window manager.
void ReadIcon(HICON icon, Look* look) {
    int cx = 0, cy = 0;
    if (!icon || !PalGetIconSize(icon, &cx, &cy) || cx <= 0 || cy <= 0 ||
        !DrawIconPixels(icon, cx, cy, &look->icon)) {
        return;
    }
    for (uint32_t& pixel : look->icon) {
        const uint32_t a = pixel >> 24;
        auto channel = [&](int shift) {
            const uint32_t c = (pixel >> shift) & 0xFF;
            return a ? std::min<uint32_t>(255, c * 255 / a) << shift : 0;
        };
        pixel = (a << 24) | channel(16) | channel(8) | channel(0);
    }
    look->iconWidth = cx;
    look->iconHeight = cy;
}

}  // namespace

bool DrawIconPixels(HICON icon, int width, int height, std::vector<uint32_t>* pixels) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const bool drawn = section && bits;
    if (drawn) {
        HGDIOBJ old = SelectObject(dc, section);
        DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        SelectObject(dc, old);
        const auto* p = static_cast<const uint32_t*>(bits);
        pixels->assign(p, p + static_cast<size_t>(width) * height);
    }
    if (section) {
        DeleteObject(section);
    }
    DeleteDC(dc);
    return drawn;
}

std::optional<Look> LookOf(HWND hwnd) {
    auto window = TopLevel(hwnd);
    if (!window) {
        return std::nullopt;
    }
    Look look;
    look.rect = window->Rect();
    look.style = window->Style();
    look.exStyle = window->ExStyle();
    look.owner = Desktop::Get().Owner(hwnd);
    look.minimized = (look.style & WS_MINIMIZE) != 0;
    look.menu = window->windowClass && window->windowClass->name == kMenuClass;
    look.title = Utf8FromGbk(window->Title());
    HICON icon = window->Icon(true);
    ReadIcon(icon ? icon : window->Icon(false), &look);
    if (cairo_region_t* region = window->surface->CopyRegion()) {
        look.hasRegion = true;
        const int n = cairo_region_num_rectangles(region);
        look.region.resize(n);
        for (int i = 0; i < n; ++i) {
            cairo_region_get_rectangle(region, i, &look.region[i]);
        }
        cairo_region_destroy(region);
    }
    const std::shared_ptr<draw::Bitmap> pixels = window->surface->Pixels();
    look.surfaceWidth = pixels->width;
    look.surfaceHeight = pixels->height;
    return look;
}

std::vector<Pixels> PixelsOf(HWND hwnd, const cairo_region_t* region) {
    std::vector<Pixels> out;
    auto window = TopLevel(hwnd);
    if (!window) {
        return out;
    }
    return PixelsIn(*window->surface->Pixels(), region);
}

std::vector<Pixels> PixelsIn(draw::Bitmap& bitmap, const cairo_region_t* region) {
    std::vector<Pixels> out;
    const cairo_rectangle_int_t all{0, 0, bitmap.width, bitmap.height};
    cairo_region_t* parts =
        region ? cairo_region_copy(region) : cairo_region_create_rectangle(&all);
    cairo_region_intersect_rectangle(parts, &all);
    cairo_surface_flush(bitmap.surface);
    const int n = cairo_region_num_rectangles(parts);
    for (int i = 0; i < n; ++i) {
        Pixels pixels;
        cairo_region_get_rectangle(parts, i, &pixels.area);
        const cairo_rectangle_int_t& a = pixels.area;
        pixels.data.resize(static_cast<size_t>(a.width) * a.height);
        for (int y = 0; y < a.height; ++y) {
            const uint32_t* row = bitmap.Row(a.y + y) + a.x;
            std::copy(row, row + a.width, pixels.data.begin() + static_cast<size_t>(y) * a.width);
        }
        out.push_back(std::move(pixels));
    }
    cairo_region_destroy(parts);
    return out;
}

std::string Utf8FromGbk(const std::string& gbk) {
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return gbk;
    }
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(gbk.data());
    size_t left = gbk.size();
    while (left > 0) {
        char* dst = buffer;
        size_t room = sizeof buffer;
        const size_t rc = iconv(cd, &in, &left, &dst, &room);
        out.append(buffer, dst);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            out.push_back('?');  // a byte that is no GBK character, or a cut one at the end
            ++in;
            --left;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace pal::x11
