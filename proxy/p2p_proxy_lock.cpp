// The P2P proxy's lock and its queue of notifications: how a notification that comes while a
// call waits for the service is delivered without waiting for the lock (see p2p_proxy.h).
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
    // What came during a call made deeper inside this hold is still queued.
    if (outermost) {
        proxy_.DeliverPending();
    }
    --proxy_.depth_;
    LeaveCriticalSection(&proxy_.lock_);
    if (outermost) {
        proxy_.Released();
    }
}

void CP2PProxy::BeginCall() {
    {
        std::lock_guard<std::mutex> guard(pendingMutex_);
        ++calls_;
    }
    pendingChanged_.notify_all();
}

void CP2PProxy::EndCall() {
    std::lock_guard<std::mutex> guard(pendingMutex_);
    --calls_;
}

void CP2PProxy::Released() {
    {
        std::lock_guard<std::mutex> guard(pendingMutex_);
        ++releases_;
    }
    pendingChanged_.notify_all();
}

void CP2PProxy::DeliverPending() {
    // One delivery at a time, also when an observer's call leads back here on the same thread.
    if (delivering_) {
        return;
    }
    delivering_ = true;
    for (;;) {
        std::unique_lock<std::mutex> guard(pendingMutex_);
        if (pending_.empty()) {
            break;
        }
        Notification next = std::move(pending_.front());
        pending_.pop_front();
        guard.unlock();
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
    Notification notification = DecodeNotification(record->payload, record->length);
    std::unique_lock<std::mutex> guard(pendingMutex_);
    for (;;) {
        // A call waits for the service: its caller delivers this once the service answered.
        if (calls_ > 0) {
            pending_.push_back(std::move(notification));
            return 0;
        }
        const unsigned seen = releases_;
        guard.unlock();
        if (TryEnterCriticalSection(&lock_)) {
            Hold hold(*this, Hold::AlreadyEntered{});
            DeliverPending();
            Deliver(notification);
            return 0;
        }
        // Another thread holds the lock: wait until it lets go, or until it begins a call.
        guard.lock();
        pendingChanged_.wait(guard, [&] { return calls_ > 0 || releases_ != seen; });
    }
}
