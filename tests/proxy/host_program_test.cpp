// The README's main job: the host program brmusic, run in a fresh runtime root as a newcomer
// runs it, plays the demo track end to end and exits 0, leaving no service behind.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "road_support.h"

extern char** environ;

namespace roadtest {
namespace {

// Runs the program to its end (at most timeoutMs); its output, and its exit status in *status.
// The end is the program's exit, not the end of its output: the service it starts inherits
// the output too.
std::string RunProgram(const std::string& path, int timeoutMs, int* status) {
    *status = -1;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        return "";
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string output;
    const auto readSome = [&](int waitMs) {
        pollfd p = {out[0], POLLIN, 0};
        char buffer[4096];
        ssize_t n = 0;
        while (poll(&p, 1, waitMs) > 0 && (n = read(out[0], buffer, sizeof buffer)) > 0) {
            output.append(buffer, static_cast<size_t>(n));
            waitMs = 0;
        }
    };
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool ended = spawned != 0;
    while (!ended) {
        readSome(100);
        ended = waitpid(pid, status, WNOHANG) == pid;
        if (!ended && Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            ended = true;
        }
    }
    readSome(0);
    close(out[0]);
    return output;
}

TEST_F(RoadTest, HostProgramPlaysTheDemoTrackToTheEnd) {
    int status = -1;
    const std::string output = RunProgram(BR_BIN_DIR "/brmusic", 40000, &status);
    ASSERT_TRUE(WIFEXITED(status)) << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;

    // Every step in order, each notification as it came.
    const char* const steps[] = {"initialising the proxy",
                                 "service running",
                                 "opening ",
                                 "duration 6.00 s",
                                 "play",
                                 "notification NotifyPlayStart",
                                 "pause",
                                 "notification NotifyPlayPause(1)",
                                 "resume",
                                 "notification NotifyPlayResume",
                                 "seek to 4.00 s",
                                 "notification NotifyPlayEnd",
                                 "stopping the service",
                                 "done"};
    size_t at = 0;
    for (const char* step : steps) {
        const size_t found = output.find(std::string("] ") + step, at);
        ASSERT_NE(found, std::string::npos) << "missing after offset " << at << ": " << step << "\n"
                                            << output;
        at = found + 1;
    }
    int positions = 0;
    for (size_t p = output.find("] position "); p != std::string::npos;
         p = output.find("] position ", p + 1)) {
        ++positions;
    }
    EXPECT_GE(positions, 5) << output;
    EXPECT_EQ(output.find("FAILED"), std::string::npos) << output;
    EXPECT_TRUE(WaitForNoService());
}

}  // namespace
}  // namespace roadtest
