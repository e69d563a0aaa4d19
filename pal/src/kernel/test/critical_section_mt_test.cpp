#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "test/kernel_test_util.h"
#include "windows.h"

namespace {

class CriticalSectionTest : public testing::Test {
protected:
    void SetUp() override { InitializeCriticalSection(&section_); }
    void TearDown() override { DeleteCriticalSection(&section_); }

    // Whether another thread could take the section right now (and gives it back).
    bool FreeForOthers() {
        BOOL took = FALSE;
        std::thread([&] {
            took = TryEnterCriticalSection(&section_);
            if (took) {
                LeaveCriticalSection(&section_);
            }
        }).join();
        return took;
    }

    CRITICAL_SECTION section_;
};

TEST_F(CriticalSectionTest, IsRecursiveAndFreedByTheLastLeave) {
    EnterCriticalSection(&section_);
    EnterCriticalSection(&section_);
    EXPECT_TRUE(TryEnterCriticalSection(&section_));
    EXPECT_FALSE(FreeForOthers());
    LeaveCriticalSection(&section_);
    LeaveCriticalSection(&section_);
    EXPECT_FALSE(FreeForOthers());
    LeaveCriticalSection(&section_);
    EXPECT_TRUE(FreeForOthers());
}

TEST_F(CriticalSectionTest, EnterWaitsForTheHolder) {
    std::atomic<bool> entered{false};
    EnterCriticalSection(&section_);
    std::thread other([&] {
        EnterCriticalSection(&section_);
        entered = true;
        LeaveCriticalSection(&section_);
    });
    paltest::Settle();
    EXPECT_FALSE(entered);
    LeaveCriticalSection(&section_);
    other.join();
    EXPECT_TRUE(entered);
}

TEST_F(CriticalSectionTest, ExcludesOtherThreads) {
    long counter = 0;  // deliberately not atomic: only the section protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                EnterCriticalSection(&section_);
                EnterCriticalSection(&section_);
                long seen = counter;
                counter = seen + 1;
                LeaveCriticalSection(&section_);
                LeaveCriticalSection(&section_);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 4 * 20000);
}

TEST_F(CriticalSectionTest, LeaveByAThreadThatDoesNotHoldItChangesNothing) {
    EnterCriticalSection(&section_);
    std::thread([&] { LeaveCriticalSection(&section_); }).join();
    EXPECT_FALSE(FreeForOthers());
    LeaveCriticalSection(&section_);
    EXPECT_TRUE(FreeForOthers());
    LeaveCriticalSection(&section_);  // one leave too many from the former holder
    EnterCriticalSection(&section_);
    EXPECT_FALSE(FreeForOthers());
    LeaveCriticalSection(&section_);
}

TEST_F(CriticalSectionTest, CanBeInitialisedAgainAfterDelete) {
    EnterCriticalSection(&section_);
    LeaveCriticalSection(&section_);
    DeleteCriticalSection(&section_);
    InitializeCriticalSection(&section_);
    EXPECT_TRUE(TryEnterCriticalSection(&section_));
    EXPECT_FALSE(FreeForOthers());
    LeaveCriticalSection(&section_);
}

}  // namespace
