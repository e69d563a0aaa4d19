// Window handle values. A handle carries its process id in the high 32 bits, so it names one
// window among all the processes of a runtime root; the low 32 bits count up from a random
// start per process and are never 0, so handles are not reused within a process and a handle
// of an ended process is unlikely to name a window of a later process with the same id.
#pragma once

#include <sys/types.h>

#include "windows.h"

namespace pal {

HWND NewWindowHandle();
// The process id a handle carries (0 for NULL and the special values).
pid_t ProcessOfWindow(HWND hwnd);
bool IsOwnProcessWindow(HWND hwnd);

inline uint64_t WindowValue(HWND hwnd) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(hwnd));
}
inline HWND WindowFromValue(uint64_t value) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

}  // namespace pal
