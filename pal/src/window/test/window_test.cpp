// Windows: creation and destruction with their messages, the default procedure, posting and
// dispatching on one thread, what a handle names.
#include <unistd.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "test/window_test_support.h"

namespace {

using paltest::Log;
using paltest::Seen;
using paltest::TakeAll;
using paltest::TestClass;
using paltest::WindowTest;

const HWND kNoWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));

TEST_F(WindowTest, CreationSendsNcCreateThenCreateWithTheCreateStruct) {
    TestClass windowClass;
    int param = 0;
    std::vector<CREATESTRUCTA> seen;
    std::vector<BOOL> existed;
    paltest::CurrentReaction() = [&](HWND hwnd, UINT message, WPARAM,
                                     LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_NCCREATE || message == WM_CREATE) {
            seen.push_back(*reinterpret_cast<CREATESTRUCTA*>(lParam));
            existed.push_back(IsWindow(hwnd));
        }
        return std::nullopt;
    };
    HWND hwnd = windowClass.Create(WS_POPUP, nullptr, "Title", &param);
    ASSERT_NE(hwnd, nullptr) << GetLastError();
    EXPECT_EQ(Log().Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    ASSERT_EQ(seen.size(), 2u);
    for (const CREATESTRUCTA& create : seen) {
        EXPECT_EQ(create.lpCreateParams, &param);
        EXPECT_EQ(create.hInstance, GetModuleHandleA(nullptr));
        EXPECT_EQ(create.hwndParent, nullptr);
        EXPECT_EQ(create.x, 10);
        EXPECT_EQ(create.y, 20);
        EXPECT_EQ(create.cx, 300);
        EXPECT_EQ(create.cy, 200);
        EXPECT_EQ(static_cast<DWORD>(create.style), WS_POPUP);
        EXPECT_STREQ(create.lpszName, "Title");
        EXPECT_STREQ(create.lpszClass, windowClass.Name());
    }
    EXPECT_EQ(existed, (std::vector<BOOL>{TRUE, TRUE}));
    EXPECT_TRUE(TakeAll().empty());  // sent, not posted
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST_F(WindowTest, CreationEndsWithTheFirstSizeAndPlace) {
    TestClass windowClass;
    HWND parent = windowClass.Create(WS_POPUP);
    struct Case {
        const char* name;
        DWORD style;
        HWND parent;
        RECT rect;
        std::vector<std::pair<UINT, Seen>> expected;  // hwnd, thread unused
    };
    auto sizeMove = [](WPARAM kind, int cx, int cy, int x, int y) {
        return std::vector<std::pair<UINT, Seen>>{
            {WM_SIZE, Seen{nullptr, WM_SIZE, kind, MAKELPARAM(cx, cy), 0}},
            {WM_MOVE, Seen{nullptr, WM_MOVE, 0, MAKELPARAM(x, y), 0}}};
    };
    const Case cases[] = {
        {"a popup",
         WS_POPUP,
         nullptr,
         {10, 20, 310, 220},
         sizeMove(SIZE_RESTORED, 300, 200, 10, 20)},
        {"a child, in its parent's client area",
         WS_CHILD,
         parent,
         {5, 6, 35, 46},
         sizeMove(SIZE_RESTORED, 30, 40, 5, 6)},
        {"a message-only window", 0, HWND_MESSAGE, {0, 0, 0, 0}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Log().Clear();
        HWND hwnd = CreateWindowExA(0, windowClass.Name(), "", c.style, c.rect.left, c.rect.top,
                                    c.rect.right - c.rect.left, c.rect.bottom - c.rect.top,
                                    c.parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(hwnd, nullptr) << GetLastError();
        std::vector<Seen> after;
        bool created = false;
        for (const Seen& seen : Log().All()) {
            if (seen.hwnd == hwnd && created) {
                after.push_back(seen);
            }
            created |= seen.hwnd == hwnd && seen.message == WM_CREATE;
        }
        ASSERT_TRUE(created);
        ASSERT_EQ(after.size(), c.expected.size());
        for (size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].message, c.expected[i].first);
            EXPECT_EQ(after[i].wParam, c.expected[i].second.wParam);
            EXPECT_EQ(after[i].lParam, c.expected[i].second.lParam);
        }
        DestroyWindow(hwnd);
    }

    // A procedure that destroys its window on WM_SIZE ends the creation there.
    paltest::CurrentReaction() = [](HWND hwnd, UINT message, WPARAM,
                                    LPARAM) -> std::optional<LRESULT> {
        if (message == WM_SIZE) {
            DestroyWindow(hwnd);
            return 0;
        }
        return std::nullopt;
    };
    Log().Clear();
    EXPECT_EQ(windowClass.Create(WS_POPUP), nullptr);
    std::vector<UINT> messages = Log().Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), static_cast<UINT>(WM_MOVE)), 0);
    EXPECT_EQ(messages.back(), static_cast<UINT>(WM_NCDESTROY));
    paltest::CurrentReaction() = nullptr;
    DestroyWindow(parent);
}

TEST_F(WindowTest, DestroyWindowSendsDestroyThenNcDestroyAndTheHandleGoes) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create();
    ASSERT_NE(hwnd, nullptr);
    std::vector<BOOL> existed;
    paltest::CurrentReaction() = [&](HWND window, UINT, WPARAM, LPARAM) -> std::optional<LRESULT> {
        existed.push_back(IsWindow(window));
        return std::nullopt;
    };
    Log().Clear();
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(Log().Messages(), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_EQ(existed, (std::vector<BOOL>{TRUE, TRUE}));
    paltest::CurrentReaction() = nullptr;
    Log().Clear();

    MSG msg{hwnd, WM_USER, 0, 0, 0, {0, 0}};
    PAINTSTRUCT paint;
    const struct {
        const char* call;
        std::function<LONG_PTR()> run;
        LONG_PTR failed;
    } calls[] = {
        {"DestroyWindow", [&] { return DestroyWindow(hwnd); }, FALSE},
        {"PostMessageA", [&] { return PostMessageA(hwnd, WM_USER, 0, 0); }, FALSE},
        {"SendMessageA", [&] { return SendMessageA(hwnd, WM_USER, 0, 0); }, 0},
        {"GetWindowThreadProcessId", [&] { return GetWindowThreadProcessId(hwnd, nullptr); }, 0},
        {"SetTimer", [&] { return static_cast<LONG_PTR>(SetTimer(hwnd, 1, 100, nullptr)); }, 0},
        {"BeginPaint", [&] { return reinterpret_cast<LONG_PTR>(BeginPaint(hwnd, &paint)); }, 0},
        {"DispatchMessageA", [&] { return DispatchMessageA(&msg); }, 0},
        {"GetMessageA", [&] { return GetMessageA(&msg, hwnd, 0, 0); }, -1},
        {"PeekMessageA", [&] { return PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE); }, FALSE},
    };
    for (const auto& c : calls) {
        SetLastError(0);
        EXPECT_EQ(c.run(), c.failed) << c.call;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE) << c.call;
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(Log().All().empty());
}

TEST_F(WindowTest, CreationFailures) {
    TestClass windowClass;
    HWND messageOnly = windowClass.Create(0, HWND_MESSAGE);
    ASSERT_NE(messageOnly, nullptr);
    const struct {
        const char* name;
        UINT refused;  // the message the procedure answers with failure, or 0
        DWORD style;
        HWND parent;
        const char* className;
        DWORD error;
        std::vector<UINT> messages;
    } cases[] = {
        {"WM_NCCREATE refused",
         WM_NCCREATE,
         0,
         nullptr,
         windowClass.Name(),
         0,
         {WM_NCCREATE, WM_NCDESTROY}},
        {"WM_CREATE refused",
         WM_CREATE,
         0,
         nullptr,
         windowClass.Name(),
         0,
         {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
        {"child without parent",
         0,
         WS_CHILD,
         nullptr,
         windowClass.Name(),
         ERROR_TLW_WITH_WSCHILD,
         {}},
        {"parent that is no window",
         0,
         WS_CHILD,
         kNoWindow,
         windowClass.Name(),
         ERROR_INVALID_WINDOW_HANDLE,
         {}},
        {"child of a message-only window",
         0,
         WS_CHILD,
         messageOnly,
         windowClass.Name(),
         ERROR_NOT_SUPPORTED,
         {}},
        {"unknown class", 0, 0, nullptr, "NoSuchClass", ERROR_CANNOT_FIND_WND_CLASS, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Log().Clear();
        UINT refused = c.refused;
        paltest::CurrentReaction() = [refused](HWND, UINT message, WPARAM,
                                               LPARAM) -> std::optional<LRESULT> {
            if (message == refused) {
                return message == WM_CREATE ? -1 : FALSE;
            }
            return std::nullopt;
        };
        SetLastError(0);
        HWND hwnd = CreateWindowExA(0, c.className, "", c.style, 0, 0, 10, 10, c.parent, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        EXPECT_EQ(hwnd, nullptr);
        if (c.error) {
            EXPECT_EQ(GetLastError(), c.error);
        }
        EXPECT_EQ(Log().Messages(), c.messages);
    }
    paltest::CurrentReaction() = nullptr;
    EXPECT_TRUE(DestroyWindow(messageOnly));
    // No failed window is left behind: the class has none.
    EXPECT_TRUE(UnregisterClassA(windowClass.Name(), GetModuleHandleA(nullptr)));
}

TEST_F(WindowTest, CwUseDefaultPlacement) {
    TestClass windowClass;
    const int D = CW_USEDEFAULT;
    const struct {
        DWORD style;
        bool messageOnly;
        int x, y, width, height;
        RECT expected;  // x, y, cx, cy
    } cases[] = {
        {WS_OVERLAPPEDWINDOW, false, D, 0, D, 0, {0, 0, 640, 480}},  // the service's window
        {0, false, D, 99, 100, 50, {0, 0, 100, 50}},
        {0, false, 5, 6, D, 77, {5, 6, 640, 480}},
        {WS_POPUP, false, D, 7, D, 8, {0, 7, 0, 8}},
        {0, true, D, D, D, D, {0, 0, 0, 0}},
        {WS_POPUP, false, 1, 2, -3, -4, {1, 2, 0, 0}},
    };
    for (const auto& c : cases) {
        std::optional<CREATESTRUCTA> created;
        paltest::CurrentReaction() = [&](HWND, UINT message, WPARAM,
                                         LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_CREATE) {
                created = *reinterpret_cast<CREATESTRUCTA*>(lParam);
            }
            return std::nullopt;
        };
        HWND hwnd =
            CreateWindowExA(0, windowClass.Name(), "", c.style, c.x, c.y, c.width, c.height,
                            c.messageOnly ? HWND_MESSAGE : nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        ASSERT_TRUE(created);
        EXPECT_EQ((std::vector<int>{created->x, created->y, created->cx, created->cy}),
                  (std::vector<int>{c.expected.left, c.expected.top, c.expected.right,
                                    c.expected.bottom}))
            << c.style << " " << c.x << " " << c.y << " " << c.width << " " << c.height;
        DestroyWindow(hwnd);
    }
}

TEST_F(WindowTest, DefWindowProcA) {
    TestClass plain;
    TestClass brushed(reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
    const struct {
        const TestClass* windowClass;
        UINT message;
        LRESULT result;
        bool destroyed;
    } cases[] = {
        {&plain, WM_NCCREATE, TRUE, false},  {&plain, WM_CREATE, 0, false},
        {&plain, WM_USER + 3, 0, false},     {&plain, WM_COMMAND, 0, false},
        {&plain, WM_TIMER, 0, false},        {&plain, WM_ERASEBKGND, 0, false},
        {&brushed, WM_ERASEBKGND, 1, false}, {&plain, WM_CLOSE, 0, true},
    };
    for (const auto& c : cases) {
        HWND hwnd = c.windowClass->Create();
        ASSERT_NE(hwnd, nullptr);
        Log().Clear();
        EXPECT_EQ(DefWindowProcA(hwnd, c.message, 0, 0), c.result) << c.message;
        EXPECT_EQ(IsWindow(hwnd), c.destroyed ? FALSE : TRUE) << c.message;
        const std::vector<UINT> sent =
            c.destroyed ? std::vector<UINT>{WM_DESTROY, WM_NCDESTROY} : std::vector<UINT>{};
        EXPECT_EQ(Log().Messages(), sent) << c.message;
        DestroyWindow(hwnd);
    }
}

TEST_F(WindowTest, PostedMessagesComeInPostingOrderWithThreadMessages) {
    TestClass windowClass;
    HWND first = windowClass.Create();
    HWND second = windowClass.Create(0, HWND_MESSAGE);
    ASSERT_TRUE(first && second);
    paltest::CurrentReaction() = [](HWND, UINT message, WPARAM wParam,
                                    LPARAM) -> std::optional<LRESULT> {
        if (message >= WM_USER) {
            return static_cast<LRESULT>(wParam * 10);
        }
        return std::nullopt;
    };
    Log().Clear();
    ASSERT_TRUE(PostMessageA(first, WM_USER + 1, 1, 0));
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_USER + 2, 2, 0));
    ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 3, 3, 0));  // a thread message to the caller
    ASSERT_TRUE(PostMessageA(second, WM_USER + 4, 4, 0));
    ASSERT_TRUE(PostMessageA(first, WM_USER + 5, 5, 0));

    const struct {
        HWND hwnd;
        UINT message;
        LRESULT dispatched;
    } expected[] = {
        {first, WM_USER + 1, 10},  {nullptr, WM_USER + 2, 0}, {nullptr, WM_USER + 3, 0},
        {second, WM_USER + 4, 40}, {first, WM_USER + 5, 50},
    };
    for (const auto& e : expected) {
        MSG msg;
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
        EXPECT_EQ(msg.hwnd, e.hwnd);
        EXPECT_EQ(msg.message, e.message);
        EXPECT_FALSE(TranslateMessage(&msg));
        EXPECT_EQ(DispatchMessageA(&msg), e.dispatched);
    }
    // Thread messages reach no procedure.
    EXPECT_EQ(Log().Messages(), (std::vector<UINT>{WM_USER + 1, WM_USER + 4, WM_USER + 5}));
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST_F(WindowTest, FiltersTakeOneWindowsOrOnlyThreadMessages) {
    TestClass windowClass;
    HWND first = windowClass.Create();
    HWND second = windowClass.Create(0, HWND_MESSAGE);
    ASSERT_TRUE(first && second);
    PostMessageA(first, WM_USER + 1, 0, 0);
    PostMessageA(nullptr, WM_USER + 2, 0, 0);
    PostMessageA(second, WM_USER + 3, 0, 0);
    PostMessageA(first, WM_USER + 4, 0, 0);
    EXPECT_EQ(paltest::MessagesOf(TakeAll(second)), std::vector<UINT>{WM_USER + 3});
    EXPECT_EQ(paltest::MessagesOf(TakeAll(reinterpret_cast<HWND>(static_cast<intptr_t>(-1)))),
              std::vector<UINT>{WM_USER + 2});
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, first, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 1u);
    EXPECT_EQ(paltest::MessagesOf(TakeAll(first)), (std::vector<UINT>{WM_USER + 1, WM_USER + 4}));
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST_F(WindowTest, DestroyWindowDropsItsPostedMessagesOnly) {
    TestClass windowClass;
    HWND doomed = windowClass.Create();
    HWND other = windowClass.Create();
    ASSERT_TRUE(doomed && other);
    PostMessageA(doomed, WM_USER + 1, 0, 0);
    PostMessageA(nullptr, WM_USER + 2, 0, 0);
    PostMessageA(other, WM_USER + 3, 0, 0);
    PostMessageA(doomed, WM_USER + 4, 0, 0);
    ASSERT_TRUE(DestroyWindow(doomed));
    auto left = TakeAll();
    ASSERT_EQ(paltest::MessagesOf(left), (std::vector<UINT>{WM_USER + 2, WM_USER + 3}));
    EXPECT_EQ(left[1].hwnd, other);
    DestroyWindow(other);
}

TEST_F(WindowTest, CloseThroughTheDefaultHandlingEndsTheLoopWithTheQuitCode) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create();
    ASSERT_NE(hwnd, nullptr);
    paltest::CurrentReaction() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY) {
            PostQuitMessage(5);
            return 0;
        }
        return std::nullopt;
    };
    Log().Clear();
    ASSERT_TRUE(PostMessageA(hwnd, WM_CLOSE, 0, 0));
    MSG msg;
    int loops = 0;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0 && ++loops < 10) {
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(got, 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_EQ(Log().Messages(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowTest, DestroyWindowCalledAgainWhileDestroyingSendsNothingMore) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create();
    ASSERT_NE(hwnd, nullptr);
    std::vector<BOOL> nested;
    paltest::CurrentReaction() = [&](HWND window, UINT message, WPARAM,
                                     LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY || message == WM_NCDESTROY) {
            nested.push_back(DestroyWindow(window));
        }
        return std::nullopt;
    };
    Log().Clear();
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(nested, (std::vector<BOOL>{TRUE, TRUE}));
    EXPECT_EQ(Log().Messages(), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowTest, SendMessageOnTheOwnThreadCallsTheProcedureAtOnce) {
    TestClass windowClass;
    HWND hwnd = windowClass.Create(0, HWND_MESSAGE);
    ASSERT_NE(hwnd, nullptr);
    paltest::CurrentReaction() = [](HWND, UINT message, WPARAM wParam,
                                    LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_USER) {
            return static_cast<LRESULT>(wParam) + lParam;
        }
        return std::nullopt;
    };
    Log().Clear();
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 40, 2), 42);
    EXPECT_EQ(Log().Messages(), std::vector<UINT>{WM_USER});
    EXPECT_TRUE(TakeAll().empty());
    DestroyWindow(hwnd);
}

TEST_F(WindowTest, DispatchMessageAWithoutAWindow) {
    SetLastError(0);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    MSG thread{nullptr, WM_USER, 0, 0, 0, {0, 0}};
    SetLastError(0);
    EXPECT_EQ(DispatchMessageA(&thread), 0);
    EXPECT_EQ(GetLastError(), 0u);
    MSG unknown{kNoWindow, WM_USER, 0, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&unknown), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_TRUE(Log().All().empty());
}

TEST_F(WindowTest, HandlesNameTheProcessAndThreadAndAreNeverReused) {
    TestClass windowClass;
    HWND first = windowClass.Create();
    HWND second = windowClass.Create(0, HWND_MESSAGE);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    for (HWND hwnd : {first, second}) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(hwnd) >> 32, static_cast<uintptr_t>(getpid()));
        DWORD pid = 0;
        EXPECT_EQ(GetWindowThreadProcessId(hwnd, &pid), GetCurrentThreadId());
        EXPECT_EQ(pid, static_cast<DWORD>(getpid()));
        EXPECT_TRUE(IsWindow(hwnd));
        DestroyWindow(hwnd);
    }
    HWND third = windowClass.Create();
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
    DestroyWindow(third);
    for (HWND special : {static_cast<HWND>(nullptr), HWND_MESSAGE, kNoWindow,
                         reinterpret_cast<HWND>(static_cast<intptr_t>(-1))}) {
        EXPECT_FALSE(IsWindow(special));
        SetLastError(0);
        EXPECT_EQ(GetWindowThreadProcessId(special, nullptr), 0u);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    }
}

}  // namespace
