// What the X11 backend needs of a top-level window, copied out of the model on the calling
// thread: its place, styles, title, icon and region (Look), and pixels of its surface (Pixels).
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "draw/bitmap.h"
#include "windows.h"

namespace pal::x11 {

struct Look {
    RECT rect{};
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    bool minimized = false;
    bool menu = false;  // a popup menu's window: no window manager, a pointer grab
    std::string title;  // UTF-8
    int iconWidth = 0;  // 0: no icon
    int iconHeight = 0;
    std::vector<uint32_t> icon;                 // straight (not premultiplied) ARGB, rows top first
    bool hasRegion = false;                     // false: the whole window shows
    std::vector<cairo_rectangle_int_t> region;  // window coordinates
    int surfaceWidth = 0;
    int surfaceHeight = 0;
};

struct Pixels {
    cairo_rectangle_int_t area{};  // window coordinates
    std::vector<uint32_t> data;    // area.width * area.height pixels, rows top first
};

// The look of hwnd when it is a top-level window on the desktop; nothing otherwise.
std::optional<Look> LookOf(HWND hwnd);
// The pixels of hwnd's surface in each rectangle of the region (null: the whole surface),
// clipped to the surface.
std::vector<Pixels> PixelsOf(HWND hwnd, const cairo_region_t* region);
// The bitmap's pixels in each rectangle of the region (null: all of it), clipped to it.
std::vector<Pixels> PixelsIn(draw::Bitmap& bitmap, const cairo_region_t* region);

// The icon drawn at the size into a transparent section: premultiplied ARGB, rows top first;
// false when it could not be drawn.
bool DrawIconPixels(HICON icon, int width, int height, std::vector<uint32_t>* pixels);

// GBK text as UTF-8; bytes that do not convert become "?".
std::string Utf8FromGbk(const std::string& gbk);

}  // namespace pal::x11
