// IPlayerCore: the command interface of a player core. The engine supplies it in the service
// (its export GetPlayerCore); the proxy's player-core proxy supplies it in the client. A pure
// table of 19 operations in a binding slot order: player commands 3 to 19 are slot + 1. An int
// result of 0 means success. Objects are never deleted through this interface.
#pragma once

#include <windows.h>

#include "media_callback.h"
#include "play_blocks.h"
#include "play_object.h"
#include "play_request.h"

class IPlayerCore {
public:
    // 0: registers the notification receiver; the core calls it only until UnInit.
    virtual int Init(IMediaCallback* receiver, int a, int b, int c) = 0;
    virtual void UnInit() = 0;                    // 1: forgets the receiver
    virtual int Open(PlayRequest* request) = 0;   // 2
    virtual int Play() = 0;                       // 3: also resumes after a pause
    virtual int Pause() = 0;                      // 4
    virtual int Stop() = 0;                       // 5
    virtual int SetPosition(int position) = 0;    // 6
    virtual int SetVolume(int volume) = 0;        // 7
    virtual int SetFlag(BYTE flag) = 0;           // 8
    virtual int SetNumberA(int value) = 0;        // 9
    virtual void SetQuad(PlayQuad* quad) = 0;     // 10: one-way
    virtual void SetNumberB(int value) = 0;       // 11: one-way
    virtual void SetNumberC(int value) = 0;       // 12: one-way
    virtual void SetBlock(PlayBlock* block) = 0;  // 13: one-way
    virtual int QueryNumber(int value) = 0;       // 14
    virtual int SetNumberD(int value) = 0;        // 15
    virtual void SetNumberE(int value) = 0;       // 16: one-way
    virtual int QueryStatus() = 0;                // 17
    // 18: 0 and the core's object on success; the object stays owned by the core.
    virtual int GetPlayObject(IPlayObject** object) = 0;

protected:
    ~IPlayerCore() = default;
};

// The engine library's export: extern "C" IPlayerCore* GetPlayerCore();
typedef IPlayerCore* (*GetPlayerCoreFunc)();
