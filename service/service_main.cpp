// BrCoreService: the background program. ServiceWinMain keeps one instance per runtime root,
// creates the hidden window, starts the download engine, creates the three service objects,
// watches for the clients and runs the message loop until WM_QUIT; then it tears down in a fixed
// order.
#include <windows.h>

#include <cstdio>

#include "brlib.h"
#include "brmv.h"
#include "msg_ids.h"
#include "p2p_stub.h"
#include "play_core_stub.h"
#include "service_globals.h"
#include "service_msg_center.h"
#include "service_window.h"
#include "swarmget.h"

namespace {

// The service's own executable name: every other process of it in this root is ended.
constexpr const char* SERVICE_EXE_NAME = "BrCoreService.exe";

// Creates the objects in the order in which they must exist: both stubs before the message
// center registers the endpoint, so that the first command finds them. Notifications the engine
// raises while its stub is built find no message center and are dropped; those raised while the
// message center's Init runs wait until it has returned (service_notify.h).
void CreateServiceObjects() {
    g_P2PStub = new CP2PStub;
    g_PlayCoreStub = new CPlayCoreStub;
    CServiceMsgCenter* center = new CServiceMsgCenter;
    g_ServiceMsgCenter = center;
    // Without an endpoint the service runs on but receives nothing.
    center->Init(SERVICE_ENDPOINT_ID);
}

// Notifications are sent on the engines' own threads, so the teardown must keep them off the
// message center while it is uninitialised and deleted:
// - StopP2P joins every thread of the download engine: once it returns, no P2P observer call
//   runs or will follow.
// - CServiceMsgCenter::UnInit closes the message center's notification gate, waits for the
//   player-engine notifications already under way, and only then releases the endpoint; every
//   later notification is dropped, those the engine raises during its own UnInit included.
// Each pointer is cleared before its object is deleted, so no thread finds a deleted object.
void DestroyServiceObjects() {
    StopP2P();
    g_ServiceMsgCenter.load()->UnInit();

    CServiceMsgCenter* center = g_ServiceMsgCenter.exchange(nullptr);
    delete center;
    CP2PStub* p2p = g_P2PStub.exchange(nullptr);
    delete p2p;
    // The engine's UnInit, then the engine library is freed.
    CPlayCoreStub* player = g_PlayCoreStub.exchange(nullptr);
    delete player;
}

// A background program without a user interface has no standard streams of its own (it logs
// through its own log): they go to /dev/null, so that the service holds nothing of the terminal
// or the pipes of the host that started it, and a parent that reads that host's output to its
// end is not held until the service ends.
void LeaveStartersStreams() {
    std::freopen("/dev/null", "r", stdin);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
}

}  // namespace

int WINAPI ServiceWinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                          int showCommand) {
    LeaveStartersStreams();
    std::snprintf(g_szWindowName, sizeof g_szWindowName, "%s", SERVICE_WINDOW_NAME);
    std::snprintf(g_szClassName, sizeof g_szClassName, "%s", SERVICE_CLASS_NAME);

    // An older instance leaves its loop and shuts down; this one does not wait for it, and the
    // kill that follows may end it before its shutdown completes.
    if (HWND older = FindWindowA(g_szClassName, g_szWindowName)) {
        PostMessageA(older, WM_DESTROY, 0, 0);
    }
    BrLib::Process::KillOtherInstance(SERVICE_EXE_NAME);

    RegisterServiceWndClass(instance);
    if (!CreateServiceWindow(instance, showCommand)) {
        return 0;  // nothing else has been started
    }

    StartBRMV("", "");
    StartP2P();
    CreateServiceObjects();
    SetTimer(g_hServiceWnd, TIMER_CLIENT_WATCH, CLIENT_WATCH_PERIOD_MS, nullptr);

    // Every quit is posted with exit code 0. A failing GetMessageA (-1) also ends the loop,
    // rather than spinning on it.
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    DestroyServiceObjects();
    return static_cast<int>(message.wParam);
}

PAL_WINMAIN(ServiceWinMain)
