#include "flash_call_table.h"

#include <cstring>
#include <iterator>

#include "debug_log.h"
#include "flash_arguments.h"
#include "log_texts.h"
#include "number_text.h"
#include "play_item.h"

namespace {

using Call = CFlashCallBridge::Call;

void IsDJContainer(Call& call) {
    call.bridge.ReturnBool(true);
}

// Five strings and a number; without the "arguments" element nothing is opened or answered.
void OpenMusic(Call& call) {
    FlashArguments arguments(call.request);
    if (!arguments.Present()) {
        return;
    }
    const std::string a1 = arguments.String();
    const std::string a2 = arguments.String();
    const std::string a3 = arguments.String();
    const std::string a4 = arguments.String();
    const std::string a5 = arguments.String();
    const std::string n = arguments.Number();
    const Sign sign(StrToULong(a4), StrToULong(a5));
    CPlayItem item;
    item.Reset();
    item.Set(a1, a2, "", a3, StrToInt(n), sign, 0);
    call.bridge.ReturnBool(call.host.player->Open(item));
}

void PlayMusic(Call& call) {
    call.host.player->Play();
}

void StopMusic(Call& call) {
    call.host.player->Stop();
}

void PauseMusic(Call& call) {
    call.host.player->Pause();
}

void SetVolume(Call& call) {
    FlashArguments arguments(call.request);
    call.host.player->SetVolume(static_cast<int>(StrToULong(arguments.Number())));
}

// The getters' output starts at 0, so a failed read answers 0.
void GetVolume(Call& call) {
    int volume = 0;
    call.host.player->GetVolume(volume);
    call.bridge.ReturnLong(volume);
}

void GetBufferingProgress(Call& call) {
    int progress = 0;
    call.host.player->GetBufferingProgress(progress);
    call.bridge.ReturnInt(progress);
}

// The movie's number goes to the player unchanged.
void SetCurrentPosition(Call& call) {
    FlashArguments arguments(call.request);
    call.host.player->SetPosition(StrToInt(arguments.Number()));
}

// Milliseconds to whole seconds, truncated toward zero.
void GetCurrentPosition(Call& call) {
    int position = 0;
    call.host.player->GetPosition(position);
    call.bridge.ReturnInt(position / 1000);
}

void GetDownloadProgress(Call&) {}

void GetDuration(Call& call) {
    int duration = 0;
    call.host.player->GetDuration(duration);
    call.bridge.ReturnInt(duration / 1000);
}

void GetPlayState(Call& call) {
    call.bridge.ReturnInt(call.host.playState != nullptr ? call.host.playState->GetPlayState() : 0);
}

// The text is read and dropped.
void DebugOut(Call& call) {
    FlashArguments arguments(call.request);
    arguments.String();
}

void OpenLoadingUrl(Call& call) {
    FlashArguments arguments(call.request);
    bool found = false;
    const std::string url = arguments.String(&found);
    if (found && call.host.setTimer) {
        call.host.setTimer(TIMER_LOAD_MOVIE, kLoadMovieDelayMs, url);
    }
}

void PrintDebug(Call& call) {
    FlashArguments arguments(call.request);
    const std::string text = arguments.String();
    if (!text.empty()) {
        g_Log.Log(LogTextFlashDebug(), text.c_str());
    }
}

// Always opaque drawing.
void ShowDebug(Call& call) {
    FlashArguments arguments(call.request);
    const std::string text = arguments.String();
    if (!text.empty() && call.host.showDebugText) {
        call.host.showDebugText(text, false);
    }
}

constexpr FlashCallEntry kCalls[] = {
    {"BRIsDJContainer", IsDJContainer},
    {"BROpenMusic", OpenMusic},
    {"BRPlayMusic", PlayMusic},
    {"BRStopMusic", StopMusic},
    {"BRPauseMusic", PauseMusic},
    {"BRResumeMusic", PlayMusic},
    {"BRSetVolume", SetVolume},
    {"BRGetVolume", GetVolume},
    {"BRGetBufferingProgress", GetBufferingProgress},
    {"BRSetCurrentPosition", SetCurrentPosition},
    {"BRGetCurrentPosition", GetCurrentPosition},
    {"BRGetDownloadProgress", GetDownloadProgress},
    {"BRGetDuration", GetDuration},
    {"BRGetPlayState", GetPlayState},
    {"BRDebugOut", DebugOut},
    {"openLoadingUrl", OpenLoadingUrl},
    {"PrintDebug", PrintDebug},
    {"ShowDebug", ShowDebug},
};

}  // namespace

const FlashCallEntry* FindFlashCall(const char* name) {
    for (const FlashCallEntry& entry : kCalls) {
        if (std::strcmp(entry.name, name) == 0) {
            return &entry;
        }
    }
    return nullptr;
}
