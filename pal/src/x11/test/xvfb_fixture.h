// For the X11 tests: an Xvfb of their own on a free display number (it picks one and says which
// through -displayfd), waited for with a deadline, ended with the test or when killed.
#pragma once

#include <sys/types.h>

#include <string>

namespace paltest {

class Xvfb {
public:
    // Starts the server and waits for its display number; Running() tells whether it came.
    Xvfb();
    // Ends the server when it still runs.
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    // The path of the Xvfb program; empty when it is not installed.
    static std::string Program();

    bool Running() const { return pid_ > 0 && !name_.empty(); }
    const std::string& Name() const { return name_; }  // ":N"
    // Kills the server (SIGKILL) and waits for it to end.
    void Kill();

private:
    pid_t pid_ = -1;
    std::string name_;
};

// The display of this test program, started at the first call and ended with the program: the
// backend is chosen once per process, so DISPLAY names it and PAL_DISPLAY forces X11 before the
// first window. Null, with the reason in *why, when no server could be started.
Xvfb* ProgramDisplay(std::string* why);

}  // namespace paltest

// Skips the test when Xvfb is not installed; fails it when Xvfb is there but does not start.
#define REQUIRE_XVFB()                              \
    do {                                            \
        std::string why_;                           \
        if (!paltest::ProgramDisplay(&why_)) {      \
            if (paltest::Xvfb::Program().empty()) { \
                GTEST_SKIP() << why_;               \
            }                                       \
            FAIL() << why_;                         \
        }                                           \
    } while (0)
