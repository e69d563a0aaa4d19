// A program whose X server goes away ends as the loss of its display ends an X program: at
// once, with a failure status, never hanging on the dead connection.
#include <spawn.h>
#include <sys/wait.h>

#include "x11/test/x11_test_support.h"

extern char** environ;

namespace paltest {
namespace {

TEST(X11LostDisplayTest, KilledServerEndsTheProgramWithoutAHang) {
    REQUIRE_XVFB();
    Xvfb server;  // one of the test's own, to kill
    ASSERT_TRUE(server.Running());
    Display* view = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(view, nullptr);

    setenv("DISPLAY", server.Name().c_str(), 1);
    const std::string helper = std::string(BR_TEST_BIN_DIR) + "/pal_x11_helper";
    const char* argv[] = {helper.c_str(), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, helper.c_str(), nullptr, nullptr,
                                    const_cast<char* const*>(argv), environ);
    std::string why;
    setenv("DISPLAY", ProgramDisplay(&why)->Name().c_str(), 1);
    ASSERT_EQ(spawned, 0);

    // The helper's window is on the server.
    EXPECT_TRUE(brtest::WaitUntil([&] {
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(view, DefaultRootWindow(view), &root, &parent, &children, &count);
        if (children) {
            XFree(children);
        }
        return count > 0;
    }));
    XCloseDisplay(view);

    server.Kill();
    int status = 0;
    const bool ended = brtest::WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(ended) << "the program hung on the lost display";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
}  // namespace paltest
