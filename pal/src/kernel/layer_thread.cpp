#include "kernel/layer_thread.h"

#include <pthread.h>
#include <signal.h>

namespace pal {

bool StartLayerThread(void* (*routine)(void*)) {
    // A new thread starts with its creator's signal mask.
    sigset_t quiet, saved;
    sigemptyset(&quiet);
    sigaddset(&quiet, SIGINT);
    sigaddset(&quiet, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &quiet, &saved);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    int error = pthread_create(&thread, &attr, routine, nullptr);
    pthread_attr_destroy(&attr);
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    return error == 0;
}

}  // namespace pal
