// Fuzz support: a fuzz process's service, set up on its first input and torn down at exit: a
// runtime root of its own and the message center registered in it as g_ServiceMsgCenter, so
// replies get real buffers.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            std::fprintf(stderr, "%s: %s failed at line %d\n", __FILE__, #cond, __LINE__); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

namespace servicetest {

// Sets the service up once; `atExit` runs first in the teardown (the fuzz target's own objects).
void StartFuzzService(void (*atExit)());

}  // namespace servicetest
