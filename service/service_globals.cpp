#include "service_globals.h"

std::atomic<CServiceMsgCenter*> g_ServiceMsgCenter{nullptr};
std::atomic<CP2PStub*> g_P2PStub{nullptr};
std::atomic<CPlayCoreStub*> g_PlayCoreStub{nullptr};
std::atomic<HWND> g_hServiceWnd{nullptr};
