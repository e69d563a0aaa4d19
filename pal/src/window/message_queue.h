// The message queue of one thread, and the table that finds a thread's queue by its id.
//
// A queue holds the messages posted to its thread in posting order, with the window they are
// for (NULL for thread messages), and the thread's quit state. Only its own thread takes
// messages from it; any thread may post to it.
//
// Messages that are not posted but made when they are due (messages sent from another thread,
// which are handled inside the taking call; WM_PAINT; WM_TIMER) come from MessageSources that
// the window and timer code registers with the queue. A take looks, in this order, at the
// sources of the stage kBeforePosted (sent messages), the posted messages, the quit state, and
// the sources of the stage kAfterQuit (paint, then timers), the order in which Windows hands
// them out. A source that gets something to give from another thread calls Wake; one that will
// have something at a known time (a timer) says so through its wake-up time.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "windows.h"

namespace pal {

// The HWND filter value that takes thread messages only.
inline const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

// The filter of GetMessageA and PeekMessageA.
struct MessageFilter {
    HWND hwnd = nullptr;  // NULL: every message of the thread; kThreadMessagesOnly; or a window
    UINT min = 0;         // min and max both 0: every message
    UINT max = 0;
    bool Matches(const MSG& msg) const;
};

using WakeTime = std::chrono::steady_clock::time_point;

class MessageSource {
public:
    enum class Stage { kBeforePosted, kAfterQuit };
    virtual ~MessageSource() = default;
    // Called on the queue's own thread without the queue's lock. Returns true with *msg filled
    // when it has a message that matches (and, with remove, gives it up). Otherwise false; when
    // it will have one at a known time, it lowers *wakeAt to that time.
    virtual bool Take(const MessageFilter& filter, bool remove, MSG* msg,
                      std::optional<WakeTime>* wakeAt) = 0;
};

class MessageQueue {
public:
    // Windows refuses posts beyond this many waiting messages.
    static constexpr size_t kPostLimit = 10000;
    enum class PostResult { kPosted, kFull, kClosed };

    PostResult Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Sets the quit state; a later call replaces the exit code.
    void PostQuit(int exitCode);

    // The next message for the filter, in the order described above. With wait it waits until
    // there is one; false when there is none (without wait) or the queue has been closed.
    bool Take(const MessageFilter& filter, bool remove, bool wait, MSG* msg);

    // Sources are added and removed on the queue's own thread. Within a stage they are asked in
    // the order they were added. The queue keeps a shared source alive while it is registered
    // (and during a Take that asks it); a source given by pointer must outlive its registration.
    void AddSource(std::shared_ptr<MessageSource> source, MessageSource::Stage stage);
    void AddSource(MessageSource* source, MessageSource::Stage stage);
    void RemoveSource(MessageSource* source);
    // Drops the posted messages for a window (it is being destroyed).
    void RemoveWindowMessages(HWND hwnd);
    // Makes a waiting Take look again.
    void Wake();
    // Runs hook once when the queue is closed, on the closing thread, without the queue's lock.
    // A hook added to a closed queue runs at once.
    void AddCloseHook(std::function<void()> hook);
    // The thread has ended: posts fail, a waiting Take returns false, the close hooks run and the
    // sources are let go.
    void Close();

private:
    struct Registered {
        std::shared_ptr<MessageSource> source;
        MessageSource::Stage stage;
    };
    bool TakeFromSources(const std::vector<Registered>& sources, MessageSource::Stage stage,
                         const MessageFilter& filter, bool remove, MSG* msg,
                         std::optional<WakeTime>* wakeAt);
    bool TakePostedLocked(const MessageFilter& filter, bool remove, MSG* msg);
    void ChangedLocked();

    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<MSG> posted_;
    std::vector<Registered> sources_;
    std::vector<std::function<void()>> closeHooks_;
    bool quit_ = false;
    int quitCode_ = 0;
    bool closed_ = false;
    unsigned long long generation_ = 0;  // counts every change a waiting Take must look at
};

// The queue of thread id, or null when that thread has none (not made yet, or ended).
std::shared_ptr<MessageQueue> FindThreadQueue(DWORD threadId);
// The calling thread's queue, made on first use; null once the thread has ended for the layer.
std::shared_ptr<MessageQueue> CurrentThreadQueue();
// Removes and closes the queue of thread id, if it has one.
void EndThreadQueue(DWORD threadId);

}  // namespace pal
