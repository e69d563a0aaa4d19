#include "service_notify.h"

#include <condition_variable>
#include <mutex>

#include "byte_stream.h"
#include "msg_ids.h"
#include "service_globals.h"
#include "service_msg_center.h"

namespace {

// Guards the reading of g_ServiceMsgCenter by senders and every message center's gate.
struct GateLock {
    std::mutex lock;
    std::condition_variable idle;
};

// Never destroyed: an engine thread may still notify while the process exits.
GateLock& TheGateLock() {
    static GateLock* gate = new GateLock;
    return *gate;
}

// Sends under way on this thread (a send can nest inside another through the call center).
thread_local int t_sendingHere = 0;

}  // namespace

void SendServiceNotification(int channel, const CStreamWriter& payload) {
    GateLock& gate = TheGateLock();
    CServiceMsgCenter* center = nullptr;
    {
        std::unique_lock<std::mutex> guard(gate.lock);
        center = g_ServiceMsgCenter.load();
        if (!center || center->m_notifyClosed) {
            return;
        }
        // Counted while it waits too, so that closing the gate waits for it to leave rather
        // than letting the object go under it.
        ++center->m_notifySending;
        gate.idle.wait(guard, [&] { return center->m_notifyOpen || center->m_notifyClosed; });
        if (center->m_notifyClosed) {
            --center->m_notifySending;
            gate.idle.notify_all();
            return;
        }
    }
    ++t_sendingHere;
    center->SendMsgNoReply(PROXY_ENDPOINT_ID, 0, channel, payload.GetData(), payload.GetSize(),
                           INFINITE);
    --t_sendingHere;
    {
        std::lock_guard<std::mutex> guard(gate.lock);
        --center->m_notifySending;
    }
    gate.idle.notify_all();
}

void OpenServiceNotifications(CServiceMsgCenter& center) {
    GateLock& gate = TheGateLock();
    {
        std::lock_guard<std::mutex> guard(gate.lock);
        center.m_notifyOpen = true;
    }
    gate.idle.notify_all();
}

void CloseServiceNotifications(CServiceMsgCenter& center) {
    GateLock& gate = TheGateLock();
    std::unique_lock<std::mutex> guard(gate.lock);
    center.m_notifyClosed = true;
    // Senders waiting for the gate to open leave now.
    gate.idle.notify_all();
    const int own = t_sendingHere;
    gate.idle.wait(guard, [&] { return center.m_notifySending <= own; });
}

void RetireServiceNotifications(CServiceMsgCenter& center) {
    {
        std::lock_guard<std::mutex> guard(TheGateLock().lock);
        CServiceMsgCenter* expected = &center;
        g_ServiceMsgCenter.compare_exchange_strong(expected, nullptr);
    }
    CloseServiceNotifications(center);
}
