// IsDebuggerPresent in child processes, with and without a tracer.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include "windows.h"

namespace {

// A child that answers each byte it reads with '1' or '0' for IsDebuggerPresent; with
// traceMe it first asks its parent to trace it ('E' when that fails).
class Child {
public:
    explicit Child(bool traceMe) {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(toChild[1]);
            close(fromChild[0]);
            char ok = 'R';
            if (traceMe && ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) {
                ok = 'E';
            }
            char c;
            while (read(toChild[0], &c, 1) == 1) {
                char answer = ok == 'E' ? 'E' : IsDebuggerPresent() ? '1' : '0';
                if (write(fromChild[1], &answer, 1) != 1) {
                    break;
                }
            }
            _exit(0);
        }
        close(toChild[0]);
        close(fromChild[1]);
        to_ = toChild[1];
        from_ = fromChild[0];
    }

    ~Child() {
        close(to_);  // the child ends at end of input
        close(from_);
        int status = 0;
        if (pid_ > 0) {
            waitpid(pid_, &status, __WALL);
        }
    }

    char Ask() {
        char c = '?';
        if (write(to_, "?", 1) != 1 || read(from_, &c, 1) != 1) {
            return '?';
        }
        return c;
    }

    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int to_ = -1;
    int from_ = -1;
};

TEST(IsDebuggerPresent, FalseWithoutATracer) {
    Child child(false);
    EXPECT_EQ(child.Ask(), '0');
}

TEST(IsDebuggerPresent, TrueWhileTracedFromTheStart) {
    Child child(true);
    char answer = child.Ask();
    if (answer == 'E') {
        GTEST_SKIP() << "this system does not allow ptrace";
    }
    EXPECT_EQ(answer, '1');
}

// Attaching and detaching are seen at the next call.
TEST(IsDebuggerPresent, FollowsAttachAndDetach) {
    Child child(false);
    ASSERT_EQ(child.Ask(), '0');
    if (ptrace(PTRACE_SEIZE, child.Pid(), nullptr, nullptr) != 0) {
        GTEST_SKIP() << "this system does not allow ptrace";
    }
    EXPECT_EQ(child.Ask(), '1');
    ASSERT_EQ(ptrace(PTRACE_INTERRUPT, child.Pid(), nullptr, nullptr), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child.Pid(), &status, __WALL), child.Pid());
    ASSERT_EQ(ptrace(PTRACE_DETACH, child.Pid(), nullptr, nullptr), 0);
    EXPECT_EQ(child.Ask(), '0');
}

}  // namespace
