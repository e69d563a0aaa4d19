// A player core for test engines that does nothing and succeeds: every operation returns 0
// (GetPlayObject 1, no object). Test engines override only the calls they observe.
#pragma once

#include "player_core.h"

namespace brtest {

class IdlePlayerCore : public IPlayerCore {
public:
    int Init(IMediaCallback*, int, int, int) override { return 0; }
    void UnInit() override {}
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

}  // namespace brtest
