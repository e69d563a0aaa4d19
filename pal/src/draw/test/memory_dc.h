// Test support: a memory device context with a 32-bit DIB section selected, whose pixels a test
// sets and reads by their top-down coordinates.
#pragma once

#include <cstdint>

#include "windows.h"

namespace pal::test {

class MemoryDc {
public:
    MemoryDc(int width, int height, bool bottomUp = false)
        : width_(width), height_(height), bottomUp_(bottomUp) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = bottomUp ? height : -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~MemoryDc() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    uint32_t* bits() const { return bits_; }
    uint32_t& At(int x, int y) { return bits_[(bottomUp_ ? height_ - 1 - y : y) * width_ + x]; }
    void Fill(uint32_t pixel) {
        for (int i = 0; i < width_ * height_; ++i) {
            bits_[i] = pixel;
        }
    }

private:
    int width_, height_;
    bool bottomUp_;
    HBITMAP bitmap_;
    uint32_t* bits_;
    HDC dc_;
    HGDIOBJ old_;
};

// A pixel expected at a point.
struct PixelAt {
    int x, y;
    uint32_t pixel;
};

}  // namespace pal::test
