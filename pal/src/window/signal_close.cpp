// SIGINT and SIGTERM close the program in its own order (PalInstallCloseSignals).
//
// The installing thread blocks both signals, so do the threads it starts later (they inherit its
// mask; the layer starts child processes with a clean one): the kernel keeps such a signal for
// the process, and a thread of the layer takes it from a signalfd. A thread that already ran and
// does not block them gets them through a handler that only writes the number to a pipe, which
// the same thread reads. Nothing is posted from a signal handler.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "kernel/layer_thread.h"
#include "window/message_queue.h"
#include "window/window_object.h"

namespace {

int g_signalFd = -1;
int g_pipe[2] = {-1, -1};
DWORD g_mainThread = 0;

sigset_t CloseSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

void OnSignal(int signal) {
    int saved = errno;
    auto byte = static_cast<unsigned char>(signal);
    (void)!write(g_pipe[1], &byte, 1);
    errno = saved;
}

// The default action: the process ends by the signal.
void EndBySignal(int signal) {
    struct sigaction dflt {};
    dflt.sa_handler = SIG_DFL;
    sigemptyset(&dflt.sa_mask);
    sigaction(signal, &dflt, nullptr);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    raise(signal);
}

void AskToClose(int signal, int count) {
    if (count == 1) {
        if (auto main = pal::OldestTopLevelWindowOf(g_mainThread)) {
            if (main->Post(WM_CLOSE, 0, 0) == pal::MessageQueue::PostResult::kPosted) {
                return;
            }
        }
        if (auto queue = pal::FindThreadQueue(g_mainThread)) {
            queue->PostQuit(0);
            return;
        }
    }
    EndBySignal(signal);  // nothing would read the request, or it is asked again
}

// The next signal from either source; 0 when neither can be read any more.
int NextSignal() {
    for (;;) {
        pollfd ready[2] = {{g_signalFd, POLLIN, 0}, {g_pipe[0], POLLIN, 0}};
        if (poll(ready, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return 0;
        }
        if (ready[0].revents & POLLIN) {
            signalfd_siginfo info;
            if (read(g_signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                return static_cast<int>(info.ssi_signo);
            }
        }
        if (ready[1].revents & POLLIN) {
            unsigned char byte;
            if (read(g_pipe[0], &byte, 1) == 1) {
                return byte;
            }
        }
        if ((ready[0].revents | ready[1].revents) & (POLLERR | POLLNVAL)) {
            return 0;
        }
    }
}

void* Watch(void*) {
    int count = 0;
    while (int signal = NextSignal()) {
        AskToClose(signal, ++count);
    }
    return nullptr;
}

void Install() {
    sigset_t signals = CloseSignals();
    g_signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
    if (g_signalFd < 0 || pipe2(g_pipe, O_CLOEXEC) != 0) {
        return;  // the signals keep their default action
    }
    // The handler must never block on a full pipe.
    fcntl(g_pipe[1], F_SETFL, fcntl(g_pipe[1], F_GETFL) | O_NONBLOCK);
    g_mainThread = GetCurrentThreadId();
    if (!pal::StartLayerThread(&Watch)) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

}  // namespace

// Differs from Windows: not Win32; SIGINT and SIGTERM close the program through its main window.
void PalInstallCloseSignals() {
    static std::once_flag once;
    std::call_once(once, &Install);
}
