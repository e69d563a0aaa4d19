// CDebugLog from several threads at once, through the logging helper: the threads' first calls
// race for the level read and the open, and every line must come out whole and in its thread's
// order.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "debug_log_test_support.h"

namespace {

using logtest::LogInstall;

constexpr int kThreads = 8;
constexpr int kLines = 400;

TEST(DebugLogThreads, LinesAreWholeAndInOrderPerThread) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("debug"));
    install.MakeLogFolder();
    const std::string padding(300, 'p');
    for (int run = 0; run < 3; ++run) {
        ASSERT_EQ(
            install.Run({"threads=" + std::to_string(kThreads) + "," + std::to_string(kLines)}), 0);
        std::istringstream file(brtest::ReadFile(install.LogFile()));
        std::map<int, int> next;  // thread -> its next line number
        std::string line;
        int count = 0;
        while (std::getline(file, line)) {
            int thread = -1;
            int number = -1;
            int consumed = 0;
            ASSERT_EQ(std::sscanf(line.c_str(), "t%d %d %n", &thread, &number, &consumed), 2)
                << line;
            ASSERT_EQ(line.substr(consumed), padding) << line;
            ASSERT_EQ(number, next[thread]) << "thread " << thread;
            next[thread] = number + 1;
            ++count;
        }
        EXPECT_EQ(count, kThreads * kLines);
        EXPECT_EQ(next.size(), static_cast<size_t>(kThreads));
    }
}

TEST(DebugLogThreads, OffFromSeveralThreadsWritesNothing) {
    LogInstall install;
    ASSERT_TRUE(install.SetLevel("info"));
    install.MakeLogFolder();
    ASSERT_EQ(install.Run({"threads=" + std::to_string(kThreads) + "," + std::to_string(kLines)}),
              0);
    EXPECT_TRUE(LogInstall::Entries(install.Work() + "/log").empty());
}

}  // namespace
