// CP2PProxy's scoped hold of its lock. The outermost hold of a thread delivers what is still
// queued from a call before it lets the lock go, and then wakes a Dispatch that waits for it.
#pragma once

#include "p2p_proxy.h"

class CP2PProxy::Hold {
public:
    struct AlreadyEntered {};

    explicit Hold(CP2PProxy& proxy);
    // For a lock the caller has just entered (TryEnterCriticalSection).
    Hold(CP2PProxy& proxy, AlreadyEntered);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    CP2PProxy& proxy_;
};

// The notification of a payload, bounded by length: its id (0 when the payload is shorter than
// 4 bytes) and the fields it holds, the protocol's defaults for the rest.
CP2PProxy::Notification DecodeNotification(const void* payload, int length);
