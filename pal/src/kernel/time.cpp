// Sleep and the tick count.
#include <time.h>

#include <chrono>
#include <thread>

#include "kernel/thread_self.h"

// Differs from Windows: millisecond resolution on the monotonic clock; a thread disowned by
// TerminateThread stops here for good.
void Sleep(DWORD dwMilliseconds) {
    pal::ParkIfTerminated();
    if (dwMilliseconds == 0) {
        std::this_thread::yield();
    } else if (dwMilliseconds == INFINITE) {
        pal::ParkForever();
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
    }
    pal::ParkIfTerminated();
}

// CLOCK_BOOTTIME: like Windows' tick count it starts at boot and goes on while suspended.
// Differs from Windows: CLOCK_BOOTTIME in milliseconds, without the timer tick.
DWORD GetTickCount() {
    timespec now;
    clock_gettime(CLOCK_BOOTTIME, &now);
    unsigned long long ms = static_cast<unsigned long long>(now.tv_sec) * 1000u +
                            static_cast<unsigned long long>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}
