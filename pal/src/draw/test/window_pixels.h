// Test support: colours, and the pixels of windows and of the screen, read back through the
// layer's own calls.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "draw/screen.h"
#include "draw/test/memory_dc.h"
#include "windows.h"

namespace pal::test {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;

// The screen where no window shows.
inline uint32_t DesktopPixel() {
    return 0xFF000000u | GetSysColor(COLOR_BACKGROUND);
}

// The window's pixel, read back through its context.
inline uint32_t WindowPixel(HWND hwnd, int x, int y) {
    MemoryDc probe(1, 1);
    HDC dc = GetDC(hwnd);
    EXPECT_TRUE(BitBlt(probe.dc(), 0, 0, 1, 1, dc, x, y, SRCCOPY));
    ReleaseDC(hwnd, dc);
    return probe.At(0, 0);
}

inline void Fill(HDC dc, COLORREF color, const RECT& r = RECT{0, 0, 2000, 2000}) {
    HBRUSH brush = CreateSolidBrush(color);
    EXPECT_TRUE(FillRect(dc, &r, brush));
    DeleteObject(brush);
}

// Paints the whole window in one colour (outside any WM_PAINT) and validates it.
inline void PaintAll(HWND hwnd, COLORREF color) {
    HDC dc = GetDC(hwnd);
    Fill(dc, color);
    ReleaseDC(hwnd, dc);
    ValidateRect(hwnd, nullptr);
}

inline uint32_t ScreenPixel(int x, int y) {
    return pal::draw::Screen::Get().Composite()->Pixel(x, y) | 0xFF000000u;
}

}  // namespace pal::test
