// Test support: an observer that records every call it gets, with the thread it came on, and
// lets a test wait for a call or run code of its own inside one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "p2p_observer.h"

namespace swarmgettest {

struct ObserverCall {
    int slot;
    Sign sign;
    std::string text;
    int values[3];
    std::thread::id thread;
};

class RecordingObserver : public P2PObserver {
public:
    void OnP2PNotify1(const Sign& sign, const char* text, int value) override {
        Record({1, sign, text ? text : "(null)", {value, 0, 0}, {}});
    }
    void OnP2PNotify2(const Sign& sign) override { Record({2, sign, "", {0, 0, 0}, {}}); }
    void OnP2PNotify3(const Sign& sign, int code) override {
        Record({3, sign, "", {code, 0, 0}, {}});
    }
    void OnP2PNotify4(const Sign& sign, int a, int b, int c) override {
        Record({4, sign, "", {a, b, c}, {}});
    }
    void OnP2PNotify5(const Sign& sign) override { Record({5, sign, "", {0, 0, 0}, {}}); }
    void OnP2PNotify6(const Sign& sign, const Sign&, const char*) override {
        Record({6, sign, "", {0, 0, 0}, {}});
    }
    void OnP2PNotify7() override { Record({7, Sign(), "", {0, 0, 0}, {}}); }

    // Runs inside every call, after it is recorded, on the engine's thread.
    void SetHook(std::function<void(const ObserverCall&)> hook) {
        std::lock_guard<std::mutex> hold(lock_);
        hook_ = std::move(hook);
    }

    std::vector<ObserverCall> Calls() const {
        std::lock_guard<std::mutex> hold(lock_);
        return calls_;
    }

    // Waits until a call of `slot` has come (for the sign, when given).
    bool WaitFor(int slot, const Sign* sign = nullptr,
                 std::chrono::milliseconds limit = std::chrono::seconds(20)) const {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, limit, [&] {
            for (const ObserverCall& call : calls_) {
                if (call.slot == slot && (!sign || call.sign == *sign)) {
                    return true;
                }
            }
            return false;
        });
    }

private:
    void Record(ObserverCall call) {
        call.thread = std::this_thread::get_id();
        std::function<void(const ObserverCall&)> hook;
        {
            std::lock_guard<std::mutex> hold(lock_);
            calls_.push_back(call);
            hook = hook_;
        }
        changed_.notify_all();
        if (hook) {
            hook(call);
        }
    }

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<ObserverCall> calls_;
    std::function<void(const ObserverCall&)> hook_;
};

}  // namespace swarmgettest
