// A doorbell for the engine's thread: anyone may ring it, from any thread and without the
// engine's lock; the thread waits until it has been rung at least once since its last wait.
#pragma once

#include <condition_variable>
#include <mutex>

class Doorbell {
public:
    void Ring() {
        std::lock_guard lock(mu_);
        rung_ = true;
        changed_.notify_one();
    }
    void Wait() {
        std::unique_lock lock(mu_);
        changed_.wait(lock, [this] { return rung_; });
        rung_ = false;
    }

private:
    std::mutex mu_;
    std::condition_variable changed_;
    bool rung_ = false;
};
