// For the X11 tests: a fixture on the program's Xvfb with a connection of the test's own (to
// look at what the server shows and to send input through XTest), and the waits that let the
// program's windows and the display settle.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "test/window_test_support.h"
#include "wait_until.h"
#include "window/window_object.h"
#include "x11/presenter.h"
#include "x11/test/xvfb_fixture.h"
#include "x11/x11_backend.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace paltest {

// Dispatches every message the test thread has.
inline void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Pumps until done() holds, or the deadline passes.
inline bool PumpUntil(const std::function<bool()>& done) {
    return brtest::WaitUntil([&] {
        Pump();
        return done();
    });
}

class X11Test : public WindowTest {
protected:
    void SetUp() override {
        REQUIRE_XVFB();
        ASSERT_TRUE(pal::present::OnX11()) << "the layer did not choose the X11 backend";
        std::string why;
        view_ = XOpenDisplay(ProgramDisplay(&why)->Name().c_str());
        ASSERT_NE(view_, nullptr);
    }
    void TearDown() override {
        if (view_) {
            XCloseDisplay(view_);
        }
    }

    // Pumps the test thread's messages until the window is painted, then waits until the
    // backend has done everything handed to it so far and the server has it.
    bool Settle(HWND hwnd) {
        auto window = pal::FindWindowObject(hwnd);
        if (!window || !PumpUntil([&] { return !window->NeedsPaint(); })) {
            return false;
        }
        return Drained();
    }
    bool Drained() {
        auto done = std::make_shared<std::atomic<bool>>(false);
        pal::x11::Get()->AfterPending([done] { *done = true; });
        return PumpUntil([&] { return done->load(); });
    }

    ::Window XWindow(HWND hwnd) { return pal::x11::Get()->XWindowOf(hwnd); }

    // What the server shows in a rectangle of the screen, as 0xRRGGBB values, rows top first.
    std::vector<uint32_t> Shot(const RECT& r) {
        std::vector<uint32_t> pixels;
        XImage* image = XGetImage(view_, DefaultRootWindow(view_), r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, AllPlanes, ZPixmap);
        if (!image) {
            return pixels;
        }
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) {
                pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
            }
        }
        XDestroyImage(image);
        return pixels;
    }

    int MapState(HWND hwnd) {
        XWindowAttributes attributes{};
        if (!XWindow(hwnd) || !XGetWindowAttributes(view_, XWindow(hwnd), &attributes)) {
            return -1;
        }
        return attributes.map_state;
    }

    Display* view_ = nullptr;
};

}  // namespace paltest
