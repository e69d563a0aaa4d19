// The exported functions: argument checks, then the engine.
#include "swarmget.h"

#include "cache_folder.h"
#include "engine.h"
#include "swarmget_control.h"

using swarmget::Engine;

bool StartDown(const Sign* sign, const char* address, int* /*value1*/, int /*value2*/,
               int /*value3*/, P2PObserver* observer, bool /*flag*/) {
    if (!sign || !address) {
        return false;
    }
    return Engine::Instance().StartDown(*sign, address, observer);
}

void StopDown(const Sign* sign, P2PObserver* /*observer*/) {
    if (sign) {
        Engine::Instance().StopDown(*sign);
    }
}

void DelRes(const Sign* sign, P2PObserver* observer) {
    if (sign) {
        Engine::Instance().DelRes(*sign, observer);
    }
}

void GetResInfo(const Sign* sign, int* value, std::string* text) {
    if (sign) {
        Engine::Instance().GetResInfo(*sign, value, text);
    }
}

void EnableVIPService(int /*value*/, bool /*enable*/, int /*reserved*/) {}

void StopAll() {
    Engine::Instance().StopAll();
}

void SetSysMsgWnd(HWND /*window*/) {}

void StartBRMV(const char* cacheDir, const char* /*reserved*/) {
    std::string dir = swarmget::ResolveCacheDir(cacheDir ? cacheDir : "");
    Engine::Instance().SetCacheDir(cacheDir ? cacheDir : "");
    if (swarmget::MakeDirs(dir)) {
        swarmget::RemovePartials(dir);
    }
}

void SwarmgetStartEngine() {
    Engine::Instance().Start();
}

void SwarmgetStopEngine() {
    Engine::Instance().Stop();
}
