// The table of thread message queues. A queue is made by its thread's first take (or quit) and
// removed when the thread ends: by _beginthreadex's wrapper right after the start routine, by
// TerminateThread, and for any other thread by a thread-exit hook.
#include <pthread.h>

#include <unordered_map>

#include "window/message_queue.h"
#include "kernel/thread_self.h"

namespace pal {
namespace {

struct QueueTable {
    std::mutex lock;
    std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> queues;
};

QueueTable& Table() {
    static QueueTable* table = new QueueTable;  // outlives every static destructor
    return *table;
}

void OnThreadExit(void* value) {
    MarkCurrentThreadRetired();
    EndThreadQueue(static_cast<DWORD>(reinterpret_cast<uintptr_t>(value)));
}

pthread_key_t ExitHook() {
    static const pthread_key_t key = [] {
        pthread_key_t made;
        pthread_key_create(&made, &OnThreadExit);
        return made;
    }();
    return key;
}

}  // namespace

std::shared_ptr<MessageQueue> FindThreadQueue(DWORD threadId) {
    QueueTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.queues.find(threadId);
    return it == table.queues.end() ? nullptr : it->second;
}

std::shared_ptr<MessageQueue> CurrentThreadQueue() {
    DWORD id = GetCurrentThreadId();
    if (CurrentThreadRetired()) {
        return nullptr;
    }
    pthread_key_t hook = ExitHook();
    QueueTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    // Checked under the table's lock, so a TerminateThread that removes the queue either sees
    // the new queue or is seen here.
    if (CurrentThreadTerminated()) {
        return nullptr;
    }
    std::shared_ptr<MessageQueue>& queue = table.queues[id];
    if (!queue) {
        queue = std::make_shared<MessageQueue>();
        pthread_setspecific(hook, reinterpret_cast<void*>(static_cast<uintptr_t>(id)));
    }
    return queue;
}

void EndThreadQueue(DWORD threadId) {
    std::shared_ptr<MessageQueue> queue;
    {
        QueueTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        auto it = table.queues.find(threadId);
        if (it == table.queues.end()) {
            return;
        }
        queue = std::move(it->second);
        table.queues.erase(it);
    }
    queue->Close();
}

}  // namespace pal
