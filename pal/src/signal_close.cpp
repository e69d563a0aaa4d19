// SIGINT and SIGTERM close the program in its own order (PalInstallCloseSignals). The handler
// only writes the signal's number to a pipe; a thread of the layer reads it and posts.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "message_queue.h"
#include "window_object.h"

namespace {

int g_signalPipe[2] = {-1, -1};
DWORD g_mainThread = 0;

void OnSignal(int signal) {
    int saved = errno;
    auto byte = static_cast<unsigned char>(signal);
    (void)!write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

// The default action: the process ends by the signal.
void EndBySignal(int signal) {
    struct sigaction dflt {};
    dflt.sa_handler = SIG_DFL;
    sigemptyset(&dflt.sa_mask);
    sigaction(signal, &dflt, nullptr);
    kill(getpid(), signal);
}

void Close(int signal, int count) {
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

void* Watch(void*) {
    int count = 0;
    for (;;) {
        unsigned char byte;
        ssize_t got = read(g_signalPipe[0], &byte, 1);
        if (got == 1) {
            Close(byte, ++count);
        } else if (got == 0 || errno != EINTR) {
            return nullptr;
        }
    }
}

void Install() {
    if (pipe2(g_signalPipe, O_CLOEXEC) != 0) {
        return;
    }
    // The handler must never block on a full pipe.
    fcntl(g_signalPipe[1], F_SETFL, fcntl(g_signalPipe[1], F_GETFL) | O_NONBLOCK);
    g_mainThread = GetCurrentThreadId();
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    int started = pthread_create(&thread, &attr, &Watch, nullptr);
    pthread_attr_destroy(&attr);
    if (started != 0) {
        return;  // the signals keep their default action
    }
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

void PalInstallCloseSignals() {
    static std::once_flag once;
    std::call_once(once, &Install);
}
