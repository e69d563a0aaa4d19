// The play state: the one number through which the movie learns what the player is doing. The
// media notifications write it on the proxy's delivery thread and on its watchdog thread; the
// main window's start-up writes 0 and the movie's "BRGetPlayState" reads it on the GUI thread.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int PLAY_STATE_NONE = 0;         // no player event since start-up
constexpr int PLAY_STATE_STOPPED = 1;      // stopped, ended or failed
constexpr int PLAY_STATE_PAUSED = 2;       // paused
constexpr int PLAY_STATE_PLAYING = 3;      // started or resumed
constexpr int PLAY_STATE_DOWNLOADING = 4;  // the item's download has started
constexpr int PLAY_STATE_SWITCHING = 5;    // switching to another song

// The part of the main window that the notifications reach: the main window derives from it.
// The value is a single atomic 32-bit word; nothing else is published with it, so relaxed
// stores and loads suffice and the last store of two racing events wins.
class CPlayStateHolder {
public:
    void SetPlayState(int state) { m_nPlayState.store(state, std::memory_order_relaxed); }
    int GetPlayState() const { return m_nPlayState.load(std::memory_order_relaxed); }

private:
    std::atomic<int32_t> m_nPlayState{PLAY_STATE_NONE};
};
static_assert(std::atomic<int32_t>::is_always_lock_free);

// The running main window, set once before its modal loop; null before. The notifications set
// the play state through it and only log while it is null.
extern CPlayStateHolder* g_pMainDlg;
