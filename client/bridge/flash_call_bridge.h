// CFlashCallBridge: the main window's FlashCall handler. Each ExternalInterface request of the
// movie is parsed, its call name chosen from the call table (first equal name, case-sensitive),
// and the call served on the player, the play state, the log, the debug overlay or the movie
// timer. Calls that answer set the control's return value while the event is handled. GUI
// thread only; every player call blocks until the service answers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "play_state.h"
#include "player_ctrl.h"

// The one-shot timer of the main window that loads the movie after "openLoadingUrl".
constexpr UINT_PTR TIMER_LOAD_MOVIE = 2560;
constexpr UINT kLoadMovieDelayMs = 500;

// What the bridge acts on; the main window fills it in.
struct FlashCallHost {
    CPlayerCtrl* player = nullptr;                // g_PlayerCore
    const CPlayStateHolder* playState = nullptr;  // the main window's m_nPlayState
    // The control's SetReturnValue; may throw, which the bridge swallows.
    std::function<void(const char* xml)> setReturnValue;
    // The debug overlay (ShowDebugText).
    std::function<void(const std::string& text, bool transparent)> showDebugText;
    // SetTimer on the main window; url is the movie's argument, possibly empty.
    std::function<void(UINT_PTR timerId, UINT elapseMs, const std::string& url)> setTimer;
};

class CFlashCallBridge {
public:
    explicit CFlashCallBridge(FlashCallHost host) : host_(std::move(host)) {}

    // The FlashCall event: request is the request XML in the narrow code page (may be null).
    void OnFlashCall(const char* request);

    // "<true />" when the flag's low byte is not zero, else "<false />".
    void ReturnBool(int flag);
    // The number element of the value ("<number>N</number>" CR LF).
    void ReturnInt(int value);
    void ReturnLong(long value);
    // Sets a non-null text as the return value; any exception of the control is swallowed.
    void SetFlashReturn(const char* text);

    struct Call;  // the request being served (flash_call_table.cpp)

private:
    void ReturnNumber(const char* digits);

    FlashCallHost host_;
};
