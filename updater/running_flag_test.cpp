// The single-instance flag across processes: of instances that start at the same instant
// exactly one finds it clear, and it is clear again once they have all ended.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "test_root.h"

extern char** environ;

namespace {

std::string WaitAndRead(const std::string& path) {
    for (int i = 0; i < 2000; ++i) {
        std::string text = brtest::ReadFile(path);
        if (!text.empty()) {
            return text;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return "";
}

class RunningFlagTest : public ::testing::Test {
protected:
    pid_t Start(const std::string& out) {
        std::string helper = BR_TEST_BIN_DIR "/running_flag_helper";
        std::vector<std::string> args = {helper, go_, out, end_};
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, helper.c_str(), nullptr, nullptr, argv.data(), environ), 0);
        pids_.push_back(pid);
        return pid;
    }
    void EndAll() {
        brtest::WriteFile(end_, "end");
        for (pid_t pid : pids_) {
            int status = 0;
            waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        pids_.clear();
        std::remove(end_.c_str());
    }
    void TearDown() override { EndAll(); }

    brtest::ScopedTestRoot root_;
    std::string go_ = root_.Path() + "/go";
    std::string end_ = root_.Path() + "/end";
    std::vector<pid_t> pids_;
};

TEST_F(RunningFlagTest, ExactlyOneOfInstancesStartedTogetherPasses) {
    for (int round = 0; round < 3; ++round) {
        std::remove(go_.c_str());
        std::vector<std::string> outs;
        for (int i = 0; i < 8; ++i) {
            outs.push_back(root_.Path() + "/out" + std::to_string(round) + "_" + std::to_string(i));
            Start(outs.back());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        brtest::WriteFile(go_, "go");
        int clear = 0;
        for (const auto& out : outs) {
            std::string result = WaitAndRead(out);
            ASSERT_TRUE(result == "set" || result == "clear") << out;
            clear += result == "clear";
        }
        EXPECT_EQ(clear, 1) << "round " << round;
        EndAll();  // all have ended: the next round finds the flag clear again
    }
}

TEST_F(RunningFlagTest, AKilledInstanceLeavesNoFlag) {
    brtest::WriteFile(go_, "go");
    pid_t first = Start(root_.Path() + "/first");
    ASSERT_EQ(WaitAndRead(root_.Path() + "/first"), "clear");
    kill(first, SIGKILL);
    waitpid(first, nullptr, 0);
    pids_.clear();
    Start(root_.Path() + "/second");
    EXPECT_EQ(WaitAndRead(root_.Path() + "/second"), "clear");
}

}  // namespace
