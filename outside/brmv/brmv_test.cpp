// Starting and stopping the engine: StopP2P with downloads running returns at once, leaves no
// thread of the engine behind and no observer call after it.
#include "brmv.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "swarm_test_server.h"
#include "swarmget.h"
#include "test_observer.h"
#include "test_root.h"
#include "wait_until.h"

using swarmgettest::ObserverCall;
using swarmgettest::RecordingObserver;
using swarmgettest::TestHttpServer;

namespace {

int ThreadCount() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks)) {
            count += entry->d_name[0] != '.';
        }
        closedir(tasks);
    }
    return count;
}

class BrmvTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.Listening()); }
    void TearDown() override { StopP2P(); }

    bool Start(const Sign& sign, const std::string& path) {
        int value1 = 0;
        return StartDown(&sign, server_.Url(path).c_str(), &value1, 0, 3, &observer_, false);
    }

    brtest::ScopedTestRoot root_;
    TestHttpServer server_;
    RecordingObserver observer_;
};

TEST_F(BrmvTest, StopP2PWithDownloadsRunningReturnsPromptlyAndSilencesThem) {
    int threadsBefore = ThreadCount();
    StartP2P();
    const Sign signs[] = {Sign(1, 1), Sign(1, 2), Sign(1, 3)};
    for (const Sign& sign : signs) {
        ASSERT_TRUE(Start(sign, "/drip"));
    }
    for (const Sign& sign : signs) {
        ASSERT_TRUE(observer_.WaitFor(4, &sign));
    }
    std::atomic<bool> stopped{false};
    std::atomic<int> late{0};
    observer_.SetHook([&](const ObserverCall&) { late += stopped.load(); });

    auto begin = std::chrono::steady_clock::now();
    StopP2P();
    auto took = std::chrono::steady_clock::now() - begin;
    stopped = true;
    EXPECT_LT(took, std::chrono::milliseconds(500)) << "the transfers end when told, not later";
    EXPECT_EQ(ThreadCount(), threadsBefore) << "every thread of the engine is joined";

    size_t seen = observer_.Calls().size();
    EXPECT_TRUE(brtest::NothingFor(std::chrono::milliseconds(300), [&] {
        return observer_.Calls().size() != seen || late.load() != 0;
    }));
    EXPECT_EQ(late.load(), 0);
    for (const ObserverCall& call : observer_.Calls()) {
        EXPECT_TRUE(call.slot == 1 || call.slot == 4) << "no end report for a stop: " << call.slot;
    }
}

TEST_F(BrmvTest, StartDownNeedsAStartedEngine) {
    const Sign sign(2, 1);
    EXPECT_FALSE(Start(sign, "/file/100"));
    StartP2P();
    StartP2P();  // again: nothing changes
    ASSERT_TRUE(Start(sign, "/file/100"));
    ASSERT_TRUE(observer_.WaitFor(2));
    StopP2P();
    EXPECT_FALSE(Start(sign, "/file/100"));
    StopP2P();  // again: nothing to do

    // Started again, it downloads again.
    StartP2P();
    const Sign next(2, 2);
    ASSERT_TRUE(Start(next, "/file/100"));
    ASSERT_TRUE(observer_.WaitFor(2, &next));
}

TEST_F(BrmvTest, StopP2PFromInsideAnObserverCallReturns) {
    StartP2P();
    std::atomic<int> calls{0};
    observer_.SetHook([&](const ObserverCall&) {
        if (calls++ == 0) {
            StopP2P();
        }
    });
    const Sign sign(3, 1);
    ASSERT_TRUE(Start(sign, "/drip"));
    ASSERT_TRUE(observer_.WaitFor(1));
    // The call is recorded before the hook runs: wait for the hook, then watch for a second one.
    ASSERT_TRUE(brtest::WaitUntil([&] { return calls.load() >= 1; }));
    EXPECT_TRUE(
        brtest::NothingFor(std::chrono::milliseconds(300), [&] { return calls.load() != 1; }));
    EXPECT_EQ(calls.load(), 1);
    EXPECT_FALSE(Start(Sign(3, 2), "/file/100"));
}

}  // namespace
