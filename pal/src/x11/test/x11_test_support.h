// For the X11 tests: a fixture on the program's Xvfb with a connection of the test's own (to
// look at what the server shows and to send input through XTest), and the waits that let the
// program's windows and the display settle.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "draw/screen.h"
#include "test/window_test_support.h"
#include "wait_until.h"
#include "window/window_object.h"
#include "x11/presenter.h"
#include "x11/test/xvfb_fixture.h"
#include "x11/x11_backend.h"

// Last: Xlib's macros clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

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

    // A visible popup window of the class at the place that fills itself with the colour (kept
    // in GWLP_USERDATA); `more` answers messages first, for every window the recording procedure
    // serves. Shown and settled.
    HWND ShowFilled(const TestClass& windowClass, const RECT& place, COLORREF face,
                    Reaction more = nullptr) {
        CurrentReaction() = [more](HWND hwnd, UINT message, WPARAM wParam,
                                   LPARAM lParam) -> std::optional<LRESULT> {
            if (more) {
                if (auto result = more(hwnd, message, wParam, lParam)) {
                    return result;
                }
            }
            if (message != WM_PAINT) {
                return std::nullopt;
            }
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            HBRUSH brush =
                CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
            FillRect(dc, &ps.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(hwnd, &ps);
            return 0;
        };
        HWND hwnd = CreateWindowExA(0, windowClass.Name(), "", WS_POPUP | WS_VISIBLE, place.left,
                                    place.top, place.right - place.left, place.bottom - place.top,
                                    nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(hwnd, nullptr);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(face));
        EXPECT_TRUE(Settle(hwnd));
        return hwnd;
    }

    ::Window XWindow(HWND hwnd) { return pal::x11::Get()->XWindowOf(hwnd); }

    // What the server shows in a rectangle of the screen, as 0xRRGGBB values, rows top first.
    std::vector<uint32_t> Shot(const RECT& r) {
        std::vector<uint32_t> pixels;
        XImage* image = XGetImage(view_, DefaultRootWindow(view_), r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, AllPlanes, ZPixmap);
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

    // The headless rendering of the screen in a rectangle, as 0xRRGGBB values.
    static std::vector<uint32_t> Headless(const RECT& r) {
        auto screen = pal::draw::Screen::Get().Composite();
        std::vector<uint32_t> pixels;
        for (LONG y = r.top; y < r.bottom; ++y) {
            for (LONG x = r.left; x < r.right; ++x) {
                pixels.push_back(screen->Pixel(x, y) & 0xFFFFFF);
            }
        }
        return pixels;
    }
    // How many of the rectangle's pixels differ between the server and the headless screen.
    size_t Differences(const RECT& r) {
        const auto shown = Shot(r), expected = Headless(r);
        EXPECT_EQ(shown.size(), expected.size());
        size_t differ = 0;
        for (size_t i = 0; i < std::min(shown.size(), expected.size()); ++i) {
            differ += shown[i] != expected[i];
        }
        return differ;
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

// Input as a person gives it, through XTest on a connection of its own, so it may be used from
// a thread other than the one that pumps the windows' messages.
class Hands {
public:
    Hands() {
        std::string why;
        display_ = XOpenDisplay(ProgramDisplay(&why)->Name().c_str());
    }
    ~Hands() {
        if (display_) {
            XCloseDisplay(display_);
        }
    }
    Hands(const Hands&) = delete;
    Hands& operator=(const Hands&) = delete;

    bool Ready() const { return display_ != nullptr; }
    void MoveTo(int x, int y) {
        XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
        XFlush(display_);
    }
    // Button 1 is the left, 3 the right one.
    void Button(unsigned button, bool down) {
        XTestFakeButtonEvent(display_, button, down, CurrentTime);
        XFlush(display_);
    }
    void Click(unsigned button, int x, int y) {
        MoveTo(x, y);
        Button(button, true);
        Button(button, false);
    }
    void Key(KeySym symbol, bool down) {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, symbol), down, CurrentTime);
        XFlush(display_);
    }
    void Press(KeySym symbol) {
        Key(symbol, true);
        Key(symbol, false);
    }

private:
    Display* display_ = nullptr;
};

// An X11 test that gives its input through XTest.
class X11HandsTest : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(hands_.Ready());
    }
    Hands hands_;
};

}  // namespace paltest
