#include "window/window_publish.h"

#include <time.h>
#include <unistd.h>

#include "window/post_inbox.h"
#include "process/process_identity.h"
#include "window/window_class.h"
#include "window/window_handle.h"
#include "window/window_registry.h"

namespace pal {
namespace {

unsigned long long MonotonicNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<unsigned long long>(now.tv_sec) * 1000000000ull +
           static_cast<unsigned long long>(now.tv_nsec);
}

}  // namespace

DWORD Publish(Window& window) {
    if (window.root.empty() || window.published.load()) {
        return ERROR_SUCCESS;
    }
    if (DWORD error = JoinInbox(window.root)) {
        return error;
    }
    WindowEntry entry;
    entry.hwnd = WindowValue(window.hwnd);
    entry.pid = getpid();
    entry.processStart = OwnProcessStart();
    entry.threadId = window.threadId;
    entry.created = MonotonicNanoseconds();
    entry.className = window.windowClass->name;
    entry.title = window.Title();
    if (DWORD error = WriteWindowEntry(window.root, entry)) {
        LeaveInbox(window.root);
        return error;
    }
    window.published = true;
    return ERROR_SUCCESS;
}

void Unpublish(Window& window) {
    if (!window.published.exchange(false)) {
        return;
    }
    RemoveWindowEntry(window.root, WindowValue(window.hwnd));
    LeaveInbox(window.root);
}

}  // namespace pal
