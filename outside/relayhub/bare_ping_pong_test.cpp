#include "bare_ping_pong.h"

#include <gtest/gtest.h>

#include <future>

#include "test_root.h"

TEST(BarePingPong, ServesEveryRoundTripUntilTheClientCloses) {
    brtest::ScopedTestRoot root;
    std::string path = root.Runtime() + "/bare.sock";
    int listenFd = relayhubtest::Listen(path);
    ASSERT_GE(listenFd, 0);
    auto served =
        std::async(std::launch::async, [listenFd] { return relayhubtest::Serve(listenFd); });
    int fd = relayhubtest::Connect(path);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(relayhubtest::RoundTrip(fd));
    }
    close(fd);
    EXPECT_EQ(served.get(), 100);
    close(listenFd);
}
