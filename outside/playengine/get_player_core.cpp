// The library's one export: the engine, created on first use and destroyed when the library
// is unloaded (or the process ends).
#include "play_engine.h"

extern "C" __attribute__((visibility("default"))) IPlayerCore* GetPlayerCore() {
    static CPlayEngine engine;
    return &engine;
}

// The export must fit the type the loader casts it to.
static_assert(std::is_same_v<decltype(&GetPlayerCore), GetPlayerCoreFunc>);
