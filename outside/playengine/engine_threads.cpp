#include "engine_threads.h"

#include "windows.h"

void PrepareEngineThread() {
    // An alternate signal stack, so that a stack overflow here still reaches the process's
    // exception filter and its crash dump.
    PalEnsureCrashStack();
}
