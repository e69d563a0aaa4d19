// SetUnhandledExceptionFilter: the fault signals run the process's filter on the faulting thread
// and act on its result.
//
// Differs from Windows: the filter runs inside a signal handler, on the thread's alternate
// signal stack when it has one (PalEnsureCrashStack), while the other threads keep running. It
// may call the layer, but a fault that struck while the thread held a lock of the C library or
// of the layer (the heap, the handle table) can make such a call wait forever. A fault inside the
// filter ends the process by that signal. EXCEPTION_EXECUTE_HANDLER ends the process with _exit
// and the low byte of the exception code as its status (never 0): no atexit handler or static
// destructor runs. EXCEPTION_CONTINUE_SEARCH restores the signal's default action; a fault
// raised by an instruction then happens again on return, any other signal is raised again, so
// the process dies by the signal as it would without the handler, and a debugger sees it.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <iterator>
#include <mutex>

#include "crash/exception_record.h"

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP};

std::atomic<LPTOP_LEVEL_EXCEPTION_FILTER> g_filter{nullptr};

// Guards the installation; never taken inside the handler.
std::mutex g_installLock;
bool g_installed = false;
struct sigaction g_previous[std::size(kSignals)];

int ExitStatus(DWORD code) {
    int status = static_cast<int>(code & 0xFFu);
    return status != 0 ? status : 1;
}

// True when returning from the handler runs the faulting instruction again: a fault the kernel
// raised for an instruction, but not a trap (it reports the instruction done) nor a memory error
// found in the background.
bool FaultRepeats(const siginfo_t& info) {
    if (info.si_signo == SIGTRAP || info.si_code <= 0) {
        return false;
    }
    return !(info.si_signo == SIGBUS && info.si_code == BUS_MCEERR_AO);
}

void TakeDefaultCourse(int signo, const siginfo_t& info) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signo, &action, nullptr);
    if (!FaultRepeats(info)) {
        raise(signo);  // blocked while the handler runs: delivered as it returns
    }
}

void OnFaultSignal(int signo, siginfo_t* info, void* raw) {
    int savedErrno = errno;
    auto* uc = static_cast<ucontext_t*>(raw);
    LPTOP_LEVEL_EXCEPTION_FILTER filter = g_filter.load();
    if (filter != nullptr) {
        EXCEPTION_RECORD record;
        CONTEXT context;
        pal::RecordFromSignal(*info, *uc, &record);
        pal::ContextFromSignal(*uc, record, &context);
        EXCEPTION_POINTERS pointers = {&record, &context};
        LONG result = filter(&pointers);
        if (result == EXCEPTION_EXECUTE_HANDLER) {
            _exit(ExitStatus(record.ExceptionCode));
        }
        if (result == EXCEPTION_CONTINUE_EXECUTION) {
            pal::ContextToSignal(context, uc);
            errno = savedErrno;
            return;
        }
    }
    TakeDefaultCourse(signo, *info);
    errno = savedErrno;
}

void Install() {
    PalEnsureCrashStack();
    struct sigaction action {};
    action.sa_sigaction = OnFaultSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signo : kSignals) {
        sigaddset(&action.sa_mask, signo);  // a fault inside the filter ends the process
    }
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &action, &g_previous[i]);
    }
}

void Remove() {
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &g_previous[i], nullptr);
    }
}

}  // namespace

// Differs from Windows: the filter runs in a signal handler on the faulting thread while the other
// threads keep running.
LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(
    LPTOP_LEVEL_EXCEPTION_FILTER lpTopLevelExceptionFilter) {
    std::lock_guard<std::mutex> guard(g_installLock);
    LPTOP_LEVEL_EXCEPTION_FILTER previous = g_filter.exchange(lpTopLevelExceptionFilter);
    if (lpTopLevelExceptionFilter != nullptr && !g_installed) {
        Install();
        g_installed = true;
    } else if (lpTopLevelExceptionFilter == nullptr && g_installed) {
        Remove();
        g_installed = false;
    }
    return previous;
}
