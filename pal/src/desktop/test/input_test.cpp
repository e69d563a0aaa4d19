// The input entry and the messages input makes: hit tests and cursors before mouse messages,
// client and non-client messages, double clicks, capture, the move loop, keys and characters.
#include <gtest/gtest.h>

#include "desktop/test/desktop_test_support.h"

namespace {

using paltest::CreateAt;
using paltest::LastSeen;
using paltest::Log;
using paltest::PumpAll;
using paltest::SameRect;
using paltest::Step;
using paltest::Steps;
using paltest::TestClass;
using paltest::WindowTest;

const std::vector<UINT> kMouse{
    WM_NCHITTEST,   WM_SETCURSOR,      WM_MOUSEMOVE,     WM_NCMOUSEMOVE, WM_LBUTTONDOWN,
    WM_LBUTTONUP,   WM_LBUTTONDBLCLK,  WM_RBUTTONDOWN,   WM_RBUTTONUP,   WM_NCLBUTTONDOWN,
    WM_NCLBUTTONUP, WM_CAPTURECHANGED, WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE};

// A press and a release at one point.
void Click(UINT button, int x, int y) {
    PalInputButton(button, TRUE, x, y);
    PalInputButton(button, FALSE, x, y);
}

TEST_F(WindowTest, AClickIsHitTestSetCursorThenTheButtonMessages) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 300, 200});
    ASSERT_NE(hwnd, nullptr);
    PumpAll();
    Log().Clear();
    Click(VK_LBUTTON, 150, 120);
    PumpAll();
    EXPECT_EQ(Steps(kMouse), (std::vector<Step>{{hwnd, WM_NCHITTEST},
                                                {hwnd, WM_SETCURSOR},
                                                {hwnd, WM_LBUTTONDOWN},
                                                {hwnd, WM_NCHITTEST},
                                                {hwnd, WM_SETCURSOR},
                                                {hwnd, WM_LBUTTONUP}}));
    EXPECT_EQ(LastSeen(hwnd, WM_NCHITTEST).lParam, MAKELPARAM(150, 120));  // screen
    EXPECT_EQ(LastSeen(hwnd, WM_SETCURSOR).wParam, reinterpret_cast<WPARAM>(hwnd));
    EXPECT_EQ(LastSeen(hwnd, WM_SETCURSOR).lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONUP));
    EXPECT_EQ(LastSeen(hwnd, WM_LBUTTONDOWN).lParam, MAKELPARAM(50, 20));  // client
    EXPECT_EQ(LastSeen(hwnd, WM_LBUTTONDOWN).wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(LastSeen(hwnd, WM_LBUTTONUP).wParam, 0u);
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    EXPECT_EQ(cursor.x, 150);
    EXPECT_EQ(cursor.y, 120);
    // The default WM_SETCURSOR of the client area shows the arrow.
    EXPECT_EQ(SetCursor(nullptr), LoadCursorA(nullptr, IDC_ARROW));

    // A move while the right button is held carries its flag; the right button's messages.
    Log().Clear();
    PalInputButton(VK_RBUTTON, TRUE, 160, 130);
    PalInputPointer(161, 131);
    PalInputButton(VK_RBUTTON, FALSE, 161, 131);
    PumpAll();
    EXPECT_EQ(Log().Messages(hwnd), (std::vector<UINT>{WM_NCHITTEST, WM_SETCURSOR, WM_RBUTTONDOWN,
                                                       WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE,
                                                       WM_NCHITTEST, WM_SETCURSOR, WM_RBUTTONUP}));
    EXPECT_EQ(LastSeen(hwnd, WM_MOUSEMOVE).wParam, static_cast<WPARAM>(MK_RBUTTON));
    EXPECT_EQ(LastSeen(hwnd, WM_MOUSEMOVE).lParam, MAKELPARAM(61, 31));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, InputComesAfterPostedMessagesAndBeforePaint) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    ASSERT_NE(hwnd, nullptr);
    PalInputPointer(10, 10);
    PostMessageA(hwnd, WM_USER, 0, 0);
    std::vector<UINT> taken;
    for (const MSG& msg : PumpAll()) {
        taken.push_back(msg.message);
    }
    EXPECT_EQ(taken, (std::vector<UINT>{WM_USER, WM_MOUSEMOVE, WM_PAINT}));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, DoubleClicksNeedTheClassStyleAndTheBox) {
    TestClass plain;
    TestClass doubleClicks(nullptr, CS_DBLCLKS);
    const struct {
        const char* name;
        const TestClass* windowClass;
        int secondX;  // the second press's x; the first is at 50
        std::vector<UINT> presses;
    } cases[] = {
        {"CS_DBLCLKS, same point", &doubleClicks, 50, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}},
        {"CS_DBLCLKS, within the box", &doubleClicks, 52, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}},
        {"CS_DBLCLKS, outside the box", &doubleClicks, 53, {WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
        {"no CS_DBLCLKS", &plain, 50, {WM_LBUTTONDOWN, WM_LBUTTONDOWN}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = CreateAt(*c.windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
        ASSERT_NE(hwnd, nullptr);
        PumpAll();
        Log().Clear();
        Click(VK_LBUTTON, 50, 50);
        Click(VK_LBUTTON, c.secondX, 50);
        PumpAll();
        EXPECT_EQ(paltest::MessagesAmong(hwnd, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), c.presses);
        DestroyWindow(hwnd);
    }
    // The press after a double click starts anew; another button is no double click.
    HWND hwnd = CreateAt(doubleClicks, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    PumpAll();
    Log().Clear();
    Click(VK_LBUTTON, 50, 50);
    Click(VK_LBUTTON, 50, 50);
    Click(VK_LBUTTON, 50, 50);
    Click(VK_RBUTTON, 50, 50);
    PumpAll();
    EXPECT_EQ(
        paltest::MessagesAmong(hwnd, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN}),
        (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_RBUTTONDOWN}));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, InputGoesToTheFrontmostVisibleEnabledWindowUnderThePoint) {
    TestClass windowClass;
    HWND back = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 200, 200});
    HWND child = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, back, {10, 10, 50, 50});
    HWND hiddenChild = CreateAt(windowClass, WS_CHILD, back, {60, 10, 100, 50});
    HWND disabled =
        CreateAt(windowClass, WS_CHILD | WS_VISIBLE | WS_DISABLED, back, {110, 10, 150, 50});
    HWND front = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 300, 300});
    ASSERT_TRUE(back && child && hiddenChild && disabled && front);
    const struct {
        const char* name;
        POINT point;
        HWND expected;  // NULL: nobody
    } cases[] = {
        {"a child", {20, 20}, child},
        {"a hidden child's place", {70, 20}, back},
        {"a disabled child", {120, 20}, nullptr},
        {"the front window over the back one", {150, 150}, front},
        {"the back window", {50, 150}, back},
        {"no window", {500, 500}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PumpAll();
        Log().Clear();
        PalInputPointer(c.point.x, c.point.y);
        PumpAll();
        std::vector<Step> expected;
        if (c.expected) {
            expected = {{c.expected, WM_NCHITTEST}, {c.expected, WM_MOUSEMOVE}};
        }
        EXPECT_EQ(Steps({WM_NCHITTEST, WM_MOUSEMOVE}), expected);
    }
    DestroyWindow(front);
    DestroyWindow(back);
}

// The main window's shape: 822 x 621 with a region of 5 x 5 corner ellipses; a window behind it
// gets what falls on the cut corners.
TEST_F(WindowTest, APointOutsideTheWindowRegionDoesNotHitTheWindow) {
    TestClass windowClass;
    HWND behind = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 1000, 800});
    HWND shaped = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {100, 50, 922, 671});
    ASSERT_TRUE(behind && shaped);
    ASSERT_TRUE(SetWindowRgn(shaped, CreateRoundRectRgn(0, 0, 823, 622, 5, 5), TRUE));
    const struct {
        const char* name;
        POINT point;
        HWND expected;
    } cases[] = {
        {"top-left corner", {100, 50}, behind},
        {"beside it", {101, 50}, shaped},
        {"below it", {100, 51}, shaped},
        {"top-right corner", {921, 50}, behind},
        {"bottom-left corner", {100, 670}, behind},
        {"bottom-right corner", {921, 670}, behind},
        {"the middle", {511, 360}, shaped},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PumpAll();
        Log().Clear();
        Click(VK_LBUTTON, c.point.x, c.point.y);
        PumpAll();
        const std::vector<Step> expected{{c.expected, WM_LBUTTONDOWN}};
        EXPECT_EQ(Steps({WM_LBUTTONDOWN}), expected);
        SetWindowPos(shaped, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // a press raises
    }
    // Without the region the corner is the window's again.
    ASSERT_TRUE(SetWindowRgn(shaped, nullptr, TRUE));
    PumpAll();
    Log().Clear();
    PalInputPointer(100, 50);
    PumpAll();
    const std::vector<Step> hits = Steps({WM_NCHITTEST});
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits.front().hwnd, shaped);
    DestroyWindow(shaped);
    DestroyWindow(behind);
}

TEST_F(WindowTest, APressActivatesAnInactiveWindowBeforeItsButtonMessage) {
    TestClass windowClass;
    HWND a = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    HWND b = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {200, 0, 300, 100});
    ASSERT_TRUE(a && b);
    PumpAll();
    ASSERT_EQ(GetActiveWindow(), b);
    Log().Clear();
    PalInputButton(VK_LBUTTON, TRUE, 50, 50);
    PumpAll();
    EXPECT_EQ(Steps({WM_NCHITTEST, WM_ACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN}),
              (std::vector<Step>{{a, WM_NCHITTEST},
                                 {b, WM_ACTIVATE},
                                 {a, WM_ACTIVATE},
                                 {a, WM_SETCURSOR},
                                 {a, WM_LBUTTONDOWN}}));
    EXPECT_EQ(GetActiveWindow(), a);
    PalInputButton(VK_LBUTTON, FALSE, 50, 50);
    PumpAll();
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST_F(WindowTest, NonClientHitsGiveNonClientMessagesWithScreenPoints) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 300, 200});
    ASSERT_NE(hwnd, nullptr);
    PumpAll();
    // The top row is a close area, as a skinned window may make it.
    paltest::CurrentReaction() = [](HWND, UINT message, WPARAM,
                                    LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_NCHITTEST && GET_Y_LPARAM(lParam) == 100) {
            return HTCLOSE;
        }
        return std::nullopt;
    };
    Log().Clear();
    PalInputPointer(150, 100);
    Click(VK_LBUTTON, 150, 100);
    PumpAll();
    EXPECT_EQ(
        Steps({WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDOWN}),
        (std::vector<Step>{
            {hwnd, WM_NCMOUSEMOVE}, {hwnd, WM_NCLBUTTONDOWN}, {hwnd, WM_NCLBUTTONUP}}));
    EXPECT_EQ(LastSeen(hwnd, WM_NCLBUTTONDOWN).wParam, static_cast<WPARAM>(HTCLOSE));
    EXPECT_EQ(LastSeen(hwnd, WM_NCLBUTTONDOWN).lParam, MAKELPARAM(150, 100));
    EXPECT_EQ(LastSeen(hwnd, WM_SETCURSOR).lParam, MAKELPARAM(HTCLOSE, WM_LBUTTONUP));
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, ADragWithCaptureKeepsTheMouseMessagesWhereverThePointerGoes) {
    TestClass windowClass;
    HWND other = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {200, 200, 300, 300});
    ASSERT_TRUE(other && hwnd);
    PumpAll();
    paltest::CurrentReaction() = [hwnd](HWND window, UINT message, WPARAM,
                                        LPARAM) -> std::optional<LRESULT> {
        if (window == hwnd && message == WM_LBUTTONDOWN) {
            SetCapture(hwnd);
        } else if (window == hwnd && message == WM_LBUTTONUP) {
            ReleaseCapture();
        }
        return std::nullopt;
    };
    Log().Clear();
    PalInputButton(VK_LBUTTON, TRUE, 250, 250);
    PalInputPointer(50, 50);  // over the other window
    PalInputButton(VK_LBUTTON, FALSE, 40, 40);
    PalInputPointer(30, 30);
    PumpAll();
    EXPECT_EQ(Steps(kMouse), (std::vector<Step>{{hwnd, WM_NCHITTEST},
                                                {hwnd, WM_SETCURSOR},
                                                {hwnd, WM_LBUTTONDOWN},
                                                {hwnd, WM_MOUSEMOVE},
                                                {hwnd, WM_LBUTTONUP},
                                                {hwnd, WM_CAPTURECHANGED},
                                                {other, WM_NCHITTEST},
                                                {other, WM_SETCURSOR},
                                                {other, WM_MOUSEMOVE}}));
    // Captured messages are in the capture window's client coordinates, outside it too.
    EXPECT_EQ(LastSeen(hwnd, WM_MOUSEMOVE).lParam, MAKELPARAM(-150, -150));
    EXPECT_EQ(LastSeen(hwnd, WM_MOUSEMOVE).wParam, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(LastSeen(hwnd, WM_LBUTTONUP).lParam, MAKELPARAM(-160, -160));
    EXPECT_EQ(LastSeen(hwnd, WM_CAPTURECHANGED).lParam, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(hwnd);
    DestroyWindow(other);
}

TEST_F(WindowTest, APressThatStartsAMoveMakesTheWindowFollowThePointer) {
    TestClass windowClass;
    const struct {
        const char* name;
        bool caption;  // the hit test says HTCAPTION; else the procedure posts the press on
    } cases[] = {{"caption hit", true}, {"posted from a client press", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 300, 200});
        ASSERT_NE(hwnd, nullptr);
        PumpAll();
        bool caption = c.caption;
        paltest::CurrentReaction() = [caption](HWND window, UINT message, WPARAM,
                                               LPARAM lParam) -> std::optional<LRESULT> {
            if (caption && message == WM_NCHITTEST) {
                return HTCAPTION;
            }
            if (!caption && message == WM_LBUTTONDOWN) {
                POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
            }
            return std::nullopt;
        };
        Log().Clear();
        PalInputButton(VK_LBUTTON, TRUE, 150, 120);
        PalInputPointer(160, 125);
        PalInputPointer(180, 140);
        PalInputButton(VK_LBUTTON, FALSE, 190, 150);
        PumpAll();
        RECT rect;
        ASSERT_TRUE(GetWindowRect(hwnd, &rect));
        EXPECT_TRUE(SameRect(rect, {140, 130, 340, 230}));  // moved by (40, 30)
        std::vector<LPARAM> moves;
        for (const paltest::Seen& seen : Log().All()) {
            if (seen.hwnd == hwnd && seen.message == WM_MOVE) {
                moves.push_back(seen.lParam);
            }
        }
        EXPECT_EQ(moves, (std::vector<LPARAM>{MAKELPARAM(110, 105), MAKELPARAM(130, 120),
                                              MAKELPARAM(140, 130)}));
        auto loop = Steps({WM_ENTERSIZEMOVE, WM_CAPTURECHANGED, WM_EXITSIZEMOVE});
        EXPECT_EQ(loop, (std::vector<Step>{{hwnd, WM_ENTERSIZEMOVE},
                                           {hwnd, WM_CAPTURECHANGED},
                                           {hwnd, WM_EXITSIZEMOVE}}));
        // The loop takes the pointer's messages: the window sees no moves and no release.
        EXPECT_EQ(LastSeen(hwnd, WM_LBUTTONUP).message, static_cast<UINT>(WM_NULL));
        EXPECT_EQ(LastSeen(hwnd, WM_MOUSEMOVE).message, static_cast<UINT>(WM_NULL));
        paltest::CurrentReaction() = nullptr;
        DestroyWindow(hwnd);
    }
}

TEST_F(WindowTest, AMoveLoopEndsAtOnceWhenTheButtonIsUpAndEscapePutsTheWindowBack) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 300, 200});
    ASSERT_NE(hwnd, nullptr);
    PumpAll();
    // No button down: nothing happens.
    Log().Clear();
    SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(150, 120));
    EXPECT_EQ(LastSeen(hwnd, WM_ENTERSIZEMOVE).message, static_cast<UINT>(WM_NULL));
    // Escape during the move.
    paltest::CurrentReaction() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return message == WM_NCHITTEST ? std::optional<LRESULT>(HTCAPTION) : std::nullopt;
    };
    PalInputButton(VK_LBUTTON, TRUE, 150, 120);
    PalInputPointer(200, 200);
    PalInputKey(VK_ESCAPE, TRUE);
    PalInputKey(VK_ESCAPE, FALSE);
    PalInputButton(VK_LBUTTON, FALSE, 200, 200);
    PumpAll();
    RECT rect;
    ASSERT_TRUE(GetWindowRect(hwnd, &rect));
    EXPECT_TRUE(SameRect(rect, {100, 100, 300, 200}));
    EXPECT_EQ(LastSeen(hwnd, WM_EXITSIZEMOVE).message, static_cast<UINT>(WM_EXITSIZEMOVE));
    paltest::CurrentReaction() = nullptr;
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, KeysGoToTheFocusWindowAndTranslateMessageMakesCharacters) {
    TestClass windowClass;
    HWND parent = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    HWND child = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, parent, {0, 0, 10, 10});
    ASSERT_TRUE(parent && child);
    SetFocus(child);
    PumpAll();
    Log().Clear();
    PalInputKey('A', TRUE);
    PalInputKey('A', FALSE);
    PalInputKey(VK_SHIFT, TRUE);
    PalInputKey('B', TRUE);
    PalInputKey('B', TRUE);  // held: a repeat
    PalInputKey('B', FALSE);
    PalInputKey(VK_SHIFT, FALSE);
    PalInputKey(VK_RETURN, TRUE);
    PalInputKey(VK_LEFT, TRUE);  // types nothing
    PumpAll();
    struct Key {
        UINT message;
        WPARAM wParam;
        bool operator==(const Key&) const = default;
    };
    std::vector<Key> keys;
    std::vector<LPARAM> flags;
    for (const paltest::Seen& seen : Log().All()) {
        if (seen.message >= WM_KEYFIRST && seen.message <= WM_KEYLAST) {
            EXPECT_EQ(seen.hwnd, child);
            keys.push_back(Key{seen.message, seen.wParam});
            flags.push_back(seen.lParam);
        }
    }
    EXPECT_EQ(keys, (std::vector<Key>{{WM_KEYDOWN, 'A'},
                                      {WM_CHAR, 'a'},
                                      {WM_KEYUP, 'A'},
                                      {WM_KEYDOWN, VK_SHIFT},
                                      {WM_KEYDOWN, 'B'},
                                      {WM_CHAR, 'B'},
                                      {WM_KEYDOWN, 'B'},
                                      {WM_CHAR, 'B'},
                                      {WM_KEYUP, 'B'},
                                      {WM_KEYUP, VK_SHIFT},
                                      {WM_KEYDOWN, VK_RETURN},
                                      {WM_CHAR, '\r'},
                                      {WM_KEYDOWN, VK_LEFT}}));
    ASSERT_EQ(flags.size(), 13u);
    EXPECT_EQ(flags[0], 1);                                 // first press
    EXPECT_EQ(flags[2], static_cast<LPARAM>(0xC0000001u));  // release
    EXPECT_EQ(flags[6], static_cast<LPARAM>(0x40000001u));  // repeat: it was down
    // Without a focus window the active window gets the keys.
    SetFocus(nullptr);
    Log().Clear();
    PalInputKey(VK_RETURN, FALSE);
    PumpAll();
    EXPECT_EQ(Log().Messages(parent), std::vector<UINT>{WM_KEYUP});
    DestroyWindow(parent);
}

TEST_F(WindowTest, KeyStateAsTakenAndAsNow) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    ASSERT_NE(hwnd, nullptr);
    PumpAll();
    PalInputButton(VK_LBUTTON, TRUE, 10, 10);
    EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);  // not taken yet
    PumpAll();
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
    PalInputButton(VK_LBUTTON, FALSE, 10, 10);
    EXPECT_GE(GetAsyncKeyState(VK_LBUTTON), 0);
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
    PumpAll();
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, InputEntryAndCaptureErrors) {
    const struct {
        const char* name;
        BOOL result;
    } cases[] = {
        {"middle button", PalInputButton(0x04, TRUE, 0, 0)},
        {"key 0", PalInputKey(0, TRUE)},
        {"key 0xFF", PalInputKey(0xFF, TRUE)},
        {"the left button as a key", PalInputKey(VK_LBUTTON, TRUE)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.result) << c.name;
    }
    SetLastError(0);
    EXPECT_FALSE(PalInputKey(0, TRUE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    SetLastError(0);
    EXPECT_EQ(SetCapture(reinterpret_cast<HWND>(uintptr_t{0x1234})), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(GetCapture(), nullptr);
    SetLastError(0);
    EXPECT_FALSE(GetCursorPos(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetDoubleClickTime(), 500u);
}

}  // namespace
