// Several writers on one profile file, and a writer killed in the middle of its writes.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ini/ini_document.h"
#include "test_root.h"
#include "windows.h"

extern char** environ;

namespace {

const std::string kHelper = BR_TEST_BIN_DIR "/pal_ini_writer_helper";

pid_t Spawn(std::vector<std::string> args) {
    args.insert(args.begin(), kHelper);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, kHelper.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

int WaitExit(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string Value(const std::string& file, const char* section, const std::string& key) {
    char value[256];
    GetPrivateProfileStringA(section, key.c_str(), "<missing>", value, sizeof(value), file.c_str());
    return value;
}

// Threads and processes writing different keys of one file lose none of them, and a reader
// never sees the file half written.
TEST(IniConcurrent, WritersOfThreadsAndProcessesLoseNothing) {
    brtest::ScopedTestRoot root;
    const std::string file = root.AppData() + "/Config.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Update", "Version", "stable", file.c_str()));
    const int kThreads = 4;
    const int kProcesses = 2;
    const int kKeys = 30;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(
            Spawn({"keys", file, "Keys", "p" + std::to_string(p) + "_", std::to_string(kKeys)}));
        ASSERT_GT(children.back(), 0);
    }
    std::atomic<bool> writing{true};
    std::atomic<int> badReads{0};
    std::thread reader([&] {
        while (writing) {
            if (Value(file, "Update", "Version") != "stable") {
                ++badReads;
            }
        }
    });
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kKeys; ++i) {
                std::string key = "t" + std::to_string(t) + "_" + std::to_string(i);
                if (!WritePrivateProfileStringA("Keys", key.c_str(), std::to_string(i).c_str(),
                                                file.c_str())) {
                    ++failures;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (pid_t child : children) {
        EXPECT_EQ(WaitExit(child), 0);
    }
    writing = false;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(badReads, 0);
    for (int i = 0; i < kKeys; ++i) {
        for (int t = 0; t < kThreads; ++t) {
            EXPECT_EQ(Value(file, "Keys", "t" + std::to_string(t) + "_" + std::to_string(i)),
                      std::to_string(i));
        }
        for (int p = 0; p < kProcesses; ++p) {
            EXPECT_EQ(Value(file, "Keys", "p" + std::to_string(p) + "_" + std::to_string(i)),
                      std::to_string(i));
        }
    }
}

// A writer killed at any moment leaves the file either as it was or as one whole write made it.
TEST(IniConcurrent, KilledWriterNeverLeavesADamagedFile) {
    brtest::ScopedTestRoot root;
    const std::string file = root.AppData() + "/Config.ini";
    // A long value makes writing the bytes most of each write's time.
    const std::string base = "; the writer's target\r\n[Update]\r\nchurn=start\r\n[Big]\r\nblob=" +
                             std::string(4 << 20, 'x') + "\r\n[Tail]\r\nlast=1";
    ASSERT_TRUE(brtest::WriteFile(file, base));
    const std::string whole[] = {
        base,
        pal::ini::SetValue(base, "Update", "churn", std::string(1000, 'a')),
        pal::ini::SetValue(base, "Update", "churn", std::string(1000, 'b')),
    };
    // How long one start and one whole write take here (sanitizers make it much slower), so
    // that the kills fall before, during and after writes.
    const std::string probe = root.AppData() + "/Probe.ini";
    ASSERT_TRUE(brtest::WriteFile(probe, base));
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(WaitExit(Spawn({"keys", probe, "Update", "churn", "1"})), 0);
    const auto once = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    std::mt19937 random(7);
    int changed = 0;
    for (int round = 0; round < 40; ++round) {
        pid_t child = Spawn({"churn", file, "Update", "churn"});
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(once / 4 + random() % (2 * once)));
        kill(child, SIGKILL);
        EXPECT_EQ(WaitExit(child), 128 + SIGKILL);
        std::string now = brtest::ReadFile(file);
        bool isWhole = now == whole[0] || now == whole[1] || now == whole[2];
        ASSERT_TRUE(isWhole) << "round " << round << ", " << now.size() << " bytes";
        changed += now != whole[0];
    }
    EXPECT_GT(changed, 0) << "the writer never got a write through";
    // The next write clears what the killed writers left beside the file.
    ASSERT_TRUE(WritePrivateProfileStringA("Update", "churn", "end", file.c_str()));
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((root.AppData() + "/.Config.ini.new-*").c_str(), &data);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
