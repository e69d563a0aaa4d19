// The watchdog thread and its stop.
//
// Stopping without a deadlock: StopCoreServer and UnInitProxy hold g_ProxyLock while they wait
// for the thread to end, and the thread needs that lock for every step. So the thread never
// blocks on the lock: it tries to take it, and while another thread holds it, it waits on its
// stop event between tries. The stop flag is set (under the lock) before the event is
// signalled and is looked at every time the thread has taken the lock, so once a stop has been
// signalled no reset, restart or sink call starts; a notification pass looks again before
// each sink, as a sink may stop the watchdog itself.
#include "watchdog.h"

#include <atomic>
#include <memory>

#include "br_service_proxy.h"
#include "p2p_proxy.h"
#include "player_core_proxy.h"
#include "proxy_lock.h"
#include "proxy_objects.h"
#include "proxy_state.h"

namespace {

// The thread first waits WATCH_FIRST_WAIT on its stop event, then polls the service every
// WATCH_POLL_INTERVAL: the first poll comes WATCH_FIRST_WAIT + WATCH_POLL_INTERVAL (12 s) after
// the start. The wait is on the stop event, so a stop in that time ends the thread at once.
constexpr DWORD WATCH_FIRST_WAIT = 10000;
constexpr DWORD WATCH_POLL_INTERVAL = 2000;
// How long the thread waits between tries for a lock another thread holds.
constexpr DWORD WATCH_LOCK_RETRY_MIN = 1;
constexpr DWORD WATCH_LOCK_RETRY_MAX = 16;

// One run of the watchdog: its stop event and stop flag, shared by the thread and the exports
// until both are done with it.
struct WatchRun {
    explicit WatchRun(HANDLE event) : stopEvent(event) {}
    ~WatchRun() { CloseHandle(stopEvent); }
    WatchRun(const WatchRun&) = delete;
    WatchRun& operator=(const WatchRun&) = delete;

    const HANDLE stopEvent;  // auto-reset
    std::atomic<bool> stopped{false};
};

// Guarded by g_ProxyLock.
std::shared_ptr<WatchRun> g_WatchRun;  // holds the stop event
HANDLE g_hWatchThread = nullptr;
DWORD g_dwWatchThreadId = 0;

// Takes g_ProxyLock unless the run is stopped first; true with the lock held.
bool EnterUnlessStopped(WatchRun& run) {
    CRITICAL_SECTION& lock = ProxyLock();
    DWORD retry = WATCH_LOCK_RETRY_MIN;
    while (!run.stopped.load()) {
        if (TryEnterCriticalSection(&lock)) {
            if (!run.stopped.load()) {
                return true;
            }
            LeaveCriticalSection(&lock);
            return false;
        }
        WaitForSingleObject(run.stopEvent, retry);  // a stop ends the wait at once
        retry = retry < WATCH_LOCK_RETRY_MAX ? retry * 2 : WATCH_LOCK_RETRY_MAX;
    }
    return false;
}

// Runs step under g_ProxyLock; false, without running it, once the run is stopped.
template <typename Step>
bool Locked(WatchRun& run, Step step) {
    if (!EnterUnlessStopped(run)) {
        return false;
    }
    step();
    LeaveCriticalSection(&ProxyLock());
    return true;
}

void ResetProxies(WatchRun& run) {
    if (CP2PProxy* p2p = g_P2PProxy.load()) {
        p2p->Reset();
    }
    if (run.stopped.load()) {
        return;  // an observer stopped the watchdog
    }
    if (CPlayerCoreProxy* player = g_PlayerCoreProxy.load()) {
        player->ResetOnServiceLost();
    }
}

// Every sink in list order; the list's length is taken anew before each sink.
void NotifySinks(WatchRun& run, void (IServiceNotify::*operation)()) {
    for (size_t i = 0; i < g_NotifySinks.size() && !run.stopped.load(); ++i) {
        (g_NotifySinks[i]->*operation)();
    }
}

void Watch(WatchRun& run) {
    if (WaitForSingleObject(run.stopEvent, WATCH_FIRST_WAIT) != WAIT_TIMEOUT) {
        return;
    }
    bool lost = false;
    for (;;) {
        if (WaitForSingleObject(run.stopEvent, WATCH_POLL_INTERVAL) != WAIT_TIMEOUT) {
            return;
        }
        bool running = false;
        if (!Locked(run, [&] { running = IsRunCoreServer(); })) {
            return;
        }
        if (!running) {
            if (!Locked(run, [&] { ResetProxies(run); }) ||
                !Locked(run, [] { StartCoreServer(); })) {
                return;
            }
            if (!lost && !Locked(run, [&] { NotifySinks(run, &IServiceNotify::OnServiceLost); })) {
                return;
            }
            lost = true;
        } else if (lost) {
            lost = false;
            if (!Locked(run, [&] { NotifySinks(run, &IServiceNotify::OnServiceRunning); })) {
                return;
            }
        }
    }
}

unsigned __stdcall WatchServiceThreadProc(void* argument) {
    std::unique_ptr<std::shared_ptr<WatchRun>> run(
        static_cast<std::shared_ptr<WatchRun>*>(argument));
    Watch(**run);
    return 0;
}

}  // namespace

void StartWatchThread() {
    CAutoLock lock;
    if (!g_WatchRun) {
        HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (event == nullptr) {
            return;
        }
        g_WatchRun = std::make_shared<WatchRun>(event);
    }
    if (g_hWatchThread == nullptr) {
        auto* run = new std::shared_ptr<WatchRun>(g_WatchRun);
        unsigned id = 0;
        auto thread = reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, WatchServiceThreadProc, run, 0, &id));
        if (thread == nullptr) {
            delete run;
            return;
        }
        g_hWatchThread = thread;
        g_dwWatchThreadId = id;
    }
}

void StopWatchThread() {
    CAutoLock lock;
    if (!g_WatchRun || g_hWatchThread == nullptr) {
        return;
    }
    g_WatchRun->stopped = true;
    SetEvent(g_WatchRun->stopEvent);
    // On the watchdog's own thread (a sink that stops the service) there is nothing to wait
    // for: the thread sees the flag as soon as the sink returns.
    if (GetCurrentThreadId() != g_dwWatchThreadId) {
        WaitForSingleObject(g_hWatchThread, INFINITE);
    }
    CloseHandle(g_hWatchThread);
    g_hWatchThread = nullptr;
    g_dwWatchThreadId = 0;
    g_WatchRun.reset();  // the event closes with the last holder
}
