#include "client_watch.h"

#include "brlib.h"
#include "play_core_stub.h"
#include "service_globals.h"

void WatchClients() {
    for (const char* name : CLIENT_PROGRAM_NAMES) {
        if (BrLib::Process::CheckProcessExist(name)) {
            return;
        }
    }
    // The stub is deleted only on this thread, after the loop, so it cannot go meanwhile.
    CPlayCoreStub* stub = g_PlayCoreStub.load();
    if (IPlayerCore* core = stub ? stub->GetCore() : nullptr) {
        core->Stop();
    }
}
