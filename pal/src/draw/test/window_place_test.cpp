// The screen follows the desktop model (z-order, visibility, minimised state, places and sizes),
// and child windows draw into their part of their top-level window's pixels.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desktop/test/desktop_test_support.h"
#include "draw/test/window_pixels.h"

namespace {

using namespace pal::test;
using paltest::CreateAt;
using paltest::TestClass;
using paltest::WindowTest;

struct Probe {
    int x, y;
    uint32_t pixel;
};

void ExpectScreen(const char* step, const std::vector<Probe>& probes) {
    for (const Probe& p : probes) {
        EXPECT_EQ(ScreenPixel(p.x, p.y), p.pixel) << step << " at " << p.x << ", " << p.y;
    }
}

void ExpectWindow(HWND hwnd, const char* step, const std::vector<Probe>& probes) {
    for (const Probe& p : probes) {
        EXPECT_EQ(WindowPixel(hwnd, p.x, p.y), p.pixel) << step << " at " << p.x << ", " << p.y;
    }
}

// Two overlapping windows: red at (0, 0) and blue at (50, 50), both 100 x 100.
TEST_F(WindowTest, ScreenFollowsTheDesktopsOrderVisibilityPlaceAndSize) {
    TestClass windowClass;
    HWND red = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
    HWND blue = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, RECT{50, 50, 150, 150});
    ASSERT_TRUE(red && blue);
    PaintAll(red, RGB(255, 0, 0));
    PaintAll(blue, RGB(0, 0, 255));
    const uint32_t desktop = DesktopPixel();
    constexpr UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    const struct {
        const char* step;
        std::function<void()> act;
        std::vector<Probe> screen;
    } steps[] = {
        {"the newer on top", [] {}, {{75, 75, kBlue}, {25, 25, kRed}, {125, 125, kBlue}}},
        {"red raised",
         [&] { SetWindowPos(red, HWND_TOP, 0, 0, 0, 0, kKeep); },
         {{75, 75, kRed}, {99, 99, kRed}, {100, 100, kBlue}}},
        {"red sent to the back",
         [&] { SetWindowPos(red, HWND_BOTTOM, 0, 0, 0, 0, kKeep); },
         {{75, 75, kBlue}, {25, 25, kRed}}},
        {"blue minimised",
         [&] { ShowWindow(blue, SW_MINIMIZE); },
         {{75, 75, kRed}, {125, 125, desktop}}},
        {"blue restored", [&] { ShowWindow(blue, SW_RESTORE); }, {{75, 75, kBlue}}},
        {"blue hidden", [&] { ShowWindow(blue, SW_HIDE); }, {{75, 75, kRed}, {125, 125, desktop}}},
        {"blue shown and moved",
         [&] {
             ShowWindow(blue, SW_SHOWNA);
             SetWindowPos(blue, nullptr, 300, 200, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
         },
         {{75, 75, kRed}, {125, 125, desktop}, {300, 200, kBlue}, {399, 299, kBlue}}},
        // A larger window keeps its pixels; what it gains is white until it paints there.
        {"red grown",
         [&] { SetWindowPos(red, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER); },
         {{99, 99, kRed}, {150, 120, kWhite}, {199, 149, kWhite}, {200, 149, desktop}}},
        {"red shrunk",
         [&] { SetWindowPos(red, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER); },
         {{49, 49, kRed}, {50, 49, desktop}, {75, 75, desktop}}},
    };
    for (const auto& step : steps) {
        step.act();
        ExpectScreen(step.step, step.screen);
    }
    DestroyWindow(blue);
    DestroyWindow(red);
}

// A parent at (100, 50), 200 x 100, and a child at (50, 20), 60 x 40 in it.
class ChildPaintTest : public WindowTest {
protected:
    void Make(DWORD parentStyle, DWORD childStyle = 0) {
        parent_ = CreateAt(windowClass_, WS_POPUP | WS_VISIBLE | parentStyle, nullptr,
                           RECT{100, 50, 300, 150});
        child_ = CreateAt(windowClass_, WS_CHILD | WS_VISIBLE | childStyle, parent_,
                          RECT{50, 20, 110, 60});
        ASSERT_TRUE(parent_ && child_);
        PaintAll(parent_, RGB(0, 255, 0));
        PaintAll(child_, RGB(0, 0, 255));
    }
    void TearDown() override {
        DestroyWindow(parent_);
        WindowTest::TearDown();
    }
    TestClass windowClass_;
    HWND parent_ = nullptr;
    HWND child_ = nullptr;
};

TEST_F(ChildPaintTest, ChildDrawsIntoItsPartOfTheParentAtItsOrigin) {
    Make(0);
    // The child's fill of "everything" covered only its rectangle.
    ExpectWindow(parent_, "child filled",
                 {{50, 20, kBlue},
                  {109, 59, kBlue},
                  {49, 20, kGreen},
                  {110, 59, kGreen},
                  {50, 60, kGreen},
                  {0, 0, kGreen}});
    ExpectScreen("child filled", {{150, 70, kBlue}, {209, 109, kBlue}, {149, 70, kGreen}});
    // The child's 0, 0 is its own top-left; its context reads its own pixels.
    HDC dc = GetDC(child_);
    Fill(dc, RGB(255, 0, 0), RECT{0, 0, 1, 1});
    ReleaseDC(child_, dc);
    ExpectWindow(parent_, "child's corner", {{50, 20, kRed}, {51, 20, kBlue}});
    ExpectWindow(child_, "child's corner", {{0, 0, kRed}, {1, 0, kBlue}});
    // BeginPaint gives the child's update rectangle in its own coordinates, clipped to it.
    RECT part{10, 10, 20, 15};
    ASSERT_TRUE(InvalidateRect(child_, &part, FALSE));
    PAINTSTRUCT paint;
    dc = BeginPaint(child_, &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(paltest::SameRect(paint.rcPaint, part));
    Fill(dc, RGB(255, 0, 0));
    EndPaint(child_, &paint);
    ExpectWindow(parent_, "child painted",
                 {{60, 30, kRed},
                  {69, 34, kRed},
                  {59, 30, kBlue},
                  {70, 34, kBlue},
                  {60, 35, kBlue},
                  {0, 0, kGreen}});
}

// The parent's painting covers its children unless it has WS_CLIPCHILDREN; a hidden child does
// not clip it.
TEST_F(ChildPaintTest, ParentPaintingAndItsChildren) {
    const struct {
        DWORD parentStyle;
        bool childHidden;
        uint32_t underChild;  // the parent's pixel at the child's place after the parent fills red
    } cases[] = {
        {0, false, kRed},
        {WS_CLIPCHILDREN, false, kBlue},
        {WS_CLIPCHILDREN, true, kRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "style " << c.parentStyle << " hidden " << c.childHidden);
        Make(c.parentStyle);
        if (c.childHidden) {
            ShowWindow(child_, SW_HIDE);
        }
        PaintAll(parent_, RGB(255, 0, 0));
        ExpectWindow(
            parent_, "parent filled",
            {{50, 20, c.underChild}, {109, 59, c.underChild}, {49, 20, kRed}, {110, 60, kRed}});
        DestroyWindow(parent_);
    }
    parent_ = nullptr;
}

// A child is clipped to its parent's rectangle (and to a parent between), and draws nothing while
// it or that parent is hidden.
TEST_F(ChildPaintTest, ChildIsClippedToItsParents) {
    Make(0);
    // A child that reaches out of the parent, and a grandchild that reaches out of the child.
    HWND outer = CreateAt(windowClass_, WS_CHILD | WS_VISIBLE, parent_, RECT{180, 80, 240, 120});
    HWND inner = CreateAt(windowClass_, WS_CHILD | WS_VISIBLE, child_, RECT{40, 30, 100, 90});
    ASSERT_TRUE(outer && inner);
    PaintAll(outer, RGB(255, 0, 0));
    PaintAll(inner, RGB(255, 0, 0));
    ExpectWindow(parent_, "clipped",
                 {{180, 80, kRed},
                  {199, 99, kRed},
                  {179, 80, kGreen},
                  {90, 50, kRed},
                  {109, 59, kRed},
                  {110, 59, kGreen},
                  {90, 60, kGreen}});
    ExpectScreen("clipped", {{299, 149, kRed}, {300, 149, DesktopPixel()}});
    const struct {
        HWND hide;
        HWND draw;
        Probe where;  // in the parent
    } hidden[] = {
        {outer, outer, {185, 85, kRed}},
        {child_, inner, {95, 55, kRed}},  // the grandchild's parent is hidden
    };
    for (const auto& h : hidden) {
        ShowWindow(h.hide, SW_HIDE);
        PaintAll(h.draw, RGB(255, 255, 255));
        ShowWindow(h.hide, SW_SHOWNA);
        ExpectWindow(parent_, "hidden", {h.where});
    }
}

// The part of the window still to paint, or nothing.
std::optional<RECT> UpdateBox(HWND hwnd) {
    RECT box{};
    if (!GetUpdateRect(hwnd, &box, FALSE)) {
        return std::nullopt;
    }
    return box;
}

std::string Describe(const std::optional<RECT>& box) {
    if (!box) {
        return "none";
    }
    return std::to_string(box->left) + "," + std::to_string(box->top) + "," +
           std::to_string(box->right) + "," + std::to_string(box->bottom);
}

// Invalidating a part of a parent without WS_CLIPCHILDREN invalidates the children's share of it
// (in their own coordinates), down to a window that has WS_CLIPCHILDREN; hidden children are
// left out. The child is at (50, 20), 60 x 40; the grandchild at (5, 5), 20 x 20 in it.
TEST_F(ChildPaintTest, InvalidatingAParentInvalidatesTheChildrenUnderTheRectangle) {
    const RECT overChild{40, 10, 70, 30};
    const struct {
        const char* name;
        DWORD parentStyle;
        DWORD childStyle;
        bool childHidden;
        std::optional<RECT> rect;  // nothing: the whole parent
        std::optional<RECT> child;
        std::optional<RECT> grandchild;
    } cases[] = {
        {"part over the child", 0, 0, false, overChild, RECT{0, 0, 20, 10}, RECT{0, 0, 15, 5}},
        {"whole parent", 0, 0, false, std::nullopt, RECT{0, 0, 60, 40}, RECT{0, 0, 20, 20}},
        {"part beside the child", 0, 0, false, RECT{0, 0, 50, 20}, std::nullopt, std::nullopt},
        {"parent clips children", WS_CLIPCHILDREN, 0, false, overChild, std::nullopt, std::nullopt},
        {"child clips its child", 0, WS_CLIPCHILDREN, false, std::nullopt, RECT{0, 0, 60, 40},
         std::nullopt},
        {"hidden child", 0, 0, true, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Make(c.parentStyle, c.childStyle);
        HWND grandchild = CreateAt(windowClass_, WS_CHILD | WS_VISIBLE, child_, RECT{5, 5, 25, 25});
        ASSERT_NE(grandchild, nullptr);
        PaintAll(grandchild, RGB(0, 0, 255));
        if (c.childHidden) {
            ShowWindow(child_, SW_HIDE);
        }
        ASSERT_EQ(UpdateBox(child_), std::nullopt);
        ASSERT_TRUE(InvalidateRect(parent_, c.rect ? &*c.rect : nullptr, FALSE));
        EXPECT_EQ(Describe(UpdateBox(child_)), Describe(c.child));
        EXPECT_EQ(Describe(UpdateBox(grandchild)), Describe(c.grandchild));
        EXPECT_NE(UpdateBox(parent_), std::nullopt);
        DestroyWindow(parent_);
    }
    parent_ = nullptr;
}

// What a person sees: the parent's repaint over the invalidated rectangle covers the child, and
// the child then repaints its share over it; with WS_CLIPCHILDREN the parent's paint leaves the
// child alone.
TEST_F(ChildPaintTest, ChildRepaintsOverItsParentsRepaint) {
    const struct { DWORD parentStyle; } cases[] = {{0}, {WS_CLIPCHILDREN}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "parent style " << c.parentStyle);
        Make(c.parentStyle);
        HWND parent = parent_;
        HWND child = child_;
        paltest::CurrentReaction() = [parent, child](HWND hwnd, UINT message, WPARAM,
                                                     LPARAM) -> std::optional<LRESULT> {
            if (message != WM_PAINT || (hwnd != parent && hwnd != child)) {
                return std::nullopt;
            }
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            Fill(dc, hwnd == parent ? RGB(255, 0, 0) : RGB(255, 255, 255));
            EndPaint(hwnd, &paint);
            return 0;
        };
        // The child turns blue without the parent knowing; then the parent repaints a part.
        PaintAll(child_, RGB(0, 0, 255));
        const RECT overChild{40, 10, 70, 30};
        ASSERT_TRUE(InvalidateRect(parent_, &overChild, FALSE));
        paltest::PumpAll();
        const bool childRepaints = !(c.parentStyle & WS_CLIPCHILDREN);
        ExpectWindow(parent_, "repainted",
                     {{45, 15, kRed},
                      {55, 25, childRepaints ? kWhite : kBlue},
                      {69, 29, childRepaints ? kWhite : kBlue},
                      {75, 25, kBlue},
                      {55, 35, kBlue}});
        EXPECT_EQ(UpdateBox(child_), std::nullopt);
        paltest::CurrentReaction() = nullptr;
        DestroyWindow(parent_);
    }
    parent_ = nullptr;
}

// Overlapping siblings: one with WS_CLIPSIBLINGS leaves the siblings in front of it alone, one
// without draws over them; no window is clipped by the siblings behind it. Behind: a child at
// (10, 10), 60 x 40; in front: one at (40, 30), 60 x 40 (created later, so in front).
TEST_F(ChildPaintTest, SiblingsClipEachOtherWhereTheyAskTo) {
    const struct {
        const char* name;
        bool paintBack;  // which of the two paints red over everything
        DWORD style;
        uint32_t overlap;  // the pixel where they overlap, at (50, 40) of the parent
    } cases[] = {
        {"back, clips siblings", true, WS_CLIPSIBLINGS, kBlue},
        {"back, does not clip", true, 0, kRed},
        {"front, clips siblings", false, WS_CLIPSIBLINGS, kRed},
        {"front, does not clip", false, 0, kRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Make(0);
        ShowWindow(child_, SW_HIDE);
        HWND back = CreateAt(windowClass_, WS_CHILD | WS_VISIBLE | (c.paintBack ? c.style : 0),
                             parent_, RECT{10, 10, 70, 50});
        HWND front = CreateAt(windowClass_, WS_CHILD | WS_VISIBLE | (c.paintBack ? 0 : c.style),
                              parent_, RECT{40, 30, 100, 70});
        ASSERT_TRUE(back && front);
        PaintAll(back, RGB(0, 0, 255));
        PaintAll(front, RGB(0, 0, 255));
        PaintAll(c.paintBack ? back : front, RGB(255, 0, 0));
        ExpectWindow(parent_, "painted",
                     {{50, 40, c.overlap},
                      {c.paintBack ? 20 : 90, c.paintBack ? 20 : 60, kRed},
                      {c.paintBack ? 90 : 20, c.paintBack ? 60 : 20, kBlue}});
        DestroyWindow(parent_);
    }
    parent_ = nullptr;
}

}  // namespace
