// Thread ids and the calling thread's state. Ids come from a counter rather than the kernel's
// thread id, so they are small, known to the creator before the thread runs, and never reused:
// a message posted to an ended thread's id can never reach a newer thread.
#include "kernel/thread_self.h"

#include <unistd.h>

namespace pal {
namespace {

std::atomic<DWORD> g_lastThreadId{0};

// Plain thread-locals without destructors, readable until the thread is gone; a signal handler
// may read the id.
thread_local DWORD t_id = 0;
thread_local ThreadRecord* t_record = nullptr;
thread_local bool t_retired = false;

}  // namespace

DWORD NewThreadId() {
    return ++g_lastThreadId;
}

void AdoptThreadRecord(ThreadRecord* record) {
    t_id = record->id;
    t_record = record;
}

void ForgetThreadRecord() {
    t_record = nullptr;
}

void MarkCurrentThreadRetired() {
    t_retired = true;
}

bool CurrentThreadRetired() {
    return t_retired;
}

bool CurrentThreadTerminated() {
    return t_record && t_record->terminated.load();
}

void ParkIfTerminated() {
    if (CurrentThreadTerminated()) {
        ParkForever();
    }
}

void ParkForever() {
    for (;;) {
        pause();
    }
}

}  // namespace pal

// Differs from Windows: the id is the layer's own (1, 2, 3 ... per process), not the kernel's.
DWORD GetCurrentThreadId() {
    if (pal::t_id == 0) {
        pal::t_id = pal::NewThreadId();
    }
    return pal::t_id;
}
