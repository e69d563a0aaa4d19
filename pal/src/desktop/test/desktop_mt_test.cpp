// Placement and visibility changed from another thread: the window's messages are handled on
// its own thread, which keeps taking messages meanwhile. A parent destroyed with a child of
// another thread: the child's destruction runs on the child's thread before the parent's ends.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "desktop/test/desktop_test_support.h"

namespace {

using paltest::CreateAt;
using paltest::LastSeen;
using paltest::Log;
using paltest::TestClass;
using paltest::WindowTest;

// Takes and dispatches messages on this thread until done is set, for at most ten seconds.
bool PumpUntil(const std::atomic<bool>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    MSG msg;
    while (!done.load()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
        std::this_thread::yield();
    }
    return true;
}

TEST_F(WindowTest, PlacementFromAnotherThreadReachesTheWindowsThread) {
    TestClass windowClass;
    HWND hwnd = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
    ASSERT_NE(hwnd, nullptr);
    Log().Clear();
    std::atomic<bool> done{false};
    BOOL moved = FALSE;
    BOOL wasVisible = FALSE;
    std::thread other([&] {
        moved = MoveWindow(hwnd, 10, 20, 30, 40, TRUE);
        wasVisible = ShowWindow(hwnd, SW_MINIMIZE);
        done = true;
    });
    bool finished = PumpUntil(done);
    other.join();
    ASSERT_TRUE(finished);
    EXPECT_TRUE(moved);
    EXPECT_TRUE(wasVisible);
    EXPECT_TRUE(IsIconic(hwnd));
    DWORD self = GetCurrentThreadId();
    for (UINT message : {WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}) {
        paltest::Seen seen = LastSeen(hwnd, message);
        EXPECT_EQ(seen.message, message);
        EXPECT_EQ(seen.thread, self) << message;
    }
    EXPECT_EQ(LastSeen(hwnd, WM_SIZE).wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(hwnd, &rect));
    EXPECT_TRUE(paltest::SameRect(rect, {10, 20, 40, 60}));
    DestroyWindow(hwnd);
}

// A thread that makes a child of parent and takes its messages until released; ended (with its
// windows, if any are left) as it goes.
class ChildThread {
public:
    ChildThread(const TestClass& windowClass, HWND parent) {
        thread_ = std::thread([this, &windowClass, parent] {
            id_ = GetCurrentThreadId();
            child_ = CreateAt(windowClass, WS_CHILD | WS_VISIBLE, parent, {5, 5, 50, 50});
            made_ = true;
            PumpUntil(release_);
        });
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!made_.load() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
    }
    ~ChildThread() {
        release_ = true;
        thread_.join();
    }
    HWND Child() const { return made_ ? child_.load() : nullptr; }
    DWORD Id() const { return id_; }

private:
    std::atomic<bool> made_{false};
    std::atomic<bool> release_{false};
    std::atomic<HWND> child_{nullptr};
    std::atomic<DWORD> id_{0};
    std::thread thread_;
};

struct CrossThreadDestroyCase {
    const char* name;
    bool childSendsToParentInItsDestroy;  // the parent's thread must answer while it waits
};

class CrossThreadDestroyTest : public WindowTest,
                               public ::testing::WithParamInterface<CrossThreadDestroyCase> {};

TEST_P(CrossThreadDestroyTest, TheChildIsDestroyedOnItsOwnThreadBeforeTheParentEnds) {
    TestClass windowClass;
    HWND parent = CreateAt(windowClass, WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 200, 200});
    ASSERT_NE(parent, nullptr);
    constexpr UINT kAskParent = WM_USER + 7;
    std::atomic<LRESULT> answer{0};
    // Set before the child's thread runs, which reads it in every message it takes; the only
    // windows are the parent and the child.
    if (GetParam().childSendsToParentInItsDestroy) {
        paltest::CurrentReaction() = [&](HWND hwnd, UINT message, WPARAM,
                                         LPARAM) -> std::optional<LRESULT> {
            if (hwnd != parent && message == WM_DESTROY) {
                answer = SendMessageA(parent, kAskParent, 0, 0);
            } else if (hwnd == parent && message == kAskParent) {
                return 42;
            }
            return std::nullopt;
        };
    }
    ChildThread other(windowClass, parent);
    HWND child = other.Child();
    ASSERT_NE(child, nullptr);
    Log().Clear();
    ASSERT_TRUE(DestroyWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(parent));
    std::vector<paltest::Step> expected{
        {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    if (GetParam().childSendsToParentInItsDestroy) {
        expected.insert(expected.begin() + 2, {parent, kAskParent});
        EXPECT_EQ(answer.load(), 42);
    }
    EXPECT_EQ(paltest::Steps({WM_DESTROY, WM_NCDESTROY, kAskParent}), expected);
    EXPECT_EQ(LastSeen(child, WM_DESTROY).thread, other.Id());
    EXPECT_EQ(LastSeen(child, WM_NCDESTROY).thread, other.Id());
}

INSTANTIATE_TEST_SUITE_P(Destroy, CrossThreadDestroyTest,
                         ::testing::Values(CrossThreadDestroyCase{"Plain", false},
                                           CrossThreadDestroyCase{"ChildAsksParent", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
