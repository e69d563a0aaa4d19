// What the window area keeps per thread: the thread's queue and the three sources of messages
// that are made when due rather than posted, registered with the queue in Windows's order
// (sent messages before posted ones; paint, then timers, after the quit state).
//
// Made by a thread's first window, timer or send; ended with the thread's queue, when the
// thread's windows are dropped without messages (the thread can no longer handle any), its
// timers stop and the messages still waiting to be sent to it are answered with 0.
#pragma once

#include <memory>

#include "window/message_queue.h"

namespace pal {

class SentMessages;
class PaintSource;
class TimerSource;

struct UiThread {
    DWORD id = 0;
    std::shared_ptr<MessageQueue> queue;
    std::shared_ptr<SentMessages> sent;
    std::shared_ptr<PaintSource> paint;
    std::shared_ptr<TimerSource> timers;
};

// The calling thread's, made on first use; null once the thread has ended for the layer.
std::shared_ptr<UiThread> CurrentUiThread();
// The calling thread's if it has one; never makes it.
std::shared_ptr<UiThread> ExistingUiThread();

}  // namespace pal
