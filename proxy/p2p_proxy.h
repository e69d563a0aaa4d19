// CP2PProxy: the client side of the P2P download road. The P2P exports call its operations one
// to one; it turns them into CHANNEL_P2P commands for the service, keeps for every download Sign
// the client observers that want to hear about it (the download table), hands each notification
// of the service to those observers, and tells every observer when the service is lost or does
// not answer. One instance, owned by the exports.
//
// Locking. The proxy's recursive lock guards the table: every operation, Reset and the
// delivery of every notification run under it, so the table is never read or changed outside
// it. Lock order: g_ProxyLock (held by the exports and the watchdog) before this lock, never the
// reverse. Observers are called with the lock held and must not call the P2P exports.
//
// Notifications during a call. A call (StartDown, GetResInfo) holds the lock while it waits for
// the service, and the service may raise a notification before it answers: the engine calls its
// observer on the thread that runs the command, and that notification reaches Dispatch on the
// call center's delivery thread while the caller still waits. Were Dispatch to wait for the
// lock then, the service would wait for Dispatch and the caller for the service. So while a
// call waits, Dispatch only decodes the notification into a queue and returns, and the caller
// delivers the queue right after the service answered, before it reads the reply (so the
// notifications come in the order the service raised them, before the call's own result takes
// effect). At every other time Dispatch waits for the lock and delivers on the call center's
// thread; a wait that finds a call beginning queues instead. So observers run on the call
// center's thread, or on the host's thread inside a call for what arrived during it, never
// inside a posted operation or Reset.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "p2p_observer.h"
#include "relayhub.h"
#include "sign.h"

class CStreamWriter;
class ServiceReply;

class CP2PProxy {
public:
    CP2PProxy();
    // Releases the table, the queue and the locks; calls no observer.
    ~CP2PProxy();
    CP2PProxy(const CP2PProxy&) = delete;
    CP2PProxy& operator=(const CP2PProxy&) = delete;

    // Registers the observer for the sign; only a sign without an entry sends
    // P2P_CMD_START_DOWN. True when the sign was queued already or the service accepted it.
    bool P2PStartDown(const Sign* sign, const char* text, int int1, int int2, int int3,
                      P2PObserver* observer, bool flag);
    // Unregisters the observer; the last one to leave posts P2P_CMD_STOP_DOWN.
    void P2PStopDown(const Sign* sign, P2PObserver* observer);
    // Registers the observer and posts P2P_CMD_DEL_RES every time.
    void P2PDelRes(const Sign* sign, P2PObserver* observer);
    // Asks the service; the outputs keep their values where the reply does not cover them.
    void P2PGetResInfo(const Sign* sign, int* value, std::string* text);
    // Posted; the third argument is accepted and not sent.
    void P2PEnableVIPService(int value, bool flag, int third);
    void P2PStopAll();
    void P2PSetSysMsgWnd(int window);

    // Every observer, in ascending Sign order and list order, hears slot 3 with code 6 and then
    // slot 7; the table ends empty.
    void Reset();
    // One notification of the service: E_FAIL for a null message or record, else 0.
    HRESULT Dispatch(ICallMessage* message);

    // A decoded notification, copied out of the message, with the protocol's defaults.
    struct Notification {
        int id = 0;
        Sign sign;
        Sign second;
        std::string text;
        int values[3] = {};
    };

private:
    class Hold;
    using ObserverList = std::vector<P2PObserver*>;

    // A call to the service under the lock: the pending notifications are delivered once it
    // returns, then the answer tells whether the service responded.
    bool Call(const CStreamWriter& payload, ServiceReply& reply);
    void NotResponding(const char* function);
    void RemoveObserver(const Sign& sign, P2PObserver* observer);

    // Tells Dispatch whether a call waits for the service (the queue is then used) and when
    // the lock has been let go.
    void BeginCall();
    void EndCall();
    void Released();
    void DeliverPending();
    void Deliver(const Notification& notification);

    std::map<Sign, ObserverList> table_;
    CRITICAL_SECTION lock_;
    // Lock holders only: how deep the holder has entered, and whether it is delivering.
    int depth_ = 0;
    bool delivering_ = false;

    // Guarded by pendingMutex_: the notifications that came during a call, how many calls wait
    // for the service, and how often the lock has been let go.
    std::mutex pendingMutex_;
    std::condition_variable pendingChanged_;
    std::deque<Notification> pending_;
    int calls_ = 0;
    unsigned releases_ = 0;
};
