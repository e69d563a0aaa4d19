// Windows and threads: SendMessageA across threads, posts from other threads, what only a
// window's own thread may do, a child of another thread going with its parent, and a thread's
// windows ending with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <future>
#include <thread>

#include "test/kernel_test_util.h"
#include "test/window_test_support.h"

namespace {

using paltest::Log;
using paltest::TestClass;
using paltest::WindowTest;

// Runs GetMessageA and DispatchMessageA until WM_QUIT.
void Pump() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
}

// A thread that creates a window of the class, then runs body with it; joined when destroyed.
class WindowThread {
public:
    WindowThread(const TestClass& windowClass, std::function<void(HWND)> body, DWORD style = 0,
                 HWND parent = HWND_MESSAGE) {
        std::promise<std::pair<HWND, DWORD>> made;
        auto ready = made.get_future();
        thread_ = std::thread([&windowClass, body = std::move(body), style, parent, &made] {
            HWND hwnd = windowClass.Create(style, parent, "Worker");
            made.set_value({hwnd, GetCurrentThreadId()});
            if (hwnd) {
                body(hwnd);
            }
        });
        std::tie(hwnd_, id_) = ready.get();
    }
    ~WindowThread() { Join(); }

    HWND Window() const { return hwnd_; }
    DWORD Id() const { return id_; }
    void Quit() { PostThreadMessageA(id_, WM_QUIT, 0, 0); }
    void Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::thread thread_;
    HWND hwnd_ = nullptr;
    DWORD id_ = 0;
};

// An event the test owns.
class Event {
public:
    Event() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(handle_); }
    void Set() { SetEvent(handle_); }
    void Wait() { WaitForSingleObject(handle_, INFINITE); }

private:
    HANDLE handle_;
};

std::optional<LRESULT> SumOfParameters(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER) {
        return static_cast<LRESULT>(wParam) + lParam;
    }
    return std::nullopt;
}

TEST_F(WindowTest, SendMessageAcrossThreadsRunsOnTheWindowsThread) {
    TestClass windowClass;
    paltest::CurrentReaction() = &SumOfParameters;
    WindowThread worker(windowClass, [](HWND) { Pump(); });
    ASSERT_NE(worker.Window(), nullptr);
    Log().Clear();
    EXPECT_EQ(SendMessageA(worker.Window(), WM_USER, 40, 2), 42);
    auto seen = Log().All();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].thread, worker.Id());
    worker.Quit();
}

TEST_F(WindowTest, TheSenderWaitsAndSentMessagesComeBeforePostedOnes) {
    TestClass windowClass;
    paltest::CurrentReaction() = &SumOfParameters;
    Event go;
    WindowThread worker(windowClass, [&](HWND) {
        go.Wait();
        Pump();
    });
    ASSERT_NE(worker.Window(), nullptr);
    Log().Clear();
    ASSERT_TRUE(PostMessageA(worker.Window(), WM_USER + 1, 0, 0));
    std::atomic<bool> answered{false};
    std::atomic<LRESULT> result{0};
    std::thread sender([&] {
        result = SendMessageA(worker.Window(), WM_USER + 2, 5, 6);
        answered = true;
    });
    paltest::Settle();
    EXPECT_FALSE(answered);  // the window's thread has taken no message yet
    go.Set();
    sender.join();
    EXPECT_EQ(result, 11);
    ASSERT_TRUE(paltest::Eventually([] { return Log().All().size() == 2; }));
    EXPECT_EQ(Log().Messages(), (std::vector<UINT>{WM_USER + 2, WM_USER + 1}));
    worker.Quit();
}

TEST_F(WindowTest, PeekMessageAHandlesSentMessagesToo) {
    TestClass windowClass;
    paltest::CurrentReaction() = &SumOfParameters;
    std::atomic<bool> stop{false};
    WindowThread worker(windowClass, [&](HWND) {
        MSG msg;
        while (!stop) {
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // nothing is ever posted
            Sleep(1);
        }
    });
    EXPECT_EQ(SendMessageA(worker.Window(), WM_USER, 1, 2), 3);
    stop = true;
}

TEST_F(WindowTest, ThreadsThatSendToEachOtherDoNotWaitForever) {
    TestClass windowClass;
    HWND mine = windowClass.Create(0, HWND_MESSAGE);
    ASSERT_NE(mine, nullptr);
    const DWORD me = GetCurrentThreadId();
    paltest::CurrentReaction() = [mine](HWND hwnd, UINT message, WPARAM,
                                        LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER + 10) {  // on the worker: ask the waiting sender back
            return SendMessageA(mine, WM_USER + 11, 0, 0) + 1;
        }
        if (message == WM_USER + 11 && hwnd == mine) {
            return 5;
        }
        return std::nullopt;
    };
    WindowThread worker(windowClass, [](HWND) { Pump(); });
    Log().Clear();
    EXPECT_EQ(SendMessageA(worker.Window(), WM_USER + 10, 0, 0), 6);
    auto seen = Log().All();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].thread, worker.Id());
    EXPECT_EQ(seen[1].message, WM_USER + 11u);
    EXPECT_EQ(seen[1].thread, me);  // handled while this thread waited
    worker.Quit();
    worker.Join();
    DestroyWindow(mine);
}

TEST_F(WindowTest, SendingToAWindowThatGoesFirstGivesZero) {
    TestClass windowClass;
    paltest::CurrentReaction() = &SumOfParameters;
    const struct {
        const char* name;
        std::function<void(HWND)> afterGo;
    } cases[] = {
        {"destroyed, then the queue looked at",
         [](HWND hwnd) {
             DestroyWindow(hwnd);
             MSG msg;
             PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
         }},
        {"its thread ends without looking", [](HWND) {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Event go;
        WindowThread worker(windowClass, [&](HWND hwnd) {
            go.Wait();
            c.afterGo(hwnd);
        });
        std::atomic<LRESULT> result{-1};
        std::atomic<DWORD> error{0};
        std::thread sender([&] {
            SetLastError(0);
            result = SendMessageA(worker.Window(), WM_USER, 1, 2);
            error = GetLastError();
        });
        paltest::Settle();
        go.Set();
        sender.join();
        EXPECT_EQ(result, 0);
        EXPECT_EQ(error, ERROR_INVALID_WINDOW_HANDLE);
        worker.Join();
        EXPECT_FALSE(IsWindow(worker.Window()));
    }
}

TEST_F(WindowTest, OnlyTheWindowsThreadDestroysItTimesItAndTakesItsMessages) {
    TestClass windowClass;
    WindowThread worker(windowClass, [](HWND) { Pump(); });
    HWND hwnd = worker.Window();
    ASSERT_NE(hwnd, nullptr);
    Log().Clear();
    MSG msg{hwnd, WM_USER, 0, 0, 0, {0, 0}};
    const struct {
        const char* call;
        std::function<LONG_PTR()> run;
        LONG_PTR failed;
        DWORD error;
    } refused[] = {
        {"DestroyWindow", [&] { return DestroyWindow(hwnd); }, FALSE, ERROR_ACCESS_DENIED},
        {"SetTimer", [&] { return static_cast<LONG_PTR>(SetTimer(hwnd, 1, 10, nullptr)); }, 0,
         ERROR_ACCESS_DENIED},
        {"KillTimer", [&] { return KillTimer(hwnd, 1); }, FALSE, ERROR_ACCESS_DENIED},
        {"GetMessageA", [&] { return GetMessageA(&msg, hwnd, 0, 0); }, -1,
         ERROR_INVALID_WINDOW_HANDLE},
        {"PeekMessageA", [&] { return PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE); }, FALSE,
         ERROR_INVALID_WINDOW_HANDLE},
        {"DispatchMessageA", [&] { return DispatchMessageA(&msg); }, 0,
         ERROR_WINDOW_OF_OTHER_THREAD},
    };
    for (const auto& c : refused) {
        SetLastError(0);
        EXPECT_EQ(c.run(), c.failed) << c.call;
        EXPECT_EQ(GetLastError(), c.error) << c.call;
    }
    EXPECT_TRUE(IsWindow(hwnd));
    DWORD pid = 0;
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, &pid), worker.Id());
    EXPECT_TRUE(Log().All().empty());
    worker.Quit();
}

// A parent whose child belongs to a thread that never looks at its queue: the destroy waits for
// that thread as a send would, and goes on when the thread ends (its child going with it,
// without messages), whether it ends before or while the destroy waits.
TEST_F(WindowTest, DestroyingAParentGoesOnWhenItsChildsThreadEndsUnpumped) {
    TestClass windowClass;
    HWND parent = windowClass.Create(WS_POPUP | WS_VISIBLE);
    ASSERT_NE(parent, nullptr);
    Event go;
    WindowThread worker(
        windowClass, [&](HWND) { go.Wait(); }, WS_CHILD | WS_VISIBLE, parent);
    HWND child = worker.Window();
    ASSERT_NE(child, nullptr) << GetLastError();
    ASSERT_EQ(GetParent(child), parent);
    Log().Clear();
    std::thread releaser([&] {
        paltest::Settle();
        go.Set();
    });
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_EQ(Log().Messages(child), std::vector<UINT>{});  // it went with its thread
    std::vector<UINT> ends;
    std::ranges::copy_if(Log().Messages(parent), std::back_inserter(ends),
                         [](UINT m) { return m == WM_DESTROY || m == WM_NCDESTROY; });
    EXPECT_EQ(ends, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    releaser.join();
    worker.Join();
}

TEST_F(WindowTest, PostsFromManyThreadsArriveInEachThreadsOrder) {
    TestClass windowClass;
    constexpr int kSenders = 4;
    constexpr int kEach = 300;
    std::atomic<int> received{0};
    paltest::CurrentReaction() = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message >= WM_USER && ++received == kSenders * kEach) {
            PostQuitMessage(0);
        }
        return std::nullopt;
    };
    WindowThread worker(windowClass, [](HWND) { Pump(); });
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&, s] {
            for (int i = 0; i < kEach; ++i) {
                EXPECT_TRUE(PostMessageA(worker.Window(), WM_USER + s, i, 0));
            }
        });
    }
    for (auto& sender : senders) {
        sender.join();
    }
    worker.Join();
    std::vector<int> next(kSenders, 0);
    for (const auto& seen : Log().All()) {
        if (seen.message < WM_USER) {
            continue;  // its creation
        }
        int s = static_cast<int>(seen.message - WM_USER);
        ASSERT_GE(s, 0);
        ASSERT_LT(s, kSenders);
        EXPECT_EQ(seen.wParam, static_cast<WPARAM>(next[s]++));
        EXPECT_EQ(seen.thread, worker.Id());
    }
    EXPECT_EQ(next, std::vector<int>(kSenders, kEach));
}

TEST_F(WindowTest, AThreadsWindowsEndWithIt) {
    TestClass windowClass;
    std::string title = "Ends with its thread";
    HWND hwnd = nullptr;
    {
        WindowThread worker(
            windowClass, [](HWND) {}, 0, nullptr);  // top-level, then returns
        hwnd = worker.Window();
        ASSERT_NE(hwnd, nullptr);
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(FindWindowA(windowClass.Name(), nullptr), nullptr);
    SetLastError(0);
    EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    // The class has no window left.
    EXPECT_TRUE(UnregisterClassA(windowClass.Name(), GetModuleHandleA(nullptr)));
}

}  // namespace
