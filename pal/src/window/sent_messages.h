// Messages sent to a thread's windows from other threads. The sender hands the message to the
// target thread's SentMessages and waits on its own; the target handles it inside its next
// GetMessageA or PeekMessageA (this is the queue source that asks first) and answers it. A
// thread that waits for an answer handles the messages sent to it meanwhile, so two threads that
// send to each other do not wait for each other forever.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "window/message_queue.h"

namespace pal {

class Window;

// From a thread other than the window's: hands message to the window's thread and waits for its
// answer, handling the messages sent to the calling thread meanwhile. False, with the last error
// set, when the window or its thread went first (or the calling thread has ended).
bool SendAcrossThreads(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam,
                       LPARAM lParam, std::function<LRESULT()> run, LRESULT* result);

class SentMessages : public MessageSource {
public:
    struct Message {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::shared_ptr<SentMessages> sender;  // where the answer goes
        // What the target thread does in place of calling the window's procedure (the layer's
        // own requests, such as destroying a child of another thread); empty for a message.
        std::function<LRESULT()> run;
        bool handled = false;  // under the sender's lock
        bool done = false;
        LRESULT result = 0;
    };

    // From another thread: queues the message; false when this thread has ended.
    bool Deliver(const std::shared_ptr<Message>& message);
    // On this (the sender's) thread: waits until the message is answered, handling the messages
    // sent to this thread meanwhile. True when the target thread handled it.
    bool AwaitAnswer(const std::shared_ptr<Message>& message);
    // Handles every waiting message; never gives one to the caller.
    bool Take(const MessageFilter& filter, bool remove, MSG* msg,
              std::optional<WakeTime>* wakeAt) override;
    // The thread has ended: waiting messages are answered with 0, later ones refused.
    void Close();

private:
    std::shared_ptr<Message> Next();
    static void Handle(const std::shared_ptr<Message>& message);
    static void Answer(const std::shared_ptr<Message>& message, bool handled, LRESULT result);

    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Message>> waiting_;
    bool closed_ = false;
};

}  // namespace pal
