// Messages sent to a thread's windows from other threads. The sender hands the message to the
// target thread's SentMessages and waits on its own; the target handles it inside its next
// GetMessageA or PeekMessageA (this is the queue source that asks first) and answers it. A
// thread that waits for an answer handles the messages sent to it meanwhile, so two threads that
// send to each other do not wait for each other forever.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "window/message_queue.h"

namespace pal {

class SentMessages : public MessageSource {
public:
    struct Message {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::shared_ptr<SentMessages> sender;  // where the answer goes
        bool handled = false;                  // under the sender's lock
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
