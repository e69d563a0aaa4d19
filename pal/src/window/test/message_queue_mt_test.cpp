#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "test/kernel_test_util.h"
#include "windows.h"

namespace {

void MakeOwnQueue() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

// Drains the calling thread's queue with the filter; returns the message numbers taken.
std::vector<UINT> TakeAll(UINT min, UINT max) {
    std::vector<UINT> taken;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, min, max, PM_REMOVE)) {
        taken.push_back(msg.message);
    }
    return taken;
}

// The test thread's own queue, made and empty for the test and emptied after it, so that tests
// run in one process do not see each other's messages or quit state.
class OwnQueue {
public:
    OwnQueue() {
        MakeOwnQueue();
        TakeAll(0, 0);
    }
    ~OwnQueue() { TakeAll(0, 0); }
};

TEST(PostThreadMessageA, FailsForAThreadWithoutQueue) {
    HANDLE peek = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE peeked = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<DWORD> id{0};
    std::thread worker([&] {
        id = GetCurrentThreadId();
        WaitForSingleObject(peek, INFINITE);
        MakeOwnQueue();
        SetEvent(peeked);
        MSG msg;
        GetMessageA(&msg, nullptr, 0, 0);
    });
    ASSERT_TRUE(paltest::Eventually([&] { return id != 0; }));
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageA(id, WM_USER, 0, 0));  // not made yet
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    SetEvent(peek);
    WaitForSingleObject(peeked, INFINITE);
    EXPECT_TRUE(PostThreadMessageA(id, WM_USER, 0, 0));
    worker.join();
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageA(id, WM_USER, 0, 0));  // ended
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);

    for (DWORD unknown : {0u, 0xFFFFFFF0u}) {
        SetLastError(0);
        EXPECT_FALSE(PostThreadMessageA(unknown, WM_USER, 0, 0));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    }
    CloseHandle(peek);
    CloseHandle(peeked);
}

unsigned __stdcall PeekAndReturn(void*) {
    MakeOwnQueue();
    return 0;
}

TEST(PostThreadMessageA, FailsOnceAThreadOfBeginThreadExHasEnded) {
    unsigned id = 0;
    HANDLE thread =
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &PeekAndReturn, nullptr, 0, &id));
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageA(id, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    CloseHandle(thread);
}

TEST(GetMessageA, DeliversInPostingOrderWithTheMessageFields) {
    OwnQueue queue;
    DWORD before = GetTickCount();
    for (UINT i = 0; i < 50; ++i) {
        ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_USER + i, i, -LPARAM(i)));
    }
    DWORD after = GetTickCount();
    for (UINT i = 0; i < 50; ++i) {
        MSG msg;
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
        EXPECT_EQ(msg.hwnd, nullptr);
        EXPECT_EQ(msg.message, WM_USER + i);
        EXPECT_EQ(msg.wParam, i);
        EXPECT_EQ(msg.lParam, -LPARAM(i));
        EXPECT_LE(msg.time - before, after - before);
    }
    EXPECT_TRUE(TakeAll(0, 0).empty());
}

TEST(GetMessageA, WaitsForMessagesFromOtherThreadsInTheirOrder) {
    HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::vector<WPARAM> received;
    unsigned id = 0;
    struct Context {
        HANDLE ready;
        std::vector<WPARAM>* received;
    } context{ready, &received};
    HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(
        nullptr, 0,
        [](void* argument) -> unsigned {
            auto* c = static_cast<Context*>(argument);
            MakeOwnQueue();
            SetEvent(c->ready);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                c->received->push_back(msg.wParam);
            }
            return static_cast<unsigned>(msg.wParam);
        },
        &context, 0, &id));
    ASSERT_EQ(WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
    const WPARAM count = 3000;
    for (WPARAM i = 0; i < count; ++i) {
        ASSERT_TRUE(PostThreadMessageA(id, WM_USER + 1, i, 0));
        if (i % 500 == 0) {
            Sleep(5);  // let the worker run dry and block in between
        }
    }
    ASSERT_TRUE(PostThreadMessageA(id, WM_QUIT, 17, 0));
    ASSERT_EQ(WaitForSingleObject(worker, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(worker, &code);
    EXPECT_EQ(code, 17u);  // a posted WM_QUIT also ends the loop with its wParam
    ASSERT_EQ(received.size(), count);
    for (WPARAM i = 0; i < count; ++i) {
        ASSERT_EQ(received[i], i);
    }
    CloseHandle(worker);
    CloseHandle(ready);
}

TEST(GetMessageA, FirstCallMakesTheQueue) {
    std::atomic<DWORD> id{0};
    std::atomic<UINT> got{0};
    std::thread worker([&] {
        id = GetCurrentThreadId();
        MSG msg;
        if (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            got = msg.message;
        }
    });
    ASSERT_TRUE(paltest::Eventually([&] { return id != 0; }));
    EXPECT_TRUE(paltest::Eventually([&] { return PostThreadMessageA(id, WM_USER + 9, 0, 0); }));
    worker.join();
    EXPECT_EQ(got.load(), WM_USER + 9);
}

TEST(PostQuitMessage, ComesAfterThePostedMessages) {
    OwnQueue queue;
    DWORD self = GetCurrentThreadId();
    PostThreadMessageA(self, WM_USER + 1, 0, 0);
    PostThreadMessageA(self, WM_USER + 2, 0, 0);
    PostQuitMessage(7);
    PostThreadMessageA(self, WM_USER + 3, 0, 0);  // also before the quit, as on Windows
    MSG msg;
    for (UINT expected : {WM_USER + 1, WM_USER + 2, WM_USER + 3}) {
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
        EXPECT_EQ(msg.message, expected);
    }
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // taken once only
}

TEST(PostQuitMessage, PeekWithoutRemoveLeavesItAndAFilterDoesNotHideIt) {
    OwnQueue queue;
    PostQuitMessage(-2);
    MSG msg;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE));
        EXPECT_EQ(msg.message, WM_QUIT);
        EXPECT_EQ(static_cast<int>(msg.wParam), -2);
    }
    EXPECT_EQ(GetMessageA(&msg, nullptr, WM_USER + 5, WM_USER + 6), 0);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST(GetMessageA, FiltersByRangeAndKeepsTheRest) {
    OwnQueue queue;
    const UINT queued[] = {WM_USER + 1, WM_USER + 5, 0x0100, WM_USER + 3, WM_NULL};
    const struct {
        UINT min, max;
        std::vector<UINT> taken;
        std::vector<UINT> left;
    } cases[] = {
        {0, 0, {WM_USER + 1, WM_USER + 5, 0x0100, WM_USER + 3, WM_NULL}, {}},
        {WM_USER + 2, WM_USER + 5, {WM_USER + 5, WM_USER + 3}, {WM_USER + 1, 0x0100, WM_NULL}},
        {WM_USER + 3, WM_USER + 3, {WM_USER + 3}, {WM_USER + 1, WM_USER + 5, 0x0100, WM_NULL}},
        {0, 0x0100, {0x0100, WM_NULL}, {WM_USER + 1, WM_USER + 5, WM_USER + 3}},
        {WM_USER + 5, WM_USER + 1, {}, {WM_USER + 1, WM_USER + 5, 0x0100, WM_USER + 3, WM_NULL}},
        {WM_USER + 100, 0xFFFFFFFFu, {}, {WM_USER + 1, WM_USER + 5, 0x0100, WM_USER + 3, WM_NULL}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.min << "-" << c.max);
        for (UINT message : queued) {
            ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), message, 0, 0));
        }
        EXPECT_EQ(TakeAll(c.min, c.max), c.taken);
        EXPECT_EQ(TakeAll(0, 0), c.left);
    }
}

TEST(GetMessageA, WithAFilterWaitsPastMessagesThatDoNotMatch) {
    OwnQueue queue;
    DWORD self = GetCurrentThreadId();
    PostThreadMessageA(self, WM_USER + 1, 0, 0);
    std::thread poster([self] {
        Sleep(50);
        PostThreadMessageA(self, WM_USER + 2, 0, 0);
    });
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2), 1);
    EXPECT_EQ(msg.message, WM_USER + 2);
    poster.join();
    EXPECT_EQ(TakeAll(0, 0), std::vector<UINT>{WM_USER + 1});
}

TEST(PeekMessageA, NoRemoveLeavesTheMessage) {
    OwnQueue queue;
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 4, 1, 2);
    for (UINT flags : {PM_NOREMOVE, PM_NOREMOVE | PM_NOYIELD, PM_REMOVE}) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, flags));
        EXPECT_EQ(msg.message, WM_USER + 4);
        EXPECT_EQ(msg.wParam, 1u);
        EXPECT_EQ(msg.lParam, 2);
    }
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(GetMessageA, WindowFilterAndBadArguments) {
    OwnQueue queue;
    PostThreadMessageA(GetCurrentThreadId(), WM_USER, 0, 0);
    MSG msg;
    const HWND threadOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
    EXPECT_TRUE(PeekMessageA(&msg, threadOnly, 0, 0, PM_NOREMOVE));

    const HWND noWindow = reinterpret_cast<HWND>(0x1234);
    SetLastError(0);
    EXPECT_EQ(GetMessageA(&msg, noWindow, 0, 0), -1);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0);
    EXPECT_FALSE(PeekMessageA(&msg, noWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    SetLastError(0);
    EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    EXPECT_EQ(GetMessageA(&msg, threadOnly, 0, 0), 1);  // the message is still there
    EXPECT_EQ(msg.message, WM_USER);
}

TEST(PostThreadMessageA, RefusesPostsBeyondTheQueueLimit) {
    OwnQueue queue;
    DWORD self = GetCurrentThreadId();
    for (int i = 0; i < 10000; ++i) {
        ASSERT_TRUE(PostThreadMessageA(self, WM_USER, i, 0)) << i;
    }
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageA(self, WM_USER, 10000, 0));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_QUOTA);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_TRUE(PostThreadMessageA(self, WM_USER, 10001, 0));
}

TEST(TerminateThread, QueueOfTheThreadGoesAndItsGetMessageNeverReturns) {
    HANDLE ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    struct Context {
        HANDLE ready;
        std::atomic<bool> returned{false};
    } context{ready};
    unsigned id = 0;
    HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(
        nullptr, 0,
        [](void* argument) -> unsigned {
            auto* c = static_cast<Context*>(argument);
            MakeOwnQueue();
            SetEvent(c->ready);
            MSG msg;
            GetMessageA(&msg, nullptr, 0, 0);
            c->returned = true;
            return 0;
        },
        &context, 0, &id));
    ASSERT_EQ(WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
    paltest::Settle();  // blocked in GetMessageA
    EXPECT_TRUE(TerminateThread(worker, 0));
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageA(id, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    paltest::Settle();
    EXPECT_FALSE(context.returned);
    CloseHandle(worker);
    CloseHandle(ready);
}

}  // namespace
