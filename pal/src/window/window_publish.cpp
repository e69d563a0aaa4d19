#include "window/window_publish.h"

#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>

#include "window/post_inbox.h"
#include "process/process_identity.h"
#include "window/window_class.h"
#include "window/window_handle.h"
#include "window/window_registry.h"

namespace pal {
namespace {

// The windows this process has published, by handle value, with their roots: what the process
// still has to take back when it ends without destroying them.
struct PublishedTable {
    std::mutex lock;
    std::map<uint64_t, std::string> roots;
};

PublishedTable& Published() {
    static PublishedTable* table = new PublishedTable;  // outlives every static destructor
    return *table;
}

// Takes back the record and the inbox of one window, once: true when it was still published.
bool Withdraw(uint64_t hwnd) {
    std::string root;
    {
        PublishedTable& table = Published();
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.roots.find(hwnd);
        if (it == table.roots.end()) {
            return false;
        }
        root = std::move(it->second);
        table.roots.erase(it);
    }
    RemoveWindowEntry(root, hwnd);
    LeaveInbox(root);
    return true;
}

// A program that returns from its entry without destroying its windows (a service that ends its
// loop on WM_DESTROY) ends with them, as on Windows: their records and its inbox go with it.
void WithdrawAllAtExit() {
    for (;;) {
        uint64_t hwnd;
        {
            PublishedTable& table = Published();
            std::lock_guard<std::mutex> guard(table.lock);
            if (table.roots.empty()) {
                return;
            }
            hwnd = table.roots.begin()->first;
        }
        Withdraw(hwnd);
    }
}

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
    {
        static std::once_flag registered;
        std::call_once(registered, [] { std::atexit(&WithdrawAllAtExit); });
        PublishedTable& table = Published();
        std::lock_guard<std::mutex> guard(table.lock);
        table.roots[entry.hwnd] = window.root;
    }
    window.published = true;
    return ERROR_SUCCESS;
}

void Unpublish(Window& window) {
    if (window.published.exchange(false)) {
        Withdraw(WindowValue(window.hwnd));
    }
}

}  // namespace pal
