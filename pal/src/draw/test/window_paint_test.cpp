// Window surfaces, painting, invalidation, window regions and the screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "draw/test/window_pixels.h"
#include "image/png_decoder.h"
#include "test/window_test_support.h"

namespace {

using pal::test::Fill;
using pal::test::kBlue;
using pal::test::kRed;
using pal::test::kWhite;
using pal::test::PaintAll;
using pal::test::ScreenPixel;
using pal::test::WindowPixel;
using paltest::Log;
using paltest::TakeAll;
using paltest::TestClass;
using paltest::WindowTest;

HBRUSH WindowBrush() {
    return reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
}

bool HasPaint(HWND hwnd) {
    MSG msg;
    return PeekMessageA(&msg, hwnd, WM_PAINT, WM_PAINT, PM_NOREMOVE) != FALSE;
}

TEST_F(WindowTest, PaintDrawsOnlyWhatWasInvalidated) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_VISIBLE);
    ASSERT_NE(hwnd, nullptr);
    PaintAll(hwnd, RGB(0, 0, 255));
    EXPECT_FALSE(HasPaint(hwnd));
    RECT part{10, 10, 20, 30};
    ASSERT_TRUE(InvalidateRect(hwnd, &part, FALSE));
    EXPECT_TRUE(HasPaint(hwnd));
    RECT box{};
    EXPECT_TRUE(GetUpdateRect(hwnd, &box, FALSE));
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.bottom, 30);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(paint.rcPaint.left, 10);
    EXPECT_EQ(paint.rcPaint.top, 10);
    EXPECT_EQ(paint.rcPaint.right, 20);
    EXPECT_EQ(paint.rcPaint.bottom, 30);
    Fill(dc, RGB(255, 0, 0));  // the whole window, clipped to the part to paint
    EXPECT_TRUE(EndPaint(hwnd, &paint));
    const struct {
        int x, y;
        uint32_t pixel;
    } probes[] = {{10, 10, kRed},  {19, 29, kRed},  {9, 10, kBlue},
                  {20, 10, kBlue}, {10, 30, kBlue}, {0, 0, kBlue}};
    for (const auto& p : probes) {
        EXPECT_EQ(WindowPixel(hwnd, p.x, p.y), p.pixel) << p.x << ", " << p.y;
    }
    EXPECT_FALSE(GetUpdateRect(hwnd, &box, FALSE));
    EXPECT_FALSE(HasPaint(hwnd));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, ValidateRectAndUpdateWindow) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_VISIBLE);
    ASSERT_TRUE(ValidateRect(hwnd, nullptr));
    EXPECT_FALSE(HasPaint(hwnd));
    RECT a{0, 0, 10, 10}, b{5, 5, 15, 15};
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, FALSE);
    RECT box{};
    ASSERT_TRUE(GetUpdateRect(hwnd, &box, FALSE));
    EXPECT_EQ(box.right, 15);
    ValidateRect(hwnd, &a);
    ASSERT_TRUE(GetUpdateRect(hwnd, &box, FALSE));
    EXPECT_EQ(box.left, 5);  // what is left of b
    Log().Clear();
    EXPECT_TRUE(UpdateWindow(hwnd));  // paints at once, through the procedure
    EXPECT_EQ(Log().Messages(hwnd), std::vector<UINT>{WM_PAINT});
    EXPECT_FALSE(HasPaint(hwnd));
    Log().Clear();
    EXPECT_TRUE(UpdateWindow(hwnd));  // nothing to paint: nothing sent
    EXPECT_TRUE(Log().Messages(hwnd).empty());
    // An invalidation outside the window adds nothing.
    RECT outside{400, 400, 500, 500};
    InvalidateRect(hwnd, &outside, FALSE);
    EXPECT_FALSE(HasPaint(hwnd));
    DestroyWindow(hwnd);
    EXPECT_FALSE(InvalidateRect(hwnd, nullptr, TRUE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(GetDC(hwnd), nullptr);
}

TEST_F(WindowTest, EraseFillsTheUpdateRegionWithTheClassBrush) {
    TestClass windowClass(WindowBrush());
    HWND hwnd = windowClass.Create(WS_VISIBLE);
    PaintAll(hwnd, RGB(255, 0, 0));
    RECT part{0, 0, 5, 5};
    InvalidateRect(hwnd, &part, TRUE);
    Log().Clear();
    PAINTSTRUCT paint;
    ASSERT_NE(BeginPaint(hwnd, &paint), nullptr);
    EXPECT_EQ(Log().Messages(hwnd), std::vector<UINT>{WM_ERASEBKGND});
    EXPECT_FALSE(paint.fErase);  // erased by the default handling
    EndPaint(hwnd, &paint);
    EXPECT_EQ(WindowPixel(hwnd, 4, 4), kWhite);
    EXPECT_EQ(WindowPixel(hwnd, 5, 5), kRed);
    // Without erase, no WM_ERASEBKGND.
    InvalidateRect(hwnd, &part, FALSE);
    Log().Clear();
    ASSERT_NE(BeginPaint(hwnd, &paint), nullptr);
    EXPECT_TRUE(Log().Messages(hwnd).empty());
    EndPaint(hwnd, &paint);
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, MinimisedWindowGetsIconEraseBackground) {
    TestClass windowClass(WindowBrush());
    HWND hwnd = windowClass.Create(WS_VISIBLE | WS_MINIMIZE);
    Log().Clear();
    PAINTSTRUCT paint;
    ASSERT_NE(BeginPaint(hwnd, &paint), nullptr);
    EXPECT_EQ(Log().Messages(hwnd), std::vector<UINT>{WM_ICONERASEBKGND});
    EndPaint(hwnd, &paint);
    DestroyWindow(hwnd);
}

// The main window: 822 x 621 with the region (0, 0, 823, 622) and 5 x 5 corner ellipses.
TEST_F(WindowTest, RoundedRegionClipsDrawingTheScreenAndIsOwnedByTheWindow) {
    TestClass windowClass;
    HWND hwnd = CreateWindowExA(0, windowClass.Name(), "", WS_POPUP | WS_VISIBLE, 100, 50, 822, 621,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ValidateRect(hwnd, nullptr);
    HRGN region = CreateRoundRectRgn(0, 0, 823, 622, 5, 5);
    ASSERT_TRUE(SetWindowRgn(hwnd, region, TRUE));
    EXPECT_TRUE(HasPaint(hwnd));         // redraw
    EXPECT_FALSE(DeleteObject(region));  // the window owns it
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    Fill(dc, RGB(255, 0, 0));
    EndPaint(hwnd, &paint);
    const struct {
        int x, y;
        bool inside;
    } probes[] = {{0, 0, false}, {821, 0, false}, {0, 620, false},  {821, 620, false},
                  {1, 0, true},  {0, 1, true},    {820, 620, true}, {411, 310, true}};
    for (const auto& p : probes) {
        // Drawing stays inside the region (the corners keep the unpainted white) ...
        EXPECT_EQ(WindowPixel(hwnd, p.x, p.y), p.inside ? kRed : kWhite) << p.x << ", " << p.y;
        // ... and the screen shows the desktop there.
        EXPECT_EQ(ScreenPixel(100 + p.x, 50 + p.y),
                  p.inside ? kRed : (0xFF000000u | GetSysColor(COLOR_BACKGROUND)))
            << p.x << ", " << p.y;
    }
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(hwnd, copy), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(copy, 0, 0));
    EXPECT_TRUE(PtInRegion(copy, 1, 0));
    EXPECT_TRUE(SetWindowRgn(hwnd, nullptr, FALSE));
    EXPECT_EQ(GetWindowRgn(hwnd, copy), ERROR);
    DeleteObject(copy);
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, ScreenCompositesOverlappingWindowsNewestOnTop) {
    TestClass windowClass;
    HWND below = CreateWindowExA(0, windowClass.Name(), "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND above = CreateWindowExA(0, windowClass.Name(), "", WS_POPUP | WS_VISIBLE, 50, 50, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND hidden = CreateWindowExA(0, windowClass.Name(), "", WS_POPUP, 0, 0, 300, 300, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(below && above && hidden);
    PaintAll(below, RGB(255, 0, 0));
    PaintAll(above, RGB(0, 0, 255));
    PaintAll(hidden, RGB(0, 255, 0));
    const uint32_t desktop = 0xFF000000u | GetSysColor(COLOR_BACKGROUND);
    const struct {
        int x, y;
        uint32_t pixel;
    } probes[] = {{25, 25, kRed},    {49, 75, kRed},      {50, 50, kBlue},   {99, 99, kBlue},
                  {149, 149, kBlue}, {150, 150, desktop}, {120, 20, desktop}};
    for (const auto& p : probes) {
        EXPECT_EQ(ScreenPixel(p.x, p.y), p.pixel) << p.x << ", " << p.y;
    }
    DestroyWindow(above);
    EXPECT_EQ(ScreenPixel(75, 75), kRed);
    DestroyWindow(below);
    DestroyWindow(hidden);
}

TEST_F(WindowTest, ScreenTextStaysUntilAWindowRepaintsThere) {
    TestClass windowClass;
    HWND hwnd = CreateWindowExA(0, windowClass.Name(), "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
    PaintAll(hwnd, RGB(0, 0, 255));
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    // Opaque: the cell is filled with the default white background.
    ASSERT_TRUE(TextOutA(screen, 10, 10, "0:text", 6));
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ScreenPixel(10, 10), kWhite);
    // Drawing elsewhere in the window leaves the text.
    HDC dc = GetDC(hwnd);
    Fill(dc, RGB(255, 0, 0), RECT{100, 50, 200, 100});
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(ScreenPixel(10, 10), kWhite);
    EXPECT_EQ(ScreenPixel(150, 75), kRed);
    // A repaint over it takes it away.
    InvalidateRect(nullptr, nullptr, TRUE);  // every window
    PAINTSTRUCT paint;
    dc = BeginPaint(hwnd, &paint);
    Fill(dc, RGB(0, 0, 255));
    EndPaint(hwnd, &paint);
    EXPECT_EQ(ScreenPixel(10, 10), kBlue);
    DestroyWindow(hwnd);
}

// The screen is as large as the desktop says, and keeps what was drawn on it when that changes.
TEST_F(WindowTest, ScreenTakesTheDesktopsSize) {
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(TextOutA(screen, 5, 5, "size", 4));  // opaque: white behind the text
    ReleaseDC(nullptr, screen);
    const struct { int cx, cy; } sizes[] = {{1920, 1080}, {800, 600}, {2000, 1200}, {1920, 1080}};
    for (const auto& size : sizes) {
        ASSERT_TRUE(PalSetScreenSize(size.cx, size.cy));
        auto image = pal::draw::Screen::Get().Composite();
        EXPECT_EQ(image->width, size.cx);
        EXPECT_EQ(image->height, size.cy);
        EXPECT_EQ(ScreenPixel(5, 5), kWhite) << size.cx << " x " << size.cy;
        // The screen's context covers the whole screen.
        screen = GetDC(nullptr);
        Fill(screen, RGB(0, 0, 255), RECT{size.cx - 2, size.cy - 2, size.cx, size.cy});
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(ScreenPixel(size.cx - 1, size.cy - 1), kBlue) << size.cx << " x " << size.cy;
    }
}

std::string TempFile(const char* name) {
    return std::string(::testing::TempDir()) + "window_paint_test_" + name + ".png";
}

TEST_F(WindowTest, WindowAndScreenSaveAsPng) {
    const std::string screenFile = TempFile("at_exit");
    setenv("PAL_SCREEN_PNG", screenFile.c_str(), 1);  // read as the first window is made
    TestClass windowClass;
    HWND hwnd = CreateWindowExA(0, windowClass.Name(), "", WS_POPUP | WS_VISIBLE, 30, 40, 20, 10,
                                nullptr, nullptr, nullptr, nullptr);
    PaintAll(hwnd, RGB(0, 255, 0));
    const std::string windowFile = TempFile("window");
    ASSERT_TRUE(PalSaveWindowPngA(hwnd, windowFile.c_str()));
    pal::DecodedImage image;
    ASSERT_TRUE(pal::DecodePngFile(windowFile, &image));
    EXPECT_EQ(image.width, 20);
    EXPECT_EQ(image.height, 10);
    EXPECT_EQ(image.pixels[0], 0xFF00FF00u);
    EXPECT_FALSE(PalSaveWindowPngA(hwnd, "/nonexistent/dir/w.png"));
    DestroyWindow(hwnd);  // the screen is saved as the window goes
    unsetenv("PAL_SCREEN_PNG");
    ASSERT_TRUE(pal::DecodePngFile(screenFile, &image));
    EXPECT_EQ(image.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(image.pixels[40 * image.width + 30], 0xFF00FF00u);
    std::remove(windowFile.c_str());
    std::remove(screenFile.c_str());
}

// What the window's region cuts away is transparent in its picture, as it is not on the screen.
TEST_F(WindowTest, AWindowsPictureShowsOnlyItsRegion) {
    TestClass windowClass;
    HWND hwnd = CreateWindowExA(0, windowClass.Name(), "", WS_POPUP | WS_VISIBLE, 30, 40, 20, 10,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(SetWindowRgn(hwnd, CreateRectRgn(5, 0, 20, 10), TRUE));
    PaintAll(hwnd, RGB(0, 255, 0));
    const std::string file = TempFile("region");
    ASSERT_TRUE(PalSaveWindowPngA(hwnd, file.c_str()));
    pal::DecodedImage image;
    ASSERT_TRUE(pal::DecodePngFile(file, &image));
    ASSERT_EQ(image.width, 20);
    EXPECT_EQ(image.pixels[4] >> 24, 0u) << "cut away, yet in the picture";
    EXPECT_EQ(image.pixels[5], 0xFF00FF00u);
    EXPECT_EQ(image.pixels[9 * 20 + 19], 0xFF00FF00u);
    DestroyWindow(hwnd);
    std::remove(file.c_str());
}

}  // namespace
