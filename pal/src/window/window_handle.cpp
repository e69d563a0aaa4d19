#include "window/window_handle.h"

#include <unistd.h>

#include <atomic>
#include <random>

namespace pal {
namespace {

std::atomic<uint32_t>& LowPart() {
    static std::atomic<uint32_t> low{static_cast<uint32_t>(std::random_device()())};
    return low;
}

}  // namespace

HWND NewWindowHandle() {
    uint32_t low;
    do {
        low = ++LowPart();
    } while (low == 0);
    return WindowFromValue(static_cast<uint64_t>(getpid()) << 32 | low);
}

pid_t ProcessOfWindow(HWND hwnd) {
    uint64_t high = WindowValue(hwnd) >> 32;
    // Process ids are positive and below 2^22; anything else (NULL, (HWND)-1, HWND_MESSAGE) is
    // no window handle.
    return high > 0 && high < (1u << 30) ? static_cast<pid_t>(high) : 0;
}

bool IsOwnProcessWindow(HWND hwnd) {
    return ProcessOfWindow(hwnd) == getpid();
}

}  // namespace pal
