// CPlayerCtrl: the client's one handle on the player, a thin wrapper over the IPlayerCore the
// proxy library hands out. Commands are true when the core returned 0. Getters follow one rule:
// the output is 0 first; with no core, or when the play object cannot be had, false; else the
// object's value and true. Each getter asks the core for the play object again (through the
// proxy one synchronous request to the service). GUI thread only.
#pragma once

#include <cstdint>

#include "play_item.h"
#include "player_core.h"

class CPlayerCtrl {
public:
    // Does nothing; declared so that g_PlayerCore registers its destruction at exit in the
    // program's order of globals, as a global with a destructor does.
    CPlayerCtrl() = default;
    ~CPlayerCtrl();
    CPlayerCtrl(const CPlayerCtrl&) = default;
    CPlayerCtrl& operator=(const CPlayerCtrl&) = default;
    // Stores the core, which the proxy library owns and this object never releases.
    void SetCore(IPlayerCore* player) { core = player; }

    // Reads the play object's numbers H, A and B (in this order), then registers g_MediaPlay
    // as the core's notification receiver.
    bool Init();
    // Fills the 2592-byte request from the item and opens it; a refusal is logged with text1.
    bool Open(const CPlayItem& item);
    // Logs "播放：播放歌曲" before the command, whether or not the core takes it.
    bool Play();
    bool Pause();
    bool Stop();
    bool SetPosition(int position);
    bool SetVolume(int volume);

    bool GetVolume(int& out);
    bool GetDuration(int& out);  // milliseconds
    bool GetPosition(int& out);  // milliseconds
    // The first value of the play object's buffer information.
    bool GetBufferPair(int& out);
    // Always true: GetBufferPair's value, or 0 when it failed.
    bool GetBufferingProgress(int& out);
    // Code 0: number H, 1: number A, 2: number B; any other code reads nothing (true with 0
    // once the play object was had).
    bool QueryItemValue(int code, int& out);

private:
    // The getter rule; read takes the value from the play object.
    template <typename Read>
    bool ReadPlayObject(int& out, Read read);

    IPlayerCore* core = nullptr;
    int32_t cachedNumberA = 0;
    int32_t cachedNumberB = 0;
    int32_t cachedNumberH = 0;
};

// The client's one player, living until the process ends.
extern CPlayerCtrl g_PlayerCore;
