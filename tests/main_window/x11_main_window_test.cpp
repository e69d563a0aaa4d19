// The main window through the real program BRDJ on an X display of the test's own (Xvfb, no
// window manager), driven through XTest as a person's hand drives it: the server shows the
// window as the layer draws it; the skin's minimise button and the frame's drag answer the
// server's pointer; the icon docks in a tray, its left click brings the minimised window back,
// and its right click opens the tray menu, whose exit ends the program and the service.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "brdj_run.h"
#include "process_list.h"
#include "skin_layout.h"
#include "wait_until.h"
#include "x11/test/tray_manager.h"
#include "x11/test/xvfb_fixture.h"

// Last: Xlib's macros clash with the names above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

using namespace std::chrono_literals;
using brdjtest::BrdjRun;
using brdjtest::Fields;
using brdjtest::RectField;

class BrdjX11WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (paltest::Xvfb::Program().empty()) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        ASSERT_TRUE(server_.Running()) << "Xvfb did not start";
        view_ = XOpenDisplay(server_.Name().c_str());
        ASSERT_NE(view_, nullptr);
        run_.UseDisplay(server_.Name());
        ASSERT_TRUE(run_.Start());
        ASSERT_TRUE(run_.WaitForWindow(40s)) << run_.DebugLog();
        rect_ = run_.MainWindowRect();
        ASSERT_TRUE(brtest::WaitUntil([&] { return Shows(rect_); }, 10s))
            << "the window is not on the X display";
    }
    void TearDown() override {
        if (view_) {
            XCloseDisplay(view_);
        }
    }

    // Whether a viewable top-level X window covers exactly the rectangle.
    bool Shows(const RECT& r) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(view_, DefaultRootWindow(view_), &root, &parent, &children, &count);
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes a{};
            found = XGetWindowAttributes(view_, children[i], &a) && a.map_state == IsViewable &&
                    a.x == r.left && a.y == r.top && a.width == r.right - r.left &&
                    a.height == r.bottom - r.top;
        }
        if (children) {
            XFree(children);
        }
        return found;
    }
    // The screen point in the middle of a part of the window (window coordinates).
    POINT On(const RECT& part) const {
        return POINT{rect_.left + (part.left + part.right) / 2,
                     rect_.top + (part.top + part.bottom) / 2};
    }
    void MoveTo(POINT at) {
        XTestFakeMotionEvent(view_, DefaultScreen(view_), at.x, at.y, CurrentTime);
        XFlush(view_);
    }
    void Button(unsigned button, bool down) {
        XTestFakeButtonEvent(view_, button, down, CurrentTime);
        XFlush(view_);
    }
    void Click(unsigned button, POINT at) {
        MoveTo(at);
        Button(button, true);
        Button(button, false);
    }
    // The icon docked in the tray, served while the test waits; its middle on the screen.
    bool DockedIcon(paltest::TrayManager& tray, POINT* middle) {
        return brtest::WaitUntil(
            [&] {
                tray.Serve();
                if (tray.Docked().empty()) {
                    return false;
                }
                XWindowAttributes a{};
                int x = 0, y = 0;
                ::Window child = 0;
                if (!XGetWindowAttributes(view_, tray.Docked()[0], &a) ||
                    a.map_state != IsViewable ||
                    !XTranslateCoordinates(view_, tray.Docked()[0], DefaultRootWindow(view_), 0,
                                           0, &x, &y, &child)) {
                    return false;
                }
                *middle = POINT{x + a.width / 2, y + a.height / 2};
                return true;
            },
            10s);
    }

    paltest::Xvfb server_;  // first made, last gone: the program ends before its display
    Display* view_ = nullptr;
    BrdjRun run_;
    RECT rect_{};
};

TEST_F(BrdjX11WindowTest, TheServerShowsTheWindowAsTheLayerDrawsIt) {
    const std::string compare = "DISPLAY=" + server_.Name() + " " + BR_TEST_BIN_DIR +
                                "/pal_x11_shot_helper --compare ";
    std::string picture;
    // The movie's labels may change between the two pictures: both are taken again until they
    // meet.
    EXPECT_TRUE(brtest::WaitUntil(
        [&] {
            picture = run_.SaveWindow("layer");
            return !picture.empty() &&
                   std::system((compare + "'" + picture + "' " + std::to_string(rect_.left) + " " +
                                std::to_string(rect_.top) + " >/dev/null")
                                   .c_str()) == 0;
        },
        15s))
        << "the server does not show " << picture;
}

TEST_F(BrdjX11WindowTest, TheMinimiseButtonHidesItAndTheTraysLeftClickBringsItBack) {
    paltest::TrayManager tray(server_.Name());
    ASSERT_TRUE(tray.Running());
    POINT icon{};
    ASSERT_TRUE(DockedIcon(tray, &icon)) << "the icon did not dock";
    Click(1, On(skin_layout::kMin));
    EXPECT_TRUE(brtest::WaitUntil([&] { return !Shows(rect_); }, 10s)) << "not minimised";
    Click(1, icon);
    EXPECT_TRUE(brtest::WaitUntil([&] { return Shows(rect_); }, 10s))
        << "the tray's left click did not bring the window back";
}

TEST_F(BrdjX11WindowTest, ADragOfTheFrameMovesTheWindow) {
    const POINT from{rect_.left + 300, rect_.top + 15};  // the top strip, away from the buttons
    MoveTo(from);
    Button(1, true);
    for (int step = 1; step <= 5; ++step) {
        MoveTo(POINT{from.x + 12 * step, from.y + 8 * step});
    }
    Button(1, false);
    const RECT moved{rect_.left + 60, rect_.top + 40, rect_.right + 60, rect_.bottom + 40};
    EXPECT_TRUE(brtest::WaitUntil(
        [&] {
            const RECT now = run_.MainWindowRect();
            return now.left == moved.left && now.top == moved.top && Shows(moved);
        },
        10s))
        << "the window did not follow the pointer";
}

TEST_F(BrdjX11WindowTest, TheTrayIconsRightClickOpensTheMenuWhoseExitEndsTheProgram) {
    paltest::TrayManager tray(server_.Name());
    ASSERT_TRUE(tray.Running());
    POINT icon{};
    ASSERT_TRUE(DockedIcon(tray, &icon)) << "the icon did not dock";
    Click(3, icon);
    RECT exit{};
    ASSERT_TRUE(brtest::WaitUntil(
        [&] {
            for (const std::string& line : run_.Desk("menu").lines) {
                auto fields = Fields(line);
                if (fields["id"] == "32773" && fields["text"] == "退  出") {
                    exit = RectField(fields["rect"]);
                }
            }
            return exit.right > exit.left;
        },
        10s))
        << "the right click opened no tray menu";
    Click(1, POINT{(exit.left + exit.right) / 2, (exit.top + exit.bottom) / 2});
    EXPECT_EQ(run_.WaitExit(20s), 0) << "the exit did not end the program";
    EXPECT_TRUE(brtest::WaitUntil([] { return brtest::ProcessesNamed("BrCoreService.exe").empty(); },
                                  10s))
        << "the service runs on";
}

}  // namespace
