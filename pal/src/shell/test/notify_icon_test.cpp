// The notification area through Shell_NotifyIconA: adding, changing and removing icons, their
// order and places on the screen, the failures, and the callback messages a click posts.
#include <gtest/gtest.h>

#include <cstring>

#include "desktop/test/desktop_test_support.h"
#include "draw/test/window_pixels.h"
#include "test/png_writer.h"

namespace {

using paltest::CreateAt;
using paltest::TestClass;
using paltest::WindowTest;

constexpr UINT kCallback = 2557;
const HICON kIcon = reinterpret_cast<HICON>(static_cast<intptr_t>(0x100));
const HICON kOtherIcon = reinterpret_cast<HICON>(static_cast<intptr_t>(0x104));

NOTIFYICONDATAA Record(HWND hwnd, UINT id, UINT flags, HICON icon = kIcon, const char* tip = "") {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_X86_SIZE;
    data.hWnd = hwnd;
    data.uID = id;
    data.uFlags = flags;
    data.uCallbackMessage = kCallback;
    data.hIcon = icon;
    std::strncpy(data.szTip, tip, sizeof(data.szTip) - 1);
    return data;
}

BOOL Notify(DWORD message, NOTIFYICONDATAA data) {
    return Shell_NotifyIconA(message, &data);
}

// Removes what a test left in the process-wide area.
class NotifyTest : public WindowTest {
protected:
    void TearDown() override {
        for (const PalNotifyIcon& icon : PalNotifyIcons()) {
            Notify(NIM_DELETE, Record(icon.hWnd, icon.uID, 0));
        }
    }
};

TEST_F(NotifyTest, IconsAreAddedChangedAndRemovedInOrder) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_POPUP);
    ASSERT_TRUE(Notify(
        NIM_ADD, Record(hwnd, 1522, NIF_ICON | NIF_TIP | NIF_MESSAGE, kIcon, PalGbk("BrindoDJ"))));
    ASSERT_TRUE(Notify(NIM_ADD, Record(hwnd, 7, NIF_ICON)));
    std::vector<PalNotifyIcon> icons = PalNotifyIcons();
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0].hWnd, hwnd);
    EXPECT_EQ(icons[0].uID, 1522u);
    EXPECT_EQ(icons[0].uCallbackMessage, kCallback);
    EXPECT_EQ(icons[0].hIcon, kIcon);
    EXPECT_EQ(icons[0].tip, "BrindoDJ");
    // What the flags leave out is not set.
    EXPECT_EQ(icons[1].uCallbackMessage, 0u);
    EXPECT_EQ(icons[1].tip, "");
    // Side by side at the bottom right corner of the screen, in the order added.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(icons[1].rect.right, width);
    EXPECT_EQ(icons[1].rect.bottom, height);
    EXPECT_EQ(icons[0].rect.right, icons[1].rect.left);
    EXPECT_EQ(icons[0].rect.top, icons[1].rect.top);
    EXPECT_GT(icons[0].rect.right - icons[0].rect.left, 0);

    // A change sets only what its flags name.
    ASSERT_TRUE(Notify(NIM_MODIFY, Record(hwnd, 1522, NIF_ICON, kOtherIcon, "ignored")));
    icons = PalNotifyIcons();
    EXPECT_EQ(icons[0].hIcon, kOtherIcon);
    EXPECT_EQ(icons[0].tip, "BrindoDJ");
    ASSERT_TRUE(Notify(NIM_MODIFY, Record(hwnd, 1522, NIF_TIP, nullptr, "")));
    icons = PalNotifyIcons();
    EXPECT_EQ(icons[0].hIcon, kOtherIcon);
    EXPECT_EQ(icons[0].tip, "");

    // Removing the first moves nothing else out of order; the last stays at the corner.
    ASSERT_TRUE(Notify(NIM_DELETE, Record(hwnd, 1522, 0)));
    icons = PalNotifyIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].uID, 7u);
    EXPECT_EQ(icons[0].rect.right, width);
    // Removed, it may be added again.
    EXPECT_TRUE(Notify(NIM_ADD, Record(hwnd, 1522, NIF_ICON)));
    DestroyWindow(hwnd);
}

TEST_F(NotifyTest, Failures) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_POPUP);
    HWND gone = windowClass.Create(WS_POPUP);
    DestroyWindow(gone);
    ASSERT_TRUE(Notify(NIM_ADD, Record(hwnd, 1, NIF_ICON)));
    NOTIFYICONDATAA wrongSize = Record(hwnd, 2, NIF_ICON);
    wrongSize.cbSize = 100;
    struct Case {
        const char* name;
        DWORD message;
        NOTIFYICONDATAA data;
    };
    const Case cases[] = {
        {"a second add of the same icon", NIM_ADD, Record(hwnd, 1, NIF_ICON, kOtherIcon)},
        {"a change of an icon that is not there", NIM_MODIFY, Record(hwnd, 2, NIF_ICON)},
        {"a removal of an icon that is not there", NIM_DELETE, Record(hwnd, 2, 0)},
        {"the same id for another window", NIM_DELETE, Record(gone, 1, 0)},
        {"an add for no window", NIM_ADD, Record(gone, 3, NIF_ICON)},
        {"a record of another size", NIM_ADD, wrongSize},
        {"another message", 7, Record(hwnd, 4, NIF_ICON)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NOTIFYICONDATAA data = c.data;
        EXPECT_FALSE(Shell_NotifyIconA(c.message, &data));
    }
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, nullptr));
    // Nothing changed.
    std::vector<PalNotifyIcon> icons = PalNotifyIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].uID, 1u);
    EXPECT_EQ(icons[0].hIcon, kIcon);
    DestroyWindow(hwnd);
}

TEST_F(NotifyTest, TheTipIsCutToWhatTheRecordHolds) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_POPUP);
    std::string full(127, 'a');
    struct Case {
        DWORD cbSize;
        size_t kept;
    };
    const Case cases[] = {
        {NOTIFYICONDATAA_X86_SIZE, 127},
        {sizeof(NOTIFYICONDATAA), 127},
        {NOTIFYICONDATAA_V1_SIZE, 63},
    };
    UINT id = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cbSize);
        NOTIFYICONDATAA data = Record(hwnd, id, NIF_TIP);
        data.cbSize = c.cbSize;
        std::memset(data.szTip, 'a', sizeof(data.szTip));  // no terminator at all
        ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
        EXPECT_EQ(PalNotifyIcons().back().tip, full.substr(0, c.kept));
        ++id;
    }
    DestroyWindow(hwnd);
}

TEST_F(NotifyTest, AClickOnAnIconPostsItsCallbackMessage) {
    TestClass windowClass;
    // A window over the whole screen: the area lies above it.
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr,
                         {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    ASSERT_TRUE(Notify(NIM_ADD, Record(hwnd, 1522, NIF_ICON | NIF_MESSAGE)));
    ASSERT_TRUE(Notify(NIM_ADD, Record(hwnd, 9, NIF_ICON)));  // no callback message
    paltest::PumpAll();
    std::vector<PalNotifyIcon> icons = PalNotifyIcons();
    ASSERT_EQ(icons.size(), 2u);
    POINT at{icons[0].rect.left + 5, icons[0].rect.top + 5};
    POINT silent{icons[1].rect.left + 5, icons[1].rect.top + 5};
    struct Case {
        const char* name;
        std::function<void()> input;
        std::vector<LPARAM> posted;
    };
    const Case cases[] = {
        {"a left click",
         [&] {
             PalInputButton(VK_LBUTTON, TRUE, at.x, at.y);
             PalInputButton(VK_LBUTTON, FALSE, at.x, at.y);
         },
         {WM_LBUTTONDOWN, WM_LBUTTONUP}},
        {"a double click",
         [&] {
             for (int i = 0; i < 2; ++i) {
                 PalInputButton(VK_LBUTTON, TRUE, at.x, at.y);
                 PalInputButton(VK_LBUTTON, FALSE, at.x, at.y);
             }
         },
         {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {"a right click",
         [&] {
             PalInputButton(VK_RBUTTON, TRUE, at.x, at.y);
             PalInputButton(VK_RBUTTON, FALSE, at.x, at.y);
         },
         {WM_RBUTTONDOWN, WM_RBUTTONUP}},
        {"a move over it", [&] { PalInputPointer(at.x + 1, at.y); }, {WM_MOUSEMOVE}},
        {"a click on the icon without a callback",
         [&] {
             PalInputButton(VK_LBUTTON, TRUE, silent.x, silent.y);
             PalInputButton(VK_LBUTTON, FALSE, silent.x, silent.y);
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Far from the last press, so no case makes a double click of another's press.
        PalInputButton(VK_LBUTTON, TRUE, 10, 10);
        PalInputButton(VK_LBUTTON, FALSE, 10, 10);
        paltest::PumpAll();
        paltest::Log().Clear();
        c.input();
        paltest::PumpAll();
        std::vector<LPARAM> posted;
        for (const paltest::Seen& seen : paltest::Log().All()) {
            if (seen.message == kCallback) {
                EXPECT_EQ(seen.hwnd, hwnd);
                EXPECT_EQ(seen.wParam, 1522u);
                posted.push_back(seen.lParam);
            }
            // The window under the icons sees nothing of them.
            EXPECT_NE(seen.message, WM_LBUTTONDOWN);
            EXPECT_NE(seen.message, WM_RBUTTONUP);
        }
        EXPECT_EQ(posted, c.posted);
    }
    // The press away from the icons reached the window.
    paltest::Log().Clear();
    PalInputButton(VK_LBUTTON, TRUE, 10, 10);
    PalInputButton(VK_LBUTTON, FALSE, 10, 10);
    paltest::PumpAll();
    EXPECT_EQ(paltest::LastSeen(hwnd, WM_LBUTTONDOWN).message, WM_LBUTTONDOWN);
    DestroyWindow(hwnd);
}

TEST_F(NotifyTest, TheIconOfAWindowThatWentGoesWhenThePointerReachesIt) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(WS_POPUP);
    ASSERT_TRUE(Notify(NIM_ADD, Record(hwnd, 1, NIF_ICON | NIF_MESSAGE)));
    DestroyWindow(hwnd);
    RECT rect = PalNotifyIcons().at(0).rect;
    PalInputPointer(rect.left + 1, rect.top + 1);
    EXPECT_TRUE(PalNotifyIcons().empty());
}

// A square PNG icon of one opaque colour (0xRRGGBB), written into the folder.
HICON SolidIcon(const std::string& folder, int size, uint32_t rgb) {
    pal::test::PngSpec spec;
    spec.width = spec.height = size;
    spec.colorType = 2;  // RGB
    for (int i = 0; i < size * size; ++i) {
        spec.samples.insert(spec.samples.end(),
                            {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                             static_cast<uint8_t>(rgb)});
    }
    std::vector<uint8_t> png = pal::test::WritePng(spec);
    std::string path = folder + "/icon" + std::to_string(size) + ".png";
    brtest::WriteFile(path, std::string(png.begin(), png.end()));
    return PalLoadIconPngA(path.c_str());
}

TEST_F(NotifyTest, TheIconsAreDrawnInTheirCellsAboveEveryWindow) {
    using pal::test::ScreenPixel;
    TestClass windowClass;
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    HWND below = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr,
                          RECT{cx - 200, cy - 100, cx, cy});  // a window under the strip
    pal::test::PaintAll(below, RGB(255, 0, 0));
    HICON small = SolidIcon(root_.Path(), 16, 0x00C800);
    HICON large = SolidIcon(root_.Path(), 40, 0x0000C8);  // larger than its cell
    ASSERT_NE(small, nullptr);
    ASSERT_NE(large, nullptr);
    ASSERT_TRUE(Notify(NIM_ADD, Record(below, 1, NIF_ICON, small)));
    ASSERT_TRUE(Notify(NIM_ADD, Record(below, 2, NIF_ICON, large)));
    ASSERT_TRUE(Notify(NIM_ADD, Record(below, 3, NIF_ICON, kIcon)));  // no icon of the layer's
    std::vector<PalNotifyIcon> icons = PalNotifyIcons();
    ASSERT_EQ(icons.size(), 3u);
    const uint32_t face = 0xFF000000u | GetSysColor(COLOR_BTNFACE);
    struct Case {
        size_t icon;
        int dx, dy;  // from the cell's top-left corner
        uint32_t pixel;
    };
    const Case cases[] = {
        {0, 12, 12, 0xFF00C800}, {0, 4, 4, 0xFF00C800},   {0, 19, 19, 0xFF00C800},
        {0, 3, 3, face},         {0, 20, 20, face},       {0, 0, 12, face},
        {1, 0, 0, 0xFF0000C8},   {1, 23, 23, 0xFF0000C8}, {1, 12, 12, 0xFF0000C8},
        {2, 12, 12, face},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.icon) + " at " + std::to_string(c.dx) + "," +
                     std::to_string(c.dy));
        const RECT& cell = icons[c.icon].rect;
        EXPECT_EQ(ScreenPixel(cell.left + c.dx, cell.top + c.dy), c.pixel);
    }
    const RECT first = icons[0].rect;
    EXPECT_EQ(ScreenPixel(first.left - 1, first.top + 12), pal::test::kRed);  // beside the strip

    // Changed and removed icons show at once; the window shows again where the strip was.
    ASSERT_TRUE(Notify(NIM_MODIFY, Record(below, 3, NIF_ICON, small)));
    EXPECT_EQ(ScreenPixel(icons[2].rect.left + 12, icons[2].rect.top + 12), 0xFF00C800);
    for (UINT id : {1u, 2u, 3u}) {
        ASSERT_TRUE(Notify(NIM_DELETE, Record(below, id, 0)));
    }
    EXPECT_EQ(ScreenPixel(first.left + 12, first.top + 12), pal::test::kRed);
    DestroyIcon(small);
    DestroyIcon(large);
}

}  // namespace
