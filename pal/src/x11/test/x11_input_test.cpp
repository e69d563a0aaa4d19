// Input from the X server, given through XTest as a person gives it, reaches the windows as the
// layer's own input: a click on a button window, a drag that HTCAPTION starts, keys as virtual
// keys and characters; what the server then shows is the headless rendering of the same state.
#include <thread>

#include "x11/test/x11_test_support.h"
#include "x11/x11_input.h"

#include <X11/keysym.h>

namespace paltest {
namespace {

constexpr RECT kPlace{100, 80, 340, 240};
constexpr int kButtonId = 77;
constexpr COLORREF kFace = RGB(40, 90, 160);

RECT Offset(const RECT& r, int dx, int dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Saw(HWND hwnd, UINT message, WPARAM wParam) {
    for (const Seen& seen : Log().All()) {
        if (seen.hwnd == hwnd && seen.message == message && seen.wParam == wParam) {
            return true;
        }
    }
    return false;
}

class X11InputTest : public X11HandsTest {
protected:
    void SetUp() override {
        X11HandsTest::SetUp();
        Log().Clear();
    }
    HWND Show(Reaction more = nullptr) { return ShowFilled(class_, kPlace, kFace, more); }
    // Where the server has the window's top-left corner.
    POINT XPlace(HWND hwnd) {
        int x = -1, y = -1;
        ::Window child;
        XTranslateCoordinates(view_, XWindow(hwnd), DefaultRootWindow(view_), 0, 0, &x, &y, &child);
        return POINT{x, y};
    }

    TestClass class_;
};

TEST_F(X11InputTest, ClickOnAButtonWindowSendsItsCommandAndShowsEachLook) {
    HWND frame = Show();
    HWND button =
        CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 30, 100, 40,
                        frame, reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(Settle(button));
    ASSERT_EQ(Differences(kPlace), 0u);
    const auto released = Shot(kPlace);

    hands_.MoveTo(kPlace.left + 70, kPlace.top + 50);
    hands_.Button(1, true);
    ASSERT_TRUE(PumpUntil([&] { return GetCapture() == button; })) << "the press did not come";
    ASSERT_TRUE(Settle(button));
    EXPECT_EQ(Differences(kPlace), 0u) << "the pressed look is not what the server shows";
    EXPECT_NE(Shot(kPlace), released) << "the pressed look was not presented";
    EXPECT_FALSE(Saw(frame, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED)));

    hands_.Button(1, false);
    ASSERT_TRUE(
        PumpUntil([&] { return Saw(frame, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED)); }));
    ASSERT_TRUE(Settle(button));
    EXPECT_EQ(Differences(kPlace), 0u);
    EXPECT_EQ(Shot(kPlace), released);
    DestroyWindow(frame);
}

TEST_F(X11InputTest, PressOnAButtonReleasedElsewhereSendsNoCommand) {
    HWND frame = Show();
    HWND button =
        CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 30, 100, 40,
                        frame, reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
    ASSERT_TRUE(Settle(button));
    hands_.MoveTo(kPlace.left + 70, kPlace.top + 50);
    hands_.Button(1, true);
    ASSERT_TRUE(PumpUntil([&] { return GetCapture() == button; }));
    hands_.MoveTo(kPlace.left + 200, kPlace.top + 140);
    hands_.Button(1, false);
    ASSERT_TRUE(PumpUntil([&] { return GetCapture() == nullptr; }));
    EXPECT_TRUE(brtest::NothingFor(std::chrono::milliseconds(200), [&] {
        Pump();
        return Saw(frame, WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED));
    }));
    DestroyWindow(frame);
}

TEST_F(X11InputTest, TwoQuickClicksAreTheLayersDoubleClick) {
    TestClass doubleClicks(nullptr, CS_DBLCLKS);
    HWND hwnd = ShowFilled(doubleClicks, kPlace, kFace);
    hands_.Click(1, kPlace.left + 40, kPlace.top + 40);
    hands_.Click(1, kPlace.left + 40, kPlace.top + 40);
    std::vector<UINT> buttons;
    EXPECT_TRUE(PumpUntil([&] {
        buttons.clear();
        for (UINT message : Log().Messages(hwnd)) {
            if (message >= WM_LBUTTONDOWN && message <= WM_LBUTTONDBLCLK) {
                buttons.push_back(message);
            }
        }
        return buttons.size() >= 4;
    }));
    EXPECT_EQ(buttons,
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
    DestroyWindow(hwnd);
}

// The frame as the client's main window drags it: a press outside its buttons posts
// WM_NCLBUTTONDOWN with HTCAPTION, and the window follows the pointer until the release.
TEST_F(X11InputTest, DragStartedByHtCaptionMovesTheWindowOnTheServer) {
    std::atomic<bool> entered{false}, exited{false};
    HWND frame =
        Show([&](HWND hwnd, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            switch (message) {
                case WM_LBUTTONDOWN:
                    ReleaseCapture();
                    PostMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
                    return 0;
                case WM_ENTERSIZEMOVE:
                    entered = true;
                    return std::nullopt;
                case WM_EXITSIZEMOVE:
                    exited = true;
                    return std::nullopt;
                default:
                    return std::nullopt;
            }
        });
    constexpr int kDx = 150, kDy = 90, kSteps = 6;
    const POINT start{kPlace.left + 30, kPlace.top + 10};
    // The person's hand, on a thread of its own: the move loop holds the test thread.
    std::thread hand([&] {
        Hands hands;
        hands.MoveTo(start.x, start.y);
        hands.Button(1, true);
        if (!brtest::WaitUntil([&] { return entered.load(); })) {
            hands.Button(1, false);
            return;
        }
        for (int i = 1; i <= kSteps; ++i) {
            hands.MoveTo(start.x + kDx * i / kSteps, start.y + kDy * i / kSteps);
        }
        hands.Button(1, false);
    });
    const bool done = PumpUntil([&] { return exited.load(); });
    hand.join();
    ASSERT_TRUE(entered) << "the press did not start the move";
    ASSERT_TRUE(done) << "the move did not end with the release";

    const RECT moved = Offset(kPlace, kDx, kDy);
    EXPECT_TRUE(SameRect(WindowRect(frame), moved));
    ASSERT_TRUE(Drained());
    const POINT place = XPlace(frame);
    EXPECT_EQ(place.x, moved.left);
    EXPECT_EQ(place.y, moved.top);
    ASSERT_TRUE(Settle(frame));
    // The old place and the new one: the desktop where the window was, the window where it is.
    EXPECT_EQ(Differences(RECT{kPlace.left, kPlace.top, moved.right, moved.bottom}), 0u);
    DestroyWindow(frame);
}

// The keys a person types, as virtual keys and characters: WM_KEYDOWN, the WM_CHAR that
// TranslateMessage makes (none for a key that types nothing), WM_KEYUP.
TEST_F(X11InputTest, KeysReachTheFocusWindowAsVirtualKeysAndCharacters) {
    struct Case {
        const char* name;
        KeySym symbol;
        bool shift;
        WPARAM virtualKey;
        WPARAM character;  // 0: none
    };
    const Case cases[] = {
        {"Escape", XK_Escape, false, VK_ESCAPE, 27},
        {"Enter", XK_Return, false, VK_RETURN, 13},
        {"a letter", XK_a, false, 'A', 'a'},
        {"a letter with Shift", XK_a, true, 'A', 'A'},
        {"a digit", XK_7, false, '7', '7'},
        {"Space", XK_space, false, VK_SPACE, ' '},
        {"F5", XK_F5, false, 0x74, 0},
        {"an arrow", XK_Left, false, VK_LEFT, 0},
        {"Delete", XK_Delete, false, VK_DELETE, 0},
    };
    HWND hwnd = Show();
    ASSERT_TRUE(Drained());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Log().Clear();
        if (c.shift) {
            hands_.Key(XK_Shift_L, true);
        }
        hands_.Press(c.symbol);
        if (c.shift) {
            hands_.Key(XK_Shift_L, false);
        }
        const UINT last = c.shift ? VK_SHIFT : static_cast<UINT>(c.virtualKey);
        ASSERT_TRUE(PumpUntil([&] { return Saw(hwnd, WM_KEYUP, last); }));
        std::vector<std::pair<UINT, WPARAM>> seen;
        for (const Seen& s : Log().All()) {
            const bool key = s.message == WM_KEYDOWN || s.message == WM_KEYUP;
            if (s.hwnd == hwnd && ((key && s.wParam != VK_SHIFT) || s.message == WM_CHAR)) {
                seen.emplace_back(s.message, s.wParam);
            }
        }
        std::vector<std::pair<UINT, WPARAM>> expected{{WM_KEYDOWN, c.virtualKey}};
        if (c.character) {
            expected.emplace_back(WM_CHAR, c.character);
        }
        expected.emplace_back(WM_KEYUP, c.virtualKey);
        EXPECT_EQ(seen, expected);
    }
    DestroyWindow(hwnd);
}

}  // namespace
// The key symbols the backend maps, without a display: ranges map in order, and the left and
// right modifiers are one virtual key each.
TEST(X11VirtualKey, EachSymbolHasItsVirtualKey) {
    const std::pair<KeySym, UINT> cases[] = {
        {XK_a, 'A'},           {XK_z, 'Z'},           {XK_Z, 'Z'},         {XK_0, '0'},
        {XK_9, '9'},           {XK_F1, 0x70},         {XK_F12, 0x7B},      {XK_Return, VK_RETURN},
        {XK_Shift_L, VK_SHIFT}, {XK_Shift_R, VK_SHIFT}, {XK_Control_L, VK_CONTROL},
        {XK_Control_R, VK_CONTROL}, {XK_Alt_L, VK_MENU}, {XK_Alt_R, VK_MENU}, {XK_Next, 0x22},
        {XK_Caps_Lock, 0},
    };
    for (const auto& [symbol, key] : cases) {
        EXPECT_EQ(pal::x11::VirtualKeyOf(symbol), key) << XKeysymToString(symbol);
    }
}

}  // namespace paltest
