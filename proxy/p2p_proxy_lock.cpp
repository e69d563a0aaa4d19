// The P2P proxy's lock and its queue of notifications: how a notification is delivered without
// ever waiting for the lock (see p2p_proxy.h).
#include "p2p_proxy_hold.h"

CP2PProxy::Hold::Hold(CP2PProxy& proxy) : proxy_(proxy) {
    EnterCriticalSection(&proxy_.lock_);
    ++proxy_.depth_;
}

CP2PProxy::Hold::Hold(CP2PProxy& proxy, AlreadyEntered) : proxy_(proxy) {
    ++proxy_.depth_;
}

CP2PProxy::Hold::~Hold() {
    const bool outermost = proxy_.depth_ == 1;
    if (outermost) {
        proxy_.DeliverPending();
    }
    --proxy_.depth_;
    LeaveCriticalSection(&proxy_.lock_);
    if (!outermost) {
        return;
    }
    // A notification queued after the last look, by a thread that found the lock still held,
    // waits for whoever takes the lock next; take it now when nobody else has.
    while (proxy_.HasPending() && TryEnterCriticalSection(&proxy_.lock_)) {
        ++proxy_.depth_;
        proxy_.DeliverPending();
        --proxy_.depth_;
        LeaveCriticalSection(&proxy_.lock_);
    }
}

void CP2PProxy::Enqueue(Notification notification) {
    EnterCriticalSection(&pendingLock_);
    pending_.push_back(std::move(notification));
    LeaveCriticalSection(&pendingLock_);
}

bool CP2PProxy::HasPending() {
    EnterCriticalSection(&pendingLock_);
    const bool any = !pending_.empty();
    LeaveCriticalSection(&pendingLock_);
    return any;
}

void CP2PProxy::DeliverPending() {
    // One delivery at a time, also when an observer's call leads back here on the same thread.
    if (delivering_) {
        return;
    }
    delivering_ = true;
    for (;;) {
        EnterCriticalSection(&pendingLock_);
        if (pending_.empty()) {
            LeaveCriticalSection(&pendingLock_);
            break;
        }
        Notification next = std::move(pending_.front());
        pending_.pop_front();
        LeaveCriticalSection(&pendingLock_);
        Deliver(next);
    }
    delivering_ = false;
}

HRESULT CP2PProxy::Dispatch(ICallMessage* message) {
    if (message == nullptr) {
        return E_FAIL;
    }
    CallMsgRecord* record = nullptr;
    if (message->GetRecord(&record) != S_OK || record == nullptr) {
        return E_FAIL;
    }
    Enqueue(DecodeNotification(record->payload, record->length));
    if (TryEnterCriticalSection(&lock_)) {
        Hold hold(*this, Hold::AlreadyEntered{});
    }
    return 0;
}
