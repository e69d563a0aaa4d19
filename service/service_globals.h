// The service's process-wide objects. The program sets each pointer during start-up, before its
// endpoint exists, and clears each one during shutdown, after the endpoint is released and
// before the object is deleted. Other threads read them without a lock of the service: the
// call center's delivery thread reads the two stubs, the engines' threads read the message
// center. A null pointer tells every reader that the object is gone. They are atomics so that
// those reads never race with the program's writes.
#pragma once

#include <windows.h>

#include <atomic>

class CServiceMsgCenter;
class CP2PStub;
class CPlayCoreStub;

// The message center on SERVICE_ENDPOINT_ID; replies and notifications go through it.
extern std::atomic<CServiceMsgCenter*> g_ServiceMsgCenter;
// The P2P stub, the one observer the service hands to the download engine.
extern std::atomic<CP2PStub*> g_P2PStub;
// The player-core stub, which owns the player engine.
extern std::atomic<CPlayCoreStub*> g_PlayCoreStub;
// The program's hidden window: the stop request posts WM_DESTROY to it, which ends the
// program's message loop. Null until the program has created it.
extern std::atomic<HWND> g_hServiceWnd;
