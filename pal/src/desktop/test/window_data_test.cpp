// What a window carries: its text, longs and icons; and the system metrics.
#include <gtest/gtest.h>

#include <cstring>

#include "desktop/test/desktop_test_support.h"

namespace {

using paltest::CreateAt;
using paltest::Log;
using paltest::TestClass;
using paltest::WindowTest;

TEST_F(WindowTest, WindowTextGoesThroughTheProcedureAndIsCut) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 10, 10});
    ASSERT_NE(hwnd, nullptr);
    Log().Clear();
    ASSERT_TRUE(SetWindowTextA(hwnd, "BrindoDJ"));
    EXPECT_EQ(Log().Messages(hwnd), std::vector<UINT>{WM_SETTEXT});
    EXPECT_EQ(GetWindowTextLengthA(hwnd), 8);
    const struct {
        int size;
        int result;
        const char* text;  // what the buffer holds afterwards
    } cases[] = {
        {100, 8, "BrindoDJ"}, {9, 8, "BrindoDJ"}, {8, 7, "BrindoD"}, {1, 0, ""}, {0, 0, "~~~~"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        char buffer[100];
        std::memset(buffer, 0, sizeof buffer);
        std::memset(buffer, '~', 4);
        EXPECT_EQ(GetWindowTextA(hwnd, buffer, c.size), c.result);
        EXPECT_STREQ(buffer, c.text);
    }
    // A procedure that keeps the text to itself decides what GetWindowTextA gives.
    paltest::CurrentReaction() = [](HWND, UINT message, WPARAM size,
                                    LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_GETTEXT && size > 2) {
            std::strcpy(reinterpret_cast<char*>(lParam), "Me");
            return 2;
        }
        return std::nullopt;
    };
    char buffer[16];
    EXPECT_EQ(GetWindowTextA(hwnd, buffer, sizeof buffer), 2);
    EXPECT_STREQ(buffer, "Me");
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, FindWindowFindsATopLevelWindowByItsNewText) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_POPUP, nullptr, "");
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(SetWindowTextA(hwnd, "BrindoDJ"));
    EXPECT_EQ(FindWindowA(windowClass.Name(), "BrindoDJ"), hwnd);
    EXPECT_EQ(FindWindowA(windowClass.Name(), ""), nullptr);
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, WindowLongs) {
    TestClass windowClass;
    HWND parent = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 10, 10});
    HWND child = CreateAt(windowClass, WS_CHILD, parent, {0, 0, 5, 5}, 1000);
    ASSERT_TRUE(parent && child);
    ASSERT_TRUE(SetWindowPos(parent, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    const struct {
        HWND hwnd;
        int index;
        LONG initial;
        LONG set;
    } cases[] = {
        {parent, GWL_STYLE, static_cast<LONG>(WS_POPUP), static_cast<LONG>(WS_POPUP | WS_SYSMENU)},
        {parent, GWL_EXSTYLE, 0, static_cast<LONG>(WS_EX_APPWINDOW)},
        {child, GWL_ID, 1000, 1001},
        {child, GWLP_USERDATA, 0, -5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(GetWindowLongA(c.hwnd, c.index), c.initial);
        SetLastError(ERROR_INVALID_DATA);
        EXPECT_EQ(SetWindowLongA(c.hwnd, c.index, c.set), c.initial);
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS);  // a result of 0 is no failure
        EXPECT_EQ(GetWindowLongA(c.hwnd, c.index), c.set);
    }
    EXPECT_EQ(GetDlgItem(parent, 1001), child);
    // The 32-bit pair keeps the low half of pointer-sized user data.
    LONG_PTR wide = static_cast<LONG_PTR>(0x123456789ALL);
    SetWindowLongPtrA(child, GWLP_USERDATA, wide);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), wide);
    EXPECT_EQ(GetWindowLongA(child, GWLP_USERDATA), static_cast<LONG>(0x3456789A));
    // Other indexes fail; the procedure is reached through the pointer-sized pair only.
    for (int index : {-1, 0, 4, GWLP_WNDPROC}) {
        SCOPED_TRACE(index);
        SetLastError(0);
        EXPECT_EQ(SetWindowLongA(child, index, 1), 0);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    }
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&paltest::RecordingProc));
    DestroyWindow(parent);
}

TEST_F(WindowTest, SetIconKeepsBigAndSmallAndGivesThePreviousOne) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP, nullptr, {0, 0, 10, 10});
    ASSERT_NE(hwnd, nullptr);
    HICON one = reinterpret_cast<HICON>(uintptr_t{0x11});
    HICON two = reinterpret_cast<HICON>(uintptr_t{0x22});
    EXPECT_EQ(SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(one)), 0);
    EXPECT_EQ(SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(two)), 0);
    EXPECT_EQ(SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(two)),
              reinterpret_cast<LRESULT>(one));
    EXPECT_EQ(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(two));
    EXPECT_EQ(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(two));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, SystemMetricsAndTheScreenSize) {
    const struct {
        int index;
        int value;
    } cases[] = {
        {SM_CXSCREEN, 1920}, {SM_CYSCREEN, 1080}, {SM_CXICON, 32},     {SM_CYICON, 32},
        {SM_CXSMICON, 16},   {SM_CYSMICON, 16},   {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4},
        {SM_CXDRAG, 4},      {SM_CYDRAG, 4},      {9999, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
    }
    ASSERT_TRUE(PalSetScreenSize(800, 600));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    for (auto size : {std::pair{0, 600}, std::pair{800, -1}}) {
        SetLastError(0);
        EXPECT_FALSE(PalSetScreenSize(size.first, size.second));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    ASSERT_TRUE(PalSetScreenSize(1920, 1080));
}

}  // namespace
