// A player engine library for the player-core stub's tests: its core appends each call of Init
// and UnInit, and the library its own unloading, as lines to the file that
// SERVICE_TEST_ENGINE_LOG names, so a test sees the stub's order and that it freed the library.
#include <cstdio>
#include <cstdlib>

#include "player_core.h"

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

class LoggingCore final : public IPlayerCore {
public:
    int Init(IMediaCallback* receiver, int a, int b, int c) override {
        Log(receiver && a == 0 && b == 0 && c == 0 ? "Init(receiver,0,0,0)" : "Init(other)");
        return 0;
    }
    void UnInit() override { Log("UnInit"); }
    int Open(PlayRequest*) override { return 0; }
    int Play() override { return 0; }
    int Pause() override { return 0; }
    int Stop() override { return 0; }
    int SetPosition(int) override { return 0; }
    int SetVolume(int) override { return 0; }
    int SetFlag(BYTE) override { return 0; }
    int SetNumberA(int) override { return 0; }
    void SetQuad(PlayQuad*) override {}
    void SetNumberB(int) override {}
    void SetNumberC(int) override {}
    void SetBlock(PlayBlock*) override {}
    int QueryNumber(int) override { return 0; }
    int SetNumberD(int) override { return 0; }
    void SetNumberE(int) override {}
    int QueryStatus() override { return 0; }
    int GetPlayObject(IPlayObject**) override { return 1; }
};

LoggingCore g_core;

__attribute__((destructor)) void Unloaded() {
    Log("unloaded");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) IPlayerCore* GetPlayerCore() {
    return &g_core;
}
