// Critical sections: a plain pthread mutex with the owner's thread id and a recursion count,
// kept inside the caller's CRITICAL_SECTION. Recursion is counted here, so a thread that does
// not hold the section is recognised and never touches the mutex.
#include <pthread.h>

#include <atomic>
#include <new>

#include "kernel/thread_self.h"

namespace {

struct Section {
    pthread_mutex_t mutex;
    std::atomic<DWORD> owner;  // 0 when free; written only by the thread holding the mutex
    unsigned count;            // read and written only by the owner
};

static_assert(sizeof(Section) <= sizeof(CRITICAL_SECTION::Opaque));
static_assert(alignof(Section) <= alignof(CRITICAL_SECTION));

Section* SectionOf(LPCRITICAL_SECTION section) {
    return std::launder(reinterpret_cast<Section*>(section->Opaque));
}

void Acquired(Section* section, DWORD self) {
    section->owner.store(self, std::memory_order_relaxed);
    section->count = 1;
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    Section* section = new (lpCriticalSection->Opaque) Section;
    pthread_mutex_init(&section->mutex, nullptr);
    section->owner.store(0, std::memory_order_relaxed);
    section->count = 0;
}

// Differs from Windows: a thread disowned by TerminateThread stops here for good.
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    pal::ParkIfTerminated();
    Section* section = SectionOf(lpCriticalSection);
    DWORD self = GetCurrentThreadId();
    if (section->owner.load(std::memory_order_relaxed) == self) {
        ++section->count;
        return;
    }
    pthread_mutex_lock(&section->mutex);
    Acquired(section, self);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    Section* section = SectionOf(lpCriticalSection);
    DWORD self = GetCurrentThreadId();
    if (section->owner.load(std::memory_order_relaxed) == self) {
        ++section->count;
        return TRUE;
    }
    if (pthread_mutex_trylock(&section->mutex) != 0) {
        return FALSE;
    }
    Acquired(section, self);
    return TRUE;
}

// Differs from Windows: a thread that does not hold the section leaves it as it is, where
// Windows would damage the section's state.
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    Section* section = SectionOf(lpCriticalSection);
    if (section->owner.load(std::memory_order_relaxed) != GetCurrentThreadId()) {
        return;
    }
    if (--section->count == 0) {
        section->owner.store(0, std::memory_order_relaxed);
        pthread_mutex_unlock(&section->mutex);
    }
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    Section* section = SectionOf(lpCriticalSection);
    pthread_mutex_destroy(&section->mutex);
    section->~Section();
}
