// The overlay on the headless screen: the lines it holds, where they are drawn, what stays of an
// older text in opaque mode, and the transparent mode's repaint only when a line is dropped.
// The screen is read back from its saved PNG.
#include "debug_overlay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_root.h"

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);

// The screen as saved by the layer, one 0xAARRGGBB value per pixel.
struct Screen {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const {
        return pixels[static_cast<size_t>(y) * width + x] | 0xFF000000u;
    }
    // True when every pixel of the box differs from colour.
    bool NoneIs(uint32_t colour, int left, int top, int right, int bottom) const {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (At(x, y) == colour) {
                    return false;
                }
            }
        }
        return true;
    }
    bool AllAre(uint32_t colour, int left, int top, int right, int bottom) const {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (At(x, y) != colour) {
                    return false;
                }
            }
        }
        return true;
    }
};

uint32_t Argb(COLORREF c) {
    return 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

LRESULT CALLBACK BluePainter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        HBRUSH brush = CreateSolidBrush(kBlue);
        RECT all{0, 0, 4000, 4000};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &paint);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class OverlayTest : public ::testing::Test {
protected:
    Screen Saved() {
        const std::string file = root_.Path() + "/screen.png";
        EXPECT_TRUE(PalSaveScreenPngA(file.c_str()));
        Screen screen;
        HBITMAP bitmap = PalLoadPngA(file.c_str(), nullptr);
        BITMAP info{};
        if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) {
            ADD_FAILURE() << "the saved screen does not load";
            return screen;
        }
        screen.width = info.bmWidth;
        screen.height = info.bmHeight;
        screen.pixels.resize(static_cast<size_t>(info.bmWidth) * info.bmHeight);
        for (int y = 0; y < info.bmHeight; ++y) {
            std::memcpy(
                &screen.pixels[static_cast<size_t>(y) * info.bmWidth],
                static_cast<const char*>(info.bmBits) + static_cast<size_t>(y) * info.bmWidthBytes,
                static_cast<size_t>(info.bmWidth) * 4);
        }
        DeleteObject(bitmap);
        return screen;
    }

    // The width of a line as the screen's context draws it.
    int Width(const std::string& line) {
        HDC screen = GetDC(nullptr);
        SIZE size{};
        GetTextExtentPoint32A(screen, line.data(), static_cast<int>(line.size()), &size);
        ReleaseDC(nullptr, screen);
        return size.cx;
    }

    // A visible window under the overlay's corner that paints itself blue, painted and validated.
    HWND BlueWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = BluePainter;
        windowClass.lpszClassName = "OverlayTestBlue";
        RegisterClassA(&windowClass);
        HWND hwnd = CreateWindowExA(0, "OverlayTestBlue", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 700,
                                    nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(hwnd, nullptr);
        Dispatch();
        return hwnd;
    }
    static void Dispatch() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }
    static bool HasPaint(HWND hwnd) { return GetUpdateRect(hwnd, nullptr, FALSE) != FALSE; }

    // A long first line, then "x" lines up to 31 held, none of them invalidating the window.
    void LongLineThenShortOnes(HWND window, bool transparent) {
        overlay_.ShowDebugText(kLongText, transparent);
        for (size_t i = 1; i < CDebugOverlay::kMaxLines; ++i) {
            overlay_.ShowDebugText("x", transparent);
            ASSERT_FALSE(HasPaint(window)) << "call " << i;
        }
    }
    // Where the top row's texts end: "1:x" after the drop, the long line before it.
    int ShortEnd() { return 10 + Width("1:x"); }
    int LongEnd() { return 10 + Width(std::string("0:") + kLongText); }

    static constexpr const char* kLongText = "a long first line of text";

    brtest::ScopedTestRoot root_;
    CDebugOverlay overlay_;
};

// 31 lines are held; the 32nd pushes out line 0, so the top row shows line 1; each row is 20
// pixels below the one before, from (10, 10). Texts with ':' and digits follow the number as
// they are; an empty text neither counts nor draws.
TEST_F(OverlayTest, ThirtyOneNumberedLinesThenTheOldestGoes) {
    const uint32_t desktop = Saved().At(5, 5);
    std::vector<std::string> expected;
    for (int i = 0; i < 31; ++i) {
        const std::string text = i == 3 ? "7:00 12" : "line" + std::to_string(i);
        overlay_.ShowDebugText(text, false);
        expected.push_back(std::to_string(i) + ":" + text);
        ASSERT_THAT(overlay_.Lines(), ::testing::ElementsAreArray(expected));
    }
    const Screen before = Saved();
    overlay_.ShowDebugText("", false);
    EXPECT_THAT(overlay_.Lines(), ::testing::ElementsAreArray(expected));
    EXPECT_EQ(Saved().pixels, before.pixels);

    // Rows 0 to 30 are drawn (opaque cells over the desktop), nothing above, left of or below.
    const int row30 = 10 + 20 * 30;
    EXPECT_TRUE(before.NoneIs(desktop, 10, 10, 10 + Width("0:line0"), 12));
    EXPECT_TRUE(before.NoneIs(desktop, 10, row30, 10 + Width("30:line30"), row30 + 2));
    EXPECT_TRUE(before.AllAre(desktop, 0, 0, 400, 10));
    EXPECT_TRUE(before.AllAre(desktop, 0, 0, 10, row30 + 20));
    EXPECT_TRUE(before.AllAre(desktop, 0, row30 + 20, 400, row30 + 40));

    overlay_.ShowDebugText("last", false);
    ASSERT_EQ(overlay_.Lines().size(), CDebugOverlay::kMaxLines);
    EXPECT_EQ(overlay_.Lines().front(), "1:line1");
    EXPECT_EQ(overlay_.Lines().back(), "31:last");
    EXPECT_TRUE(Saved().AllAre(desktop, 0, row30 + 20, 400, row30 + 40));  // never a 32nd row
}

// Opaque drawing erases nothing: after the drop the top row's shorter text leaves the tail of
// the longer text drawn there before. Opaque mode never invalidates the windows.
TEST_F(OverlayTest, OpaqueDrawingLeavesTheTailOfALongerOlderText) {
    HWND window = BlueWindow();
    const uint32_t blue = Argb(kBlue);
    LongLineThenShortOnes(window, false);
    overlay_.ShowDebugText("x", false);
    EXPECT_FALSE(HasPaint(window));
    Dispatch();
    const Screen screen = Saved();
    const int shortEnd = ShortEnd();
    const int longEnd = LongEnd();
    ASSERT_GT(longEnd, shortEnd + 20);
    // The tail is still there: the old text's opaque cell, not the window's blue.
    EXPECT_TRUE(screen.NoneIs(blue, shortEnd + 2, 11, longEnd - 2, 13));
    EXPECT_TRUE(screen.AllAre(blue, longEnd + 2, 10, longEnd + 40, 30));
    DestroyWindow(window);
}

// Transparent drawing: the windows are invalidated only when a line is dropped; their repaint
// then takes the old text's tail away.
TEST_F(OverlayTest, TransparentModeInvalidatesOnlyOnADrop) {
    HWND window = BlueWindow();
    const uint32_t blue = Argb(kBlue);
    LongLineThenShortOnes(window, true);
    const int shortEnd = ShortEnd();
    const int longEnd = LongEnd();
    // Transparent: only the glyphs are drawn, the window's blue shows between them.
    const Screen before = Saved();
    EXPECT_FALSE(before.AllAre(blue, shortEnd + 2, 10, longEnd - 2, 30));
    EXPECT_FALSE(before.NoneIs(blue, shortEnd + 2, 10, longEnd - 2, 30));

    overlay_.ShowDebugText("x", true);
    EXPECT_TRUE(HasPaint(window));
    Dispatch();
    EXPECT_TRUE(Saved().AllAre(blue, shortEnd + 2, 10, longEnd - 2, 30));
    DestroyWindow(window);
}

// The process's overlay holds one line after its first call: drawn on the top row only (over a
// window that has just repainted the corner).
TEST_F(OverlayTest, TheProcessOverlayDraws) {
    HWND window = BlueWindow();
    const uint32_t blue = Argb(kBlue);
    ShowDebugText("process", false);
    const Screen screen = Saved();
    EXPECT_TRUE(screen.NoneIs(blue, 10, 10, 10 + Width("0:process"), 12));
    EXPECT_TRUE(screen.AllAre(blue, 0, 30, 400, 60));
    DestroyWindow(window);
}

}  // namespace
