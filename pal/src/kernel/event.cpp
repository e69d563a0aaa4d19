// Unnamed events.
#include <condition_variable>
#include <mutex>

#include "kernel/handle.h"
#include "kernel/wait.h"

namespace {

class Event : public pal::Object {
public:
    Event(bool manualReset, bool signalled) : manualReset_(manualReset), signalled_(signalled) {}

    DWORD Wait(DWORD milliseconds) override {
        std::unique_lock<std::mutex> lock(lock_);
        if (!pal::WaitFor(lock, changed_, milliseconds, [this] { return signalled_; })) {
            return WAIT_TIMEOUT;
        }
        if (!manualReset_) {
            signalled_ = false;  // this waiter takes the signal
        }
        return WAIT_OBJECT_0;
    }

    void Set() {
        // Waiters are woken after the lock is let go, so a woken waiter never blocks on it at
        // once (on one core that costs two extra switches per hand-off).
        {
            std::lock_guard<std::mutex> guard(lock_);
            signalled_ = true;
        }
        if (manualReset_) {
            changed_.notify_all();
        } else {
            changed_.notify_one();
        }
    }

    void Reset() {
        std::lock_guard<std::mutex> guard(lock_);
        signalled_ = false;
    }

private:
    const bool manualReset_;
    bool signalled_;
    std::mutex lock_;
    std::condition_variable changed_;
};

}  // namespace

// Differs from Windows: a non-empty name fails with ERROR_NOT_SUPPORTED (no named events).
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName) {
    if (lpName && *lpName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    HANDLE handle = pal::AddHandle(std::make_shared<Event>(bManualReset, bInitialState));
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL SetEvent(HANDLE hEvent) {
    auto event = pal::LookupHandleAs<Event>(hEvent);
    if (!event) {
        return FALSE;
    }
    event->Set();
    return TRUE;
}

BOOL ResetEvent(HANDLE hEvent) {
    auto event = pal::LookupHandleAs<Event>(hEvent);
    if (!event) {
        return FALSE;
    }
    event->Reset();
    return TRUE;
}
