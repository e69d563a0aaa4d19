// A player engine library for the player-core stub's tests: its core appends each call of Init
// and UnInit, and the library its own unloading, as lines to the file that
// SERVICE_TEST_ENGINE_LOG names, so a test sees the stub's order and that it freed the library.
#include <cstdio>
#include <cstdlib>

#include "idle_player_core.h"

namespace {

void Log(const char* line) {
    const char* path = std::getenv("SERVICE_TEST_ENGINE_LOG");
    if (!path) {
        return;
    }
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\n", line);
        std::fclose(file);
    }
}

class LoggingCore final : public brtest::IdlePlayerCore {
public:
    int Init(IMediaCallback* receiver, int a, int b, int c) override {
        Log(receiver && a == 0 && b == 0 && c == 0 ? "Init(receiver,0,0,0)" : "Init(other)");
        return 0;
    }
    void UnInit() override { Log("UnInit"); }
};

LoggingCore g_core;

__attribute__((destructor)) void Unloaded() {
    Log("unloaded");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) IPlayerCore* GetPlayerCore() {
    return &g_core;
}
