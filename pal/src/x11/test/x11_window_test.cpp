// Windows of the model as the server keeps them: a popup menu is an override-redirect window
// that holds the pointer while it is open, closed by a choice, a click elsewhere or Escape; the
// foreground window is raised and has the keyboard focus; with a window manager, minimising,
// restoring and the foreground go through it; the window manager's close request is WM_CLOSE.
#include <algorithm>
#include <thread>

#include "menu/test/popup_driver.h"
#include "x11/test/x11_test_support.h"
// After the support, whose headers Xlib's macros would spoil.
#include "x11/test/window_manager.h"

#include <X11/keysym.h>

namespace paltest {
namespace {

constexpr RECT kPlace{200, 150, 440, 330};
constexpr UINT kItems[] = {101, 102, 103};

RECT Offset(const RECT& r, int dx, int dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

POINT Middle(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class X11WindowTest : public X11Test {
protected:
    // Where the window stands among the root's children, back first; -1 when it is not there.
    int StackPosition(HWND hwnd) {
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(view_, DefaultRootWindow(view_), &root, &parent, &children, &count);
        int position = -1;
        for (unsigned i = 0; i < count; ++i) {
            if (children[i] == XWindow(hwnd)) {
                position = static_cast<int>(i);
            }
        }
        if (children) {
            XFree(children);
        }
        return position;
    }
    // Whether a client other than this program may take the pointer now.
    bool PointerFree() {
        const int result = XGrabPointer(view_, DefaultRootWindow(view_), False, ButtonPressMask,
                                        GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        if (result == GrabSuccess) {
            XUngrabPointer(view_, CurrentTime);
        }
        XSync(view_, False);
        return result != AlreadyGrabbed;
    }

    // SetForegroundWindow on each of two overlapping windows in turn: the server stacks it in
    // front and gives it the keyboard, and shows what the headless screen shows. serve() lets
    // a window manager do its part while the test waits.
    void ForegroundInTurn(const std::function<void()>& serve) {
        HWND back = ShowFilled(class_, kPlace, RGB(200, 60, 60));
        HWND front = ShowFilled(class_, Offset(kPlace, 60, 40), RGB(60, 60, 200));
        const RECT both{kPlace.left, kPlace.top, kPlace.right + 60, kPlace.bottom + 40};
        for (HWND target : {back, front, back}) {
            SCOPED_TRACE(target == back ? "the window behind" : "the window in front");
            ASSERT_TRUE(SetForegroundWindow(target));
            HWND other = target == back ? front : back;
            EXPECT_TRUE(PumpUntil([&] {
                serve();
                ::Window focus = 0;
                int revert = 0;
                XGetInputFocus(view_, &focus, &revert);
                return Drained() && StackPosition(target) > StackPosition(other) &&
                       focus == XWindow(target);
            })) << "not in front with the keyboard";
            ASSERT_TRUE(Settle(back) && Settle(front));
            EXPECT_EQ(Differences(both), 0u);
        }
        DestroyWindow(front);
        DestroyWindow(back);
    }

    TestClass class_;
};

// With a window manager of the test's own, served while the test waits.
class X11ManagedWindowTest : public X11WindowTest {
protected:
    void SetUp() override {
        X11WindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        std::string why;
        manager_ =
            std::make_unique<WindowManager>(XOpenDisplay(ProgramDisplay(&why)->Name().c_str()));
        ASSERT_TRUE(manager_->Running());
    }
    bool Served(const std::function<bool()>& done) {
        return PumpUntil([&] {
            manager_->Serve();
            return Drained() && done();
        });
    }
    bool Holds(const std::vector<::Window>& windows, HWND hwnd) {
        return std::find(windows.begin(), windows.end(), XWindow(hwnd)) != windows.end();
    }

    std::unique_ptr<WindowManager> manager_;
};

// What the person does to the open menu; the menu's items are on the screen where it says.
using Act = std::function<void(Hands&, const PalPopupMenu&)>;

TEST_F(X11WindowTest, PopupMenuIsAnOverrideRedirectWindowThatHoldsThePointer) {
    struct Case {
        const char* name;
        Act act;
        UINT chosen;  // 0: closed without a choice
    };
    const Case cases[] = {
        {"an item chosen by pointer",
         [](Hands& hands, const PalPopupMenu& open) {
             const POINT at = Middle(open.items[1].rect);
             hands.Click(1, at.x, at.y);
         },
         kItems[1]},
        // The bare desktop: only the menu's grab brings this click to the program.
        {"a click elsewhere", [](Hands& hands, const PalPopupMenu&) { hands.Click(1, 5, 5); }, 0},
        {"Escape", [](Hands& hands, const PalPopupMenu&) { hands.Press(XK_Escape); }, 0},
    };
    HWND owner = ShowFilled(class_, kPlace, RGB(90, 140, 60));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, kItems[0], "One");
        AppendMenuA(menu, MF_STRING, kItems[1], "Two");
        AppendMenuA(menu, MF_STRING, kItems[2], "Three");
        bool opened = false, overrideRedirect = false, grabbed = false, closed = false;
        size_t differences = 1;
        // The person, on a thread of its own: the menu's loop holds the test thread. The test
        // thread does not use the fixture's connection until the menu is closed.
        std::thread hand([&] {
            Hands hands;
            std::vector<PalPopupMenu> open;
            opened = brtest::WaitUntil([&] {
                open = PalOpenPopupMenus();
                return !open.empty() && MapState(open[0].popup) == IsViewable;
            });
            if (opened) {
                XWindowAttributes attributes{};
                XGetWindowAttributes(view_, XWindow(open[0].popup), &attributes);
                overrideRedirect = attributes.override_redirect;
                grabbed = !PointerFree();
                RECT box{};
                GetWindowRect(open[0].popup, &box);
                brtest::WaitUntil([&] { return (differences = Differences(box)) == 0; });
                c.act(hands, open[0]);
            }
            closed = brtest::WaitUntil([] { return PalOpenPopupMenus().empty(); });
            if (!closed) {  // through the layer's own entry, so the test thread comes back
                PalInputKey(VK_ESCAPE, TRUE);
                PalInputKey(VK_ESCAPE, FALSE);
            }
        });
        const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD, kPlace.left + 20, kPlace.top + 20,
                                           0, owner, nullptr);
        hand.join();
        DestroyMenu(menu);
        ASSERT_TRUE(opened);
        EXPECT_TRUE(overrideRedirect);
        EXPECT_TRUE(grabbed) << "the open menu did not hold the pointer";
        EXPECT_EQ(differences, 0u) << "the menu on the server is not its headless rendering";
        EXPECT_TRUE(closed) << "the menu stayed open";
        EXPECT_EQ(static_cast<UINT>(chosen), c.chosen);
        ASSERT_TRUE(Drained());
        EXPECT_TRUE(PointerFree()) << "the closed menu kept the pointer";
    }
    DestroyWindow(owner);
}

// A submenu takes the pointer while it shows; closing it gives the pointer back to the menu
// it was opened from, so a click elsewhere still reaches the menu and dismisses it.
TEST_F(X11WindowTest, ClosingASubmenuGivesThePointerBackToItsParent) {
    HWND owner = ShowFilled(class_, kPlace, RGB(90, 140, 60));
    HMENU submenu = CreatePopupMenu();
    AppendMenuA(submenu, MF_STRING, kItems[2], "Three");
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kItems[0], "One");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), "More");
    bool submenuShown = false, submenuGone = false, parentHolds = false, closed = false;
    std::thread hand([&] {
        Hands hands;
        std::vector<PalPopupMenu> open;
        const auto levelsViewable = [&](size_t count) {
            return brtest::WaitUntil([&] {
                open = PalOpenPopupMenus();
                return open.size() == count && MapState(open.back().popup) == IsViewable;
            });
        };
        if (levelsViewable(1)) {
            const POINT at = Middle(open[0].items[1].rect);
            hands.MoveTo(at.x, at.y);
            submenuShown = levelsViewable(2);
        }
        if (submenuShown) {
            const HWND shown = open[1].popup;
            hands.Press(XK_Left);
            submenuGone = brtest::WaitUntil([&] { return XWindow(shown) == 0; });
            parentHolds = !PointerFree();
            hands.Click(1, 5, 5);  // the bare desktop
        }
        closed = brtest::WaitUntil([] { return PalOpenPopupMenus().empty(); });
        // Otherwise through the layer's own entry, level by level, so the test thread comes back.
        DismissAll();
    });
    const BOOL chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD, kPlace.left + 20, kPlace.top + 20, 0, owner, nullptr);
    hand.join();
    DestroyMenu(menu);
    ASSERT_TRUE(submenuShown);
    EXPECT_TRUE(submenuGone);
    EXPECT_TRUE(parentHolds) << "the menu lost the pointer when its submenu closed";
    EXPECT_TRUE(closed) << "a click elsewhere did not reach the menu";
    EXPECT_EQ(chosen, 0);
    ASSERT_TRUE(Drained());
    EXPECT_TRUE(PointerFree()) << "the closed menu kept the pointer";
    DestroyWindow(owner);
}

TEST_F(X11WindowTest, SetForegroundWindowRaisesTheWindowAndGivesItTheKeyboard) {
    ForegroundInTurn([] {});
}

TEST_F(X11ManagedWindowTest, SetForegroundWindowIsTheWindowManagersActiveWindowRequest) {
    ForegroundInTurn([&] { manager_->Serve(); });
    EXPECT_FALSE(manager_->ActivationRequests().empty()) << "the window manager was not asked";
}

TEST_F(X11ManagedWindowTest, MinimiseAndRestoreGoThroughTheWindowManager) {
    HWND hwnd = ShowFilled(class_, kPlace, RGB(30, 160, 120));
    ASSERT_TRUE(Served([&] { return MapState(hwnd) == IsViewable; }));
    ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(Served([&] {
        return Holds(manager_->Iconified(), hwnd) && MapState(hwnd) == IsUnmapped;
    })) << "not iconified by the window manager";
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_TRUE(Served([&] { return MapState(hwnd) == IsViewable; })) << "not restored";
    ASSERT_TRUE(Settle(hwnd));
    EXPECT_EQ(Differences(kPlace), 0u) << "restored without its pixels";
    DestroyWindow(hwnd);
}

// What a window manager sends for its close button or Alt+F4: WM_PROTOCOLS with
// WM_DELETE_WINDOW, which the window takes as WM_CLOSE; another protocol closes nothing.
TEST_F(X11WindowTest, TheWindowManagersCloseRequestIsWmClose) {
    HWND hwnd = ShowFilled(class_, kPlace, RGB(120, 120, 40));
    auto send = [&](const char* type, const char* protocol) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = XWindow(hwnd);
        event.xclient.message_type = XInternAtom(view_, type, False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(view_, protocol, False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(view_, XWindow(hwnd), False, NoEventMask, &event);
        XSync(view_, False);
    };
    auto closes = [&] {
        for (const Seen& seen : Log().All()) {
            if (seen.hwnd == hwnd && seen.message == WM_CLOSE) {
                return true;
            }
        }
        return false;
    };
    Log().Clear();
    send("WM_PROTOCOLS", "WM_TAKE_FOCUS");
    send("_NET_WM_STATE", "WM_DELETE_WINDOW");  // not the protocols message
    ASSERT_TRUE(Drained());
    Pump();
    EXPECT_FALSE(closes()) << "a message that is no close request closed the window";
    send("WM_PROTOCOLS", "WM_DELETE_WINDOW");
    EXPECT_TRUE(PumpUntil([&] { return Drained() && closes(); })) << "no WM_CLOSE";
    DestroyWindow(hwnd);
}

}  // namespace
}  // namespace paltest
