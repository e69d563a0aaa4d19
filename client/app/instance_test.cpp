// The single-instance test: a start while a first instance runs finds it and keeps no mutex; the
// first is unaffected; once the first has ended a new start is a first instance again.
#include <gtest/gtest.h>

#include "instance.h"
#include "peer_process.h"
#include "test_root.h"

namespace {

using brtest::PeerProcess;

TEST(InstanceTest, ASecondStartFindsTheFirstAndAStartAfterItsEndRuns) {
    brtest::ScopedTestRoot root;
    PeerProcess first("client_app_instance_helper");
    ASSERT_TRUE(first.Start({"hold"}));
    EXPECT_EQ(first.ReadLine(), "first mutex");

    PeerProcess second("client_app_instance_helper");
    ASSERT_TRUE(second.Start({}));
    EXPECT_EQ(second.ReadLine(), "another");
    EXPECT_EQ(second.Wait(10000), 0);
    EXPECT_EQ(first.Wait(0), -1) << "the first instance runs on";

    first.CloseInput();
    EXPECT_EQ(first.Wait(10000), 0);
    PeerProcess third("client_app_instance_helper");
    ASSERT_TRUE(third.Start({}));
    EXPECT_EQ(third.ReadLine(), "first mutex");
    EXPECT_EQ(third.Wait(10000), 0);
}

TEST(InstanceTest, TheHandleIsKeptByAFirstInstanceOnly) {
    brtest::ScopedTestRoot root;
    EXPECT_FALSE(IsAnotherInstanceRunning());
    HANDLE held = g_hInstanceMutex;
    EXPECT_NE(held, nullptr);
    EXPECT_TRUE(IsAnotherInstanceRunning()) << "the mutex exists now, also for this process";
    EXPECT_EQ(g_hInstanceMutex, nullptr);
    CloseHandle(held);
    EXPECT_FALSE(IsAnotherInstanceRunning()) << "gone with its last handle";
    CloseHandle(g_hInstanceMutex);
    g_hInstanceMutex = nullptr;
}

TEST(InstanceTest, AnotherRuntimeRootHasItsOwnInstance) {
    HANDLE held;
    {
        brtest::ScopedTestRoot root;
        EXPECT_FALSE(IsAnotherInstanceRunning());
        held = g_hInstanceMutex;
        brtest::ScopedTestRoot other;
        PeerProcess elsewhere("client_app_instance_helper");
        ASSERT_TRUE(elsewhere.Start({}));
        EXPECT_EQ(elsewhere.ReadLine(), "first mutex");
        EXPECT_EQ(elsewhere.Wait(10000), 0);
    }
    CloseHandle(held);
    g_hInstanceMutex = nullptr;
}

}  // namespace
