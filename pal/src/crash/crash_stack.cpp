// PalEnsureCrashStack: an alternate signal stack per thread, so that a stack overflow still
// reaches the exception filter.
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include "windows.h"

namespace {

// Room for the filter and what it calls (formatting, file creation, a crash dump), with the
// larger frames of sanitizer builds.
constexpr size_t kStackSize = 256 * 1024;

// The thread's own stack; released when the thread ends.
struct CrashStack {
    char* mapping = nullptr;
    size_t length = 0;

    ~CrashStack() {
        if (mapping == nullptr) {
            return;
        }
        stack_t current;
        if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == mapping + Guard()) {
            stack_t off{};
            off.ss_flags = SS_DISABLE;
            sigaltstack(&off, nullptr);
        }
        munmap(mapping, length);
    }

    static size_t Guard() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }
};

thread_local CrashStack t_stack;

}  // namespace

BOOL PalEnsureCrashStack() {
    stack_t current;
    if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) {
        return TRUE;  // the thread has one, ours or another library's
    }
    size_t guard = CrashStack::Guard();
    size_t length = kStackSize + guard;
    void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping == MAP_FAILED) {
        return FALSE;
    }
    auto* base = static_cast<char*>(mapping);
    mprotect(base, guard, PROT_NONE);  // an overflow of the handler faults instead of corrupting
    stack_t stack{};
    stack.ss_sp = base + guard;
    stack.ss_size = kStackSize;
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(mapping, length);
        return FALSE;
    }
    t_stack.mapping = base;
    t_stack.length = length;
    return TRUE;
}
