// Threads of _beginthreadex: their handles, exit codes, suspension and TerminateThread.
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "kernel/handle.h"
#include "window/message_queue.h"
#include "kernel/thread_self.h"
#include "kernel/wait.h"

namespace {

class Thread : public pal::Object {
public:
    Thread(DWORD id, bool suspended)
        : record(std::make_shared<pal::ThreadRecord>(id)), suspendCount_(suspended ? 1 : 0) {}

    // Signalled once the thread has ended (or has been disowned by TerminateThread).
    DWORD Wait(DWORD milliseconds) override {
        std::unique_lock<std::mutex> lock(lock_);
        return pal::WaitFor(lock, changed_, milliseconds, [this] { return ended_; }) ? WAIT_OBJECT_0
                                                                                     : WAIT_TIMEOUT;
    }

    // The first end wins: a thread that returns after TerminateThread keeps that exit code.
    void End(DWORD exitCode) {
        std::lock_guard<std::mutex> guard(lock_);
        if (!ended_) {
            ended_ = true;
            exitCode_ = exitCode;
            changed_.notify_all();
        }
    }

    DWORD ExitCode() {
        std::lock_guard<std::mutex> guard(lock_);
        return ended_ ? exitCode_ : STILL_ACTIVE;
    }

    DWORD Resume() {
        std::lock_guard<std::mutex> guard(lock_);
        DWORD before = suspendCount_;
        if (suspendCount_ > 0 && --suspendCount_ == 0) {
            changed_.notify_all();
        }
        return before;
    }

    // On the new thread: waits while it is suspended. False when it was disowned meanwhile
    // (End wakes it), so its start routine must not run.
    bool AwaitStart() {
        std::unique_lock<std::mutex> lock(lock_);
        changed_.wait(lock, [this] { return suspendCount_ == 0 || record->terminated; });
        return !record->terminated;
    }

    const std::shared_ptr<pal::ThreadRecord> record;

private:
    std::mutex lock_;
    std::condition_variable changed_;
    DWORD suspendCount_;
    bool ended_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
};

struct Start {
    std::shared_ptr<Thread> thread;
    unsigned(__stdcall* routine)(void*);
    void* argument;
};

void* Run(void* raw) {
    std::unique_ptr<Start> start(static_cast<Start*>(raw));
    Thread& thread = *start->thread;
    pal::AdoptThreadRecord(thread.record.get());
    PalEnsureCrashStack();  // so an exception filter also runs for a stack overflow here
    DWORD exitCode = 0;
    if (thread.AwaitStart()) {
        exitCode = start->routine(start->argument);
    }
    // The queue goes before the handle is signalled: whoever sees the thread ended also sees
    // its posts fail.
    pal::MarkCurrentThreadRetired();
    pal::EndThreadQueue(thread.record->id);
    // A disowned thread's end belongs to TerminateThread, which signals it with its own code;
    // ending here too could beat it to the handle with this thread's code.
    if (!thread.record->terminated) {
        thread.End(exitCode);
    }
    pal::ForgetThreadRecord();
    return nullptr;
}

size_t PageRounded(size_t size) {
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return (size + page - 1) / page * page;
}

}  // namespace

// Differs from Windows: the stack is never smaller than the default pthread stack, also with
// STACK_SIZE_PARAM_IS_A_RESERVATION; a null start routine or an unknown flag returns 0 with
// EINVAL instead of calling the runtime's invalid-parameter handler.
uintptr_t _beginthreadex(void*, unsigned stack_size, unsigned(__stdcall* start_address)(void*),
                         void* arglist, unsigned initflag, unsigned* thrdaddr) {
    const unsigned knownFlags = CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION;
    if (!start_address || (initflag & ~knownFlags) != 0) {
        errno = EINVAL;
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto thread = std::make_shared<Thread>(pal::NewThreadId(), (initflag & CREATE_SUSPENDED) != 0);
    auto start = std::make_unique<Start>(Start{thread, start_address, arglist});

    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    size_t defaultSize = 0;
    pthread_attr_getstacksize(&attr, &defaultSize);
    if (stack_size > defaultSize) {
        pthread_attr_setstacksize(&attr, PageRounded(stack_size));
    }
    pthread_t id;
    int rc = pthread_create(&id, &attr, &Run, start.get());
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        errno = EAGAIN;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    start.release();  // Run owns it now
    if (thrdaddr) {
        *thrdaddr = thread->record->id;
    }
    return reinterpret_cast<uintptr_t>(pal::AddHandle(thread));
}

DWORD ResumeThread(HANDLE hThread) {
    auto thread = pal::LookupHandleAs<Thread>(hThread);
    if (!thread) {
        return static_cast<DWORD>(-1);
    }
    return thread->Resume();
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    auto thread = pal::LookupHandleAs<Thread>(hThread);
    if (!thread) {
        return FALSE;
    }
    if (!lpExitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpExitCode = thread->ExitCode();
    return TRUE;
}

// Differs from Windows: POSIX cannot stop a thread safely, so the thread is disowned instead.
// Everyone else sees it ended at once (handle signalled with the code, queue gone, posts fail);
// the thread itself runs on until it enters a wait of the layer, where it stops for good.
// Called on itself, it stops at once. A thread that has already ended keeps its exit code.
BOOL TerminateThread(HANDLE hThread, DWORD dwExitCode) {
    auto thread = pal::LookupHandleAs<Thread>(hThread);
    if (!thread) {
        return FALSE;
    }
    // In this order: no queue can be made any more, the queue goes, then the handle is
    // signalled with the code, before a suspended thread could wake and end with its own.
    thread->record->terminated = true;
    pal::EndThreadQueue(thread->record->id);
    thread->End(dwExitCode);
    if (thread->record->id == GetCurrentThreadId()) {
        pal::ParkForever();
    }
    return TRUE;
}
