// Drawing on the screen's device context shows on the server over the windows, as the headless
// screen has it, lets the pointer through to the windows under it, and goes where a window
// repaints over it.
#include <algorithm>

#include "x11/test/x11_test_support.h"

namespace paltest {
namespace {

constexpr RECT kPlace{0, 0, 240, 120};
constexpr COLORREF kFace = RGB(20, 120, 200);
constexpr uint32_t kFacePixel = 0x1478C8;  // kFace as the server's 0xRRGGBB
constexpr RECT kText{0, 0, 240, 60};

class X11OverlayTest : public X11Test {
protected:
    static size_t FacePixels(const std::vector<uint32_t>& pixels) {
        return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), kFacePixel));
    }
    static bool SawPress(HWND hwnd) {
        const auto messages = Log().Messages(hwnd);
        return std::find(messages.begin(), messages.end(), WM_LBUTTONDOWN) != messages.end();
    }
    TestClass class_;
};

TEST_F(X11OverlayTest, ScreenDrawingShowsOverTheWindowsAndLetsInputThroughUntilTheyRepaint) {
    HWND hwnd = ShowFilled(class_, kPlace, kFace);
    const auto before = Shot(kText);
    ASSERT_EQ(FacePixels(before), before.size());

    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    TextOutA(screen, 10, 10, "0:overlay", 9);
    TextOutA(screen, 10, 30, "1:second line", 13);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(PumpUntil([&] { return Drained() && Differences(kText) == 0; }))
        << "the screen's drawing on the server is not the headless screen";
    EXPECT_LT(FacePixels(Shot(kText)), before.size()) << "the drawing does not show";

    // A press on the drawing reaches the window under it.
    Log().Clear();
    Hands hands;
    ASSERT_TRUE(hands.Ready());
    hands.Click(1, 20, 18);
    EXPECT_TRUE(PumpUntil([&] { return SawPress(hwnd); })) << "the drawing took the press";

    // The window paints over it: the drawing goes.
    InvalidateRect(hwnd, nullptr, TRUE);
    ASSERT_TRUE(Settle(hwnd));
    EXPECT_TRUE(PumpUntil([&] { return Drained() && Differences(kText) == 0; }));
    EXPECT_EQ(Shot(kText), before) << "the drawing stayed after the window repainted";
    DestroyWindow(hwnd);
}

}  // namespace
}  // namespace paltest
