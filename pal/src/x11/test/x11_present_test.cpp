// The X11 backend shows the model's top-level windows: what the server shows is the headless
// rendering of the same state, presented again on Expose and after each paint, with the window's
// kind, title and icon given to the window manager.
#include <cstring>

#include "x11/test/x11_test_support.h"

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

namespace paltest {
namespace {

constexpr RECT kPlace{40, 30, 240, 150};

// Paints a picture of blocks and text, and records each paint's area.
class Painter {
public:
    Painter() {
        CurrentReaction() = [this](HWND hwnd, UINT message, WPARAM,
                                   LPARAM) -> std::optional<LRESULT> {
            if (message != WM_PAINT) {
                return std::nullopt;
            }
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            areas.push_back(ps.rcPaint);
            const RECT all{0, 0, 200, 120}, block{20, 10, 90, 60}, band{0, 80, 200, 100};
            Fill(dc, all, background);
            Fill(dc, block, RGB(200, 30, 40));
            Fill(dc, band, RGB(20, 160, 60));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 90));
            TextOutA(dc, 100, 20, "Xy 12", 5);
            EndPaint(hwnd, &ps);
            return 0;
        };
    }
    static void Fill(HDC dc, const RECT& r, COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    COLORREF background = RGB(230, 220, 120);
    std::vector<RECT> areas;
};

class X11PresentTest : public X11Test {
protected:
    HWND ShowPainted(DWORD style = WS_POPUP | WS_VISIBLE, DWORD exStyle = 0,
                     const char* title = "") {
        HWND hwnd = CreateWindowExA(exStyle, class_.Name(), title, style, kPlace.left, kPlace.top,
                                    200, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(hwnd, nullptr);
        EXPECT_TRUE(Settle(hwnd));
        return hwnd;
    }
    std::string Property(HWND hwnd, const char* name) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        std::string value;
        if (XGetWindowProperty(view_, XWindow(hwnd), XInternAtom(view_, name, False), 0, 1 << 16,
                               False, AnyPropertyType, &type, &format, &count, &after,
                               &data) == Success &&
            data) {
            const size_t unit = format == 8 ? 1 : format == 16 ? sizeof(short) : sizeof(long);
            value.assign(reinterpret_cast<char*>(data), count * unit);
            XFree(data);
        }
        return value;
    }
    std::vector<long> Longs(HWND hwnd, const char* name) {
        const std::string bytes = Property(hwnd, name);
        std::vector<long> values(bytes.size() / sizeof(long));
        if (!values.empty()) {  // an empty vector's data may be null
            std::memcpy(values.data(), bytes.data(), values.size() * sizeof(long));
        }
        return values;
    }
    bool HasState(HWND hwnd, const char* state) {
        const Atom wanted = XInternAtom(view_, state, False);
        for (long atom : Longs(hwnd, "_NET_WM_STATE")) {
            if (static_cast<Atom>(atom) == wanted) {
                return true;
            }
        }
        return false;
    }

    TestClass class_;
    Painter painter_;
};

TEST_F(X11PresentTest, ShownWindowIsTheHeadlessRenderingOfTheScreen) {
    HWND hwnd = ShowPainted();
    ASSERT_NE(XWindow(hwnd), 0u);
    EXPECT_EQ(MapState(hwnd), IsViewable);
    // The window and a margin of the desktop around it: the place is the model's too.
    const RECT around{kPlace.left - 10, kPlace.top - 10, kPlace.right + 10, kPlace.bottom + 10};
    EXPECT_EQ(Differences(around), 0u);
    DestroyWindow(hwnd);
}

TEST_F(X11PresentTest, WindowRegionIsTheShapeOnTheServer) {
    HWND hwnd = ShowPainted();
    const RECT corner{kPlace.left, kPlace.top, kPlace.left + 1, kPlace.top + 1};
    const RECT desktop{kPlace.left - 5, kPlace.top - 5, kPlace.left - 4, kPlace.top - 4};
    const RECT around{kPlace.left - 10, kPlace.top - 10, kPlace.right + 10, kPlace.bottom + 10};
    // Elliptic corners, as the client's main window has, one pixel beyond the window.
    SetWindowRgn(hwnd, CreateRoundRectRgn(0, 0, 201, 121, 15, 15), TRUE);
    ASSERT_TRUE(Settle(hwnd));
    EXPECT_EQ(Differences(around), 0u);
    EXPECT_EQ(Shot(corner), Shot(desktop)) << "the corner is not cut";
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(view_, XWindow(hwnd), ShapeBounding, &count, &ordering);
    EXPECT_GT(count, 1) << "the shape is one rectangle";
    if (rects) {
        XFree(rects);
    }
    // Without a region the whole window shows again.
    SetWindowRgn(hwnd, nullptr, TRUE);
    ASSERT_TRUE(Settle(hwnd));
    EXPECT_EQ(Differences(around), 0u);
    EXPECT_NE(Shot(corner), Shot(desktop));
    DestroyWindow(hwnd);
}

TEST_F(X11PresentTest, PaintPresentsOnlyTheChangedPartAndExposeShowsTheLastPresent) {
    HWND hwnd = ShowPainted();
    const ::Window id = XWindow(hwnd);
    ASSERT_NE(id, 0u);
    // Another client scribbles over the whole window.
    GC gc = XCreateGC(view_, id, 0, nullptr);
    XSetForeground(view_, gc, 0x000000);
    XFillRectangle(view_, id, gc, 0, 0, 200, 120);
    XSync(view_, False);
    // The program repaints one part in a new colour: only that part is presented.
    painter_.background = RGB(10, 120, 250);
    const RECT part{150, 100, 190, 115};
    InvalidateRect(hwnd, &part, TRUE);
    ASSERT_TRUE(Settle(hwnd));
    const RECT onScreen{kPlace.left + part.left, kPlace.top + part.top, kPlace.left + part.right,
                        kPlace.top + part.bottom};
    EXPECT_EQ(Differences(onScreen), 0u);
    const auto outside = Shot(RECT{kPlace.left, kPlace.top, kPlace.left + 20, kPlace.top + 10});
    EXPECT_EQ(std::count(outside.begin(), outside.end(), 0u), 20 * 10) << "presented more";
    // An Expose of the whole window shows all of the last presented pixels, without a paint.
    const size_t paints = painter_.areas.size();
    XClearArea(view_, id, 0, 0, 0, 0, True);
    XSync(view_, False);
    ASSERT_TRUE(PumpUntil([&] { return Differences(kPlace) == 0; }));
    EXPECT_EQ(painter_.areas.size(), paints);
    XFreeGC(view_, gc);
    DestroyWindow(hwnd);
}

TEST_F(X11PresentTest, HintsFollowTheStyles) {
    struct Case {
        const char* name;
        DWORD style;
        DWORD exStyle;
        bool owned;
        unsigned long decorations;
        bool skipsTaskBar;
    };
    const Case cases[] = {
        {"popup", WS_POPUP | WS_VISIBLE, 0, false, 0, false},
        {"captioned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, false, 1, false},
        {"tool window", WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW, false, 0, true},
        {"owned", WS_POPUP | WS_VISIBLE, 0, true, 0, true},
        {"owned app window", WS_POPUP | WS_VISIBLE, WS_EX_APPWINDOW, true, 0, false},
    };
    HWND owner = ShowPainted();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = CreateWindowExA(c.exStyle, class_.Name(), "", c.style, 300, 300, 50, 40,
                                    c.owned ? owner : nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(Settle(hwnd));
        const auto motif = Longs(hwnd, "_MOTIF_WM_HINTS");
        ASSERT_EQ(motif.size(), 5u);
        EXPECT_EQ(static_cast<unsigned long>(motif[2]), c.decorations);
        EXPECT_EQ(HasState(hwnd, "_NET_WM_STATE_SKIP_TASKBAR"), c.skipsTaskBar);
        DestroyWindow(hwnd);
    }
    DestroyWindow(owner);
}

TEST_F(X11PresentTest, TitleIsUtf8OfTheGbkText) {
    // "音乐" in GBK, then a byte that starts no GBK character.
    HWND hwnd = ShowPainted(WS_POPUP | WS_VISIBLE, 0, "\xD2\xF4\xC0\xD6 DJ");
    EXPECT_EQ(Property(hwnd, "_NET_WM_NAME"), "\xE9\x9F\xB3\xE4\xB9\x90 DJ");
    SetWindowTextA(hwnd, "a\xFFz");
    ASSERT_TRUE(Drained());
    EXPECT_EQ(Property(hwnd, "_NET_WM_NAME"), "a?z");
    DestroyWindow(hwnd);
}

TEST_F(X11PresentTest, IconIsTheWindowsIconAsStraightArgb) {
    HWND hwnd = ShowPainted();
    EXPECT_TRUE(Longs(hwnd, "_NET_WM_ICON").empty());
    const std::string png = std::string(BR_SOURCE_DIR) + "/pal/src/x11/test/icon_test.png";
    HICON icon = PalLoadIconPngA(png.c_str());
    ASSERT_NE(icon, nullptr) << png;
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ASSERT_TRUE(Drained());
    const auto data = Longs(hwnd, "_NET_WM_ICON");
    ASSERT_GE(data.size(), 2u);
    ASSERT_EQ(data.size(), 2u + static_cast<size_t>(data[0] * data[1]));
    EXPECT_EQ(data[0], 4);
    EXPECT_EQ(data[1], 2);
    // Left half opaque red, right half half-transparent blue.
    EXPECT_EQ(static_cast<uint32_t>(data[2]), 0xFFFF0000u);
    EXPECT_EQ(static_cast<uint32_t>(data[2 + 3]) >> 24, 0x80u);
    EXPECT_EQ(static_cast<uint32_t>(data[2 + 3]) & 0xFFFFFFu, 0x0000FFu);
    DestroyWindow(hwnd);
    DestroyIcon(icon);
}

TEST_F(X11PresentTest, HideMinimiseRestoreAndDestroyFollowTheModel) {
    HWND hwnd = ShowPainted();
    const ::Window id = XWindow(hwnd);
    struct Step {
        int command;
        int mapState;
    };
    // No window manager runs: a minimised window has nothing to show it, so it is unmapped.
    const Step steps[] = {{SW_MINIMIZE, IsUnmapped},
                          {SW_RESTORE, IsViewable},
                          {SW_HIDE, IsUnmapped},
                          {SW_SHOW, IsViewable}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command);
        ShowWindow(hwnd, step.command);
        ASSERT_TRUE(Drained());
        EXPECT_EQ(MapState(hwnd), step.mapState);
    }
    EXPECT_EQ(Differences(kPlace), 0u) << "restored without its pixels";
    DestroyWindow(hwnd);
    ASSERT_TRUE(Drained());
    EXPECT_EQ(XWindow(hwnd), 0u);
    XWindowAttributes attributes;
    EXPECT_EQ(XGetWindowAttributes(view_, id, &attributes), 0) << "the X window stayed";
}

}  // namespace
}  // namespace paltest
