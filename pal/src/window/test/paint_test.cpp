// Painting: WM_PAINT for visible windows, BeginPaint and EndPaint.
#include <gtest/gtest.h>

#include "test/window_test_support.h"

namespace {

using paltest::Log;
using paltest::TakeAll;
using paltest::TestClass;
using paltest::WindowTest;

HBRUSH WindowBrush() {
    return reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
}

bool EqualRects(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(WindowTest, AVisibleWindowIsPaintedOnceAfterPostedMessagesAndBeforeTimers) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_VISIBLE);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(SetTimer(hwnd, 1, 10, nullptr));
    Sleep(30);
    PostMessageA(hwnd, WM_USER, 0, 0);
    std::vector<UINT> taken;
    MSG msg;
    while (taken.size() < 3 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        taken.push_back(msg.message);
        DispatchMessageA(&msg);  // the default handling paints
    }
    EXPECT_EQ(taken, (std::vector<UINT>{WM_USER, WM_PAINT, WM_TIMER}));
    KillTimer(hwnd, 1);
    EXPECT_TRUE(TakeAll().empty());  // painted: no WM_PAINT any more
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, WmPaintStaysUntilTheWindowIsPainted) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_VISIBLE);
    ASSERT_NE(hwnd, nullptr);
    MSG msg;
    for (UINT remove : {PM_NOREMOVE, PM_REMOVE, PM_REMOVE}) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, remove));
        EXPECT_EQ(msg.message, WM_PAINT);
        EXPECT_EQ(msg.hwnd, hwnd);
    }
    // A procedure that does not paint leaves it too.
    paltest::CurrentReaction() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return message == WM_PAINT ? std::optional<LRESULT>(0) : std::nullopt;
    };
    DispatchMessageA(&msg);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    PAINTSTRUCT paint;
    ASSERT_NE(BeginPaint(hwnd, &paint), nullptr);
    EXPECT_TRUE(EndPaint(hwnd, &paint));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, HiddenAndMessageOnlyWindowsAreNeverPainted) {
    TestClass windowClass;
    HWND hidden = windowClass.Create(0);
    HWND messageOnly = windowClass.Create(WS_VISIBLE, HWND_MESSAGE);
    ASSERT_TRUE(hidden && messageOnly);
    EXPECT_TRUE(TakeAll().empty());
    DestroyWindow(hidden);
    DestroyWindow(messageOnly);
}

TEST_F(WindowTest, BeginPaintGivesThePartToPaintAndErasesFirst) {
    TestClass plain;
    TestClass brushed(WindowBrush());
    const struct {
        const TestClass* windowClass;
        BOOL fErase;  // the default erase does it only with a brush
    } cases[] = {{&plain, TRUE}, {&brushed, FALSE}};
    for (const auto& c : cases) {
        HWND hwnd = c.windowClass->Create(WS_VISIBLE);
        ASSERT_NE(hwnd, nullptr);
        Log().Clear();
        PAINTSTRUCT paint;
        std::memset(&paint, 0xAB, sizeof paint);
        HDC dc = BeginPaint(hwnd, &paint);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(paint.hdc, dc);
        EXPECT_EQ(paint.fErase, c.fErase);
        EXPECT_TRUE(EqualRects(paint.rcPaint, RECT{0, 0, 300, 200}));
        EXPECT_EQ(paint.fRestore, FALSE);
        EXPECT_EQ(paint.fIncUpdate, FALSE);
        EXPECT_EQ(Log().Messages(), std::vector<UINT>{WM_ERASEBKGND});
        ASSERT_EQ(Log().All().size(), 1u);
        EXPECT_EQ(Log().All()[0].wParam, reinterpret_cast<WPARAM>(dc));
        EXPECT_TRUE(EndPaint(hwnd, &paint));
        // Painted already: nothing to paint, nothing to erase.
        Log().Clear();
        ASSERT_NE(BeginPaint(hwnd, &paint), nullptr);
        EXPECT_TRUE(EqualRects(paint.rcPaint, RECT{0, 0, 0, 0}));
        EXPECT_EQ(paint.fErase, FALSE);
        EXPECT_TRUE(Log().All().empty());
        EndPaint(hwnd, &paint);
        DestroyWindow(hwnd);
    }
}

TEST_F(WindowTest, BeginPaintErrors) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_VISIBLE);
    ASSERT_NE(hwnd, nullptr);
    PAINTSTRUCT paint;
    SetLastError(0);
    EXPECT_EQ(BeginPaint(hwnd, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    SetLastError(0);
    EXPECT_EQ(BeginPaint(nullptr, &paint), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    DestroyWindow(hwnd);
}

}  // namespace
