// brmusic: a host program of the proxy library that plays the installation's demo track
// through the service, from the command line. It initialises the proxy (which starts the
// service), waits for the service, opens brdj_demo.flac from its own folder, plays it, printing
// every notification as it arrives and the position every second, pauses, resumes, seeks
// towards the end, plays to the end, stops the service and releases the proxy. Exit code 0
// when all of that happened, 1 otherwise (at once when the proxy cannot be initialised).
//
// The service stops playback while no client program runs; it knows its clients by their
// names, and "brmusic.exe" is one of them, hence this program's name.
#include <windows.h>

#include <cstring>
#include <string>

#include "br_service_proxy.h"
#include "host_receiver.h"

namespace {

const char* const DEMO_TRACK = "brdj_demo.flac";
constexpr int SERVICE_WAIT_TRIES = 20;  // 10 s
constexpr DWORD SERVICE_WAIT_STEP = 500;
constexpr DWORD NOTIFICATION_WAIT = 3000;

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length < MAX_PATH ? length : 0);
    const size_t slash = text.rfind('/');
    return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

bool WaitForService() {
    for (int i = 0; i < SERVICE_WAIT_TRIES; ++i) {
        if (IsRunCoreServer()) {
            return true;
        }
        Sleep(SERVICE_WAIT_STEP);
    }
    return false;
}

bool Expect(bool ok, const char* what) {
    if (!ok) {
        HostPrint("FAILED: %s", what);
    }
    return ok;
}

bool Awaited(HANDLE event, const char* notification) {
    return Expect(WaitForSingleObject(event, NOTIFICATION_WAIT) == WAIT_OBJECT_0, notification);
}

// Lets the track play for whole seconds, printing the position after each one; returns early
// when the end event is set.
void PlayFor(IPlayerCore* player, int seconds, HANDLE end) {
    for (int i = 0; i < seconds; ++i) {
        if (WaitForSingleObject(end, 1000) == WAIT_OBJECT_0) {
            return;
        }
        IPlayObject* object = nullptr;
        if (player->GetPlayObject(&object) == 0 && object != nullptr) {
            HostPrint("position %.2f s of %.2f s", object->GetPosition() / 1000.0,
                      object->GetDuration() / 1000.0);
        } else {
            HostPrint("position unknown: the service did not answer");
        }
    }
}

// The track from opening to its end.
bool PlayTrack(IPlayerCore* player, CHostReceiver& receiver, const std::string& track) {
    PlayRequest request;
    std::strncpy(request.itemText1, track.c_str(), sizeof request.itemText1 - 1);
    HostPrint("opening %s", track.c_str());
    if (!Expect(player->Open(&request) == 0, "the track opens")) {
        return false;
    }
    IPlayObject* object = nullptr;
    const int duration = player->GetPlayObject(&object) == 0 ? object->GetDuration() : 0;
    HostPrint("duration %.2f s", duration / 1000.0);

    HostPrint("play");
    if (!Expect(player->Play() == 0, "play") || !Awaited(receiver.Started(), "NotifyPlayStart")) {
        return false;
    }
    PlayFor(player, 2, receiver.Ended());
    HostPrint("pause");
    if (!Expect(player->Pause() == 0, "pause") || !Awaited(receiver.Paused(), "NotifyPlayPause")) {
        return false;
    }
    PlayFor(player, 1, receiver.Ended());
    HostPrint("resume");
    if (!Expect(player->Play() == 0, "resume") ||
        !Awaited(receiver.Resumed(), "NotifyPlayResume")) {
        return false;
    }
    PlayFor(player, 1, receiver.Ended());
    const int target = duration > 2000 ? duration - 2000 : 0;
    HostPrint("seek to %.2f s", target / 1000.0);
    if (!Expect(player->SetPosition(target) == 0, "seek")) {
        return false;
    }
    PlayFor(player, 5, receiver.Ended());
    return Awaited(receiver.Ended(), "NotifyPlayEnd");
}

}  // namespace

int main() {
    CHostReceiver receiver;
    CHostServiceSink sink;
    HostPrint("initialising the proxy");
    // Fails when another host of this runtime root holds the proxy's endpoint; that host's
    // service is left alone.
    if (!Expect(InitProxy(), "the proxy takes its endpoint (another host runs here?)")) {
        return 1;
    }
    bool ok = Expect(WaitForService(), "the service answers");
    IPlayerCore* player = ok ? GetPlayerCoreProxy() : nullptr;
    if (player != nullptr) {
        HostPrint("service running");
        RegistNotify(&sink);
        player->Init(&receiver, 0, 0, 0);
        ok = PlayTrack(player, receiver, ProgramFolder() + DEMO_TRACK);
        player->UnInit();
        UnRegistNotify(&sink);
    }
    HostPrint("stopping the service");
    ok = Expect(StopCoreServer(), "the service stops") && ok;
    UnInitProxy();
    HostPrint(ok ? "done" : "done, with failures");
    return ok ? 0 : 1;
}
