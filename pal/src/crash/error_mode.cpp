// SetErrorMode. Differs from Windows: the layer shows no system dialogs, so the mode changes
// nothing but is kept and reported back.
#include <atomic>

#include "windows.h"

namespace {
std::atomic<UINT> g_errorMode{0};
}

// Differs from Windows: kept and returned; it changes nothing.
UINT SetErrorMode(UINT uMode) {
    return g_errorMode.exchange(uMode);
}
