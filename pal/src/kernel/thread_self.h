// What the layer knows about the calling thread: its id, whether its life has ended for the
// layer, and whether TerminateThread has disowned it.
#pragma once

#include <atomic>

#include "windows.h"

namespace pal {

// Shared by a thread of _beginthreadex and its handle.
struct ThreadRecord {
    explicit ThreadRecord(DWORD threadId) : id(threadId) {}
    const DWORD id;
    // Set by TerminateThread: the thread must not run its own code again.
    std::atomic<bool> terminated{false};
};

// A new thread id: 1, 2, 3 ... in the order threads are first seen, never reused.
DWORD NewThreadId();

// Called by a thread of _beginthreadex first of all: its id is the record's, and it can be
// disowned through the record. Forget drops the record before the thread's record goes away.
void AdoptThreadRecord(ThreadRecord* record);
void ForgetThreadRecord();

// The calling thread has ended for the layer (it is past its start routine, or is being torn
// down): no message queue may be made for it any more.
void MarkCurrentThreadRetired();
bool CurrentThreadRetired();
// True when TerminateThread has disowned the calling thread.
bool CurrentThreadTerminated();

// Called as the layer's waits begin and end: a disowned thread stops here for good, so that it
// never returns into code that its owner believes has ended.
void ParkIfTerminated();
// Stops the calling thread for good.
[[noreturn]] void ParkForever();

}  // namespace pal
