// The notification area's icons in the desktop's system tray: an icon docks into a running tray
// with its image and tip, waits while there is none and docks when one comes, leaves when it is
// removed, and its clicks reach its window as the callback message.
#include <algorithm>
#include <cstring>

#include "x11/test/x11_test_support.h"
// After the support, whose headers Xlib's macros would spoil.
#include "x11/test/tray_manager.h"

#include <X11/Xatom.h>

namespace paltest {
namespace {

constexpr UINT kIconId = 1522;
constexpr UINT kCallback = WM_USER + 7;

class X11TrayTest : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        Log().Clear();
        owner_ = class_.Create();  // hidden, as the client's icon owner may be
        ASSERT_NE(owner_, nullptr);
        const std::string png = std::string(BR_SOURCE_DIR) + "/pal/src/x11/test/icon_test.png";
        icon_ = PalLoadIconPngA(png.c_str());
        ASSERT_NE(icon_, nullptr) << png;
    }
    void TearDown() override {
        if (owner_) {
            Notify(NIM_DELETE, nullptr);
            DestroyWindow(owner_);
        }
        if (icon_) {
            DestroyIcon(icon_);
        }
        X11Test::TearDown();
    }
    std::string DisplayName() {
        std::string why;
        return ProgramDisplay(&why)->Name();
    }
    BOOL Notify(DWORD operation, const char* tip) {
        NOTIFYICONDATAA data{};
        data.cbSize = sizeof data;
        data.hWnd = owner_;
        data.uID = kIconId;
        data.uFlags = NIF_ICON | NIF_MESSAGE | (tip ? NIF_TIP : 0);
        data.uCallbackMessage = kCallback;
        data.hIcon = icon_;
        if (tip) {
            strncpy(data.szTip, tip, sizeof data.szTip - 1);
        }
        return Shell_NotifyIconA(operation, &data);
    }
    // Serves the tray until it holds one icon window, which the test gets.
    bool Docks(TrayManager& tray, ::Window* docked) {
        const bool done = PumpUntil([&] {
            tray.Serve();
            return tray.Docked().size() == 1 && Viewable(tray.Docked()[0]);
        });
        *docked = done ? tray.Docked()[0] : 0;
        return done;
    }
    bool Viewable(::Window window) {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(view_, window, &attributes) &&
               attributes.map_state == IsViewable;
    }
    std::string Name(::Window window) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        std::string name;
        if (XGetWindowProperty(view_, window, XInternAtom(view_, "_NET_WM_NAME", False), 0, 1024,
                               False, AnyPropertyType, &type, &format, &count, &after,
                               &data) == Success &&
            data) {
            name.assign(reinterpret_cast<char*>(data), count);
            XFree(data);
        }
        return name;
    }
    uint32_t Pixel(::Window window, int x, int y) {
        XImage* image = XGetImage(view_, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) {
            return 0xFFFFFFFFu;
        }
        const uint32_t pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
        XDestroyImage(image);
        return pixel;
    }
    POINT Middle(::Window window) {
        int x = 0, y = 0;
        ::Window child;
        XWindowAttributes attributes{};
        XGetWindowAttributes(view_, window, &attributes);
        XTranslateCoordinates(view_, window, DefaultRootWindow(view_), attributes.width / 2,
                              attributes.height / 2, &x, &y, &child);
        return POINT{x, y};
    }
    // The icon windows that show on the root window itself, outside any tray.
    int StrayIcons() {
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(view_, DefaultRootWindow(view_), &root, &parent, &children, &count);
        int strays = 0;
        const Atom info = XInternAtom(view_, "_XEMBED_INFO", False);
        for (unsigned i = 0; i < count; ++i) {
            int properties = 0;
            Atom* names = XListProperties(view_, children[i], &properties);
            const bool icon =
                names && std::find(names, names + properties, info) != names + properties;
            if (names) {
                XFree(names);
            }
            strays += icon && Viewable(children[i]);
        }
        if (children) {
            XFree(children);
        }
        return strays;
    }
    // The mouse messages the icon's callback brought, moves left out.
    std::vector<LPARAM> Clicks() {
        std::vector<LPARAM> clicks;
        for (const Seen& seen : Log().All()) {
            if (seen.hwnd == owner_ && seen.message == kCallback && seen.wParam == kIconId &&
                seen.lParam != WM_MOUSEMOVE) {
                clicks.push_back(seen.lParam);
            }
        }
        return clicks;
    }

    TestClass class_;
    HWND owner_ = nullptr;
    HICON icon_ = nullptr;
};

TEST_F(X11TrayTest, IconDocksWithItsImageAndTipAndLeavesWhenRemoved) {
    TrayManager tray(DisplayName());
    ASSERT_TRUE(tray.Running());
    // "音乐 DJ" in GBK.
    ASSERT_TRUE(Notify(NIM_ADD, "\xD2\xF4\xC0\xD6 DJ"));
    ::Window docked = 0;
    ASSERT_TRUE(Docks(tray, &docked)) << "the icon did not dock";
    EXPECT_EQ(Name(docked), "\xE9\x9F\xB3\xE4\xB9\x90 DJ");
    // The 4 x 2 image in the middle of the icon's window: opaque red, then half-transparent
    // blue over the face.
    XWindowAttributes attributes{};
    XGetWindowAttributes(view_, docked, &attributes);
    const int left = (attributes.width - 4) / 2, top = (attributes.height - 2) / 2;
    ASSERT_TRUE(PumpUntil([&] { return Pixel(docked, left, top) == 0xFF0000u; }));
    const uint32_t face = Pixel(docked, 0, 0), blended = Pixel(docked, left + 3, top);
    EXPECT_NE(face, blended);
    EXPECT_GT(blended & 0xFF, (blended >> 16) & 0xFF) << "the blue half is not blue";

    ASSERT_TRUE(Notify(NIM_MODIFY, "changed"));
    EXPECT_TRUE(PumpUntil([&] { return Name(docked) == "changed"; }));

    ASSERT_TRUE(Notify(NIM_DELETE, nullptr));
    EXPECT_TRUE(PumpUntil([&] {
        tray.Serve();
        return tray.Docked().empty();
    })) << "the removed icon stayed in the tray";
}

TEST_F(X11TrayTest, IconWaitsForATrayAndDocksWhenOneComes) {
    ASSERT_TRUE(Notify(NIM_ADD, "waiting"));
    ASSERT_TRUE(Drained());
    EXPECT_EQ(StrayIcons(), 0) << "a waiting icon shows outside a tray";
    {
        TrayManager first(DisplayName());
        ASSERT_TRUE(first.Running());
        ::Window docked = 0;
        ASSERT_TRUE(Docks(first, &docked)) << "the icon did not dock in the tray that came";
        EXPECT_EQ(Name(docked), "waiting");
    }
    // The tray went; its save-set hands the icon back to the root, where it must not show.
    EXPECT_TRUE(PumpUntil([&] { return Drained() && StrayIcons() == 0; }));
    TrayManager second(DisplayName());
    ASSERT_TRUE(second.Running());
    ::Window docked = 0;
    EXPECT_TRUE(Docks(second, &docked)) << "the icon did not dock in the next tray";
}

TEST_F(X11TrayTest, ClicksOnTheDockedIconArriveAsItsCallbackMessage) {
    struct Case {
        const char* name;
        std::vector<unsigned> clicks;  // X buttons, clicked one after the other
        std::vector<LPARAM> messages;
    };
    const Case cases[] = {
        {"a left click", {1}, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
        {"a right click", {3}, {WM_RBUTTONDOWN, WM_RBUTTONUP}},
        // No two clicks of one button follow each other: whether they make a double click would
        // depend on how fast the machine delivers them. The notification area's own tests cover
        // double clicks.
        {"left then right", {1, 3}, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}},
    };
    TrayManager tray(DisplayName());
    ASSERT_TRUE(tray.Running());
    ASSERT_TRUE(Notify(NIM_ADD, "click"));
    ::Window docked = 0;
    ASSERT_TRUE(Docks(tray, &docked));
    const POINT at = Middle(docked);
    Hands hands;
    ASSERT_TRUE(hands.Ready());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each case's first press differs from the press before it in its button, or follows a
        // double click, so it starts anew.
        ASSERT_TRUE(Drained());
        Pump();
        Log().Clear();
        for (unsigned button : c.clicks) {
            hands.Click(button, at.x, at.y);
        }
        EXPECT_TRUE(PumpUntil([&] { return Clicks().size() >= c.messages.size(); }));
        EXPECT_EQ(Clicks(), c.messages);
    }
}

}  // namespace
}  // namespace paltest
