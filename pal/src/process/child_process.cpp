#include "process/child_process.h"

#include <signal.h>
#include <sys/epoll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <unordered_map>

namespace pal {
namespace {

// The reaper: one thread waiting on the pidfds of all unreaped children.
struct Reaper {
    std::mutex lock;
    std::unordered_map<pid_t, std::shared_ptr<Child>> children;
    int epoll = -1;

    Reaper() {
        epoll = epoll_create1(EPOLL_CLOEXEC);
        std::thread([this] { Run(); }).detach();
    }

    void Run() {
        epoll_event events[16];
        for (;;) {
            int n = epoll_wait(epoll, events, 16, -1);
            if (n < 0) {
                continue;  // EINTR
            }
            for (int i = 0; i < n; ++i) {
                Collect(static_cast<pid_t>(events[i].data.u64));
            }
        }
    }

    void Collect(pid_t pid) {
        std::shared_ptr<Child> child;
        {
            std::lock_guard<std::mutex> guard(lock);
            auto it = children.find(pid);
            if (it == children.end()) {
                return;
            }
            child = it->second;
        }
        if (!child->Reap()) {
            return;
        }
        std::lock_guard<std::mutex> guard(lock);
        epoll_ctl(epoll, EPOLL_CTL_DEL, child->PidFd(), nullptr);
        children.erase(pid);
    }
};

Reaper& TheReaper() {
    static Reaper* reaper = new Reaper;  // lives as long as the process, like its thread
    return *reaper;
}

}  // namespace

Child::Child(pid_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}

Child::~Child() {
    close(pidfd_);
}

bool Child::Reap() {
    std::lock_guard<std::mutex> guard(lock_);
    if (reaped_) {
        return true;
    }
    siginfo_t info{};
    if (waitid(static_cast<idtype_t>(P_PIDFD), static_cast<id_t>(pidfd_), &info,
               WEXITED | WNOHANG) != 0) {
        // ECHILD: something else reaped it (a wait for any child); the status is lost.
        exitCode_ = terminated_ ? terminateCode_ : 0;
    } else if (info.si_pid == 0) {
        return false;  // still running
    } else if (terminated_ && info.si_code == CLD_KILLED && info.si_status == SIGKILL) {
        exitCode_ = terminateCode_;
    } else if (info.si_code == CLD_EXITED) {
        exitCode_ = static_cast<DWORD>(info.si_status);
    } else {
        exitCode_ = 128u + static_cast<DWORD>(info.si_status);
    }
    reaped_ = true;
    return true;
}

DWORD Child::ExitCode() {
    Reap();
    std::lock_guard<std::mutex> guard(lock_);
    return exitCode_;
}

void Child::SetTerminateCode(DWORD code) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!reaped_ && !terminated_) {
        terminated_ = true;
        terminateCode_ = code;
    }
}

void WatchChild(const std::shared_ptr<Child>& child) {
    Reaper& reaper = TheReaper();
    std::lock_guard<std::mutex> guard(reaper.lock);
    reaper.children[child->Pid()] = child;
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = static_cast<uint64_t>(child->Pid());
    epoll_ctl(reaper.epoll, EPOLL_CTL_ADD, child->PidFd(), &event);
}

std::shared_ptr<Child> FindChild(pid_t pid) {
    Reaper& reaper = TheReaper();
    std::lock_guard<std::mutex> guard(reaper.lock);
    auto it = reaper.children.find(pid);
    return it == reaper.children.end() ? nullptr : it->second;
}

}  // namespace pal
