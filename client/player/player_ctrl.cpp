// CPlayerCtrl's commands.
#include <cstdio>

#include "debug_log.h"
#include "log_texts.h"
#include "media_play.h"
#include "player_ctrl.h"

CPlayerCtrl::~CPlayerCtrl() = default;

namespace {

// Copies text into a 512-byte field of the request: at most 511 bytes of it, cut byte-wise,
// then a zero; the rest of the field stays as it was (zero).
void CopyField(char (&field)[512], const std::string& text) {
    std::snprintf(field, sizeof field, "%s", text.c_str());
}

}  // namespace

bool CPlayerCtrl::Init() {
    QueryItemValue(0, cachedNumberH);
    QueryItemValue(1, cachedNumberA);
    QueryItemValue(2, cachedNumberB);
    return core != nullptr && core->Init(&g_MediaPlay, 0, 0, 0) == 0;
}

bool CPlayerCtrl::Open(const CPlayItem& item) {
    if (core == nullptr) {
        return false;
    }
    PlayRequest request;  // all 2592 bytes zero, the Sign 0, 0
    CopyField(request.itemText1, item.GetText1());
    CopyField(request.itemText2, item.GetText2());
    CopyField(request.itemText3, item.GetText3());
    CopyField(request.itemText4, item.GetText4());
    request.itemNumber = item.GetNumber();
    request.value0 = 0;
    request.itemSign = item.GetSign();
    request.itemExtra = item.GetExtra();
    if (core->Open(&request) == 0) {
        return true;
    }
    g_Log.Log(LogTextOpenSongFailed(), item.GetText1().c_str());
    return false;
}

bool CPlayerCtrl::Play() {
    g_Log.Log("%s", LogTextPlaySong());
    return core != nullptr && core->Play() == 0;
}

bool CPlayerCtrl::Pause() {
    return core != nullptr && core->Pause() == 0;
}

bool CPlayerCtrl::Stop() {
    return core != nullptr && core->Stop() == 0;
}

bool CPlayerCtrl::SetPosition(int position) {
    return core != nullptr && core->SetPosition(position) == 0;
}

bool CPlayerCtrl::SetVolume(int volume) {
    return core != nullptr && core->SetVolume(volume) == 0;
}
