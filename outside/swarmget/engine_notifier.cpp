// The notifier side of the engine: the queue of reports and the thread that makes every
// observer call.
#include <utility>

#include "engine.h"
#include "windows.h"

namespace swarmget {

namespace {

void Call(const Report& report) {
    P2PObserver* observer = report.observer;
    switch (report.slot) {
        case 1:
            observer->OnP2PNotify1(report.sign, report.text.c_str(), report.values[0]);
            break;
        case 2:
            observer->OnP2PNotify2(report.sign);
            break;
        case 3:
            observer->OnP2PNotify3(report.sign, report.values[0]);
            break;
        case 4:
            observer->OnP2PNotify4(report.sign, report.values[0], report.values[1],
                                   report.values[2]);
            break;
        case 5:
            observer->OnP2PNotify5(report.sign);
            break;
    }
}

}  // namespace

Report MakeReport(const Download& download, int slot, int value0, int value1, int value2) {
    Report report{download.serial, download.observer, download.sign, slot, std::string(), {}};
    report.values[0] = value0;
    report.values[1] = value1;
    report.values[2] = value2;
    return report;
}

void Engine::Post(Report report) {
    if (!started_ || !report.observer) {
        return;
    }
    if (report.slot == 4 && report.source != 0) {
        // A progress report still waiting is replaced by the newer one, so a slow observer
        // sees fewer reports instead of a growing queue.
        for (auto it = queue_.rbegin(); it != queue_.rend(); ++it) {
            if (it->source == report.source) {
                if (it->slot == 4) {
                    *it = std::move(report);
                    return;
                }
                break;
            }
        }
    }
    queue_.push_back(std::move(report));
    // All: a notifier left from before a restart may wait here too, and only quits when woken.
    queued_.notify_all();
}

void Engine::RunNotifier(uint64_t generation) {
    PalEnsureCrashStack();  // a stack overflow here still reaches the exception filter
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        queued_.wait(hold, [&] { return generation_ != generation || !queue_.empty(); });
        if (generation_ != generation) {
            return;
        }
        Report report = std::move(queue_.front());
        queue_.pop_front();
        inCall_ = true;
        callSign_ = report.sign;
        callGeneration_ = generation;
        hold.unlock();
        Call(report);
        hold.lock();
        // A Stop from inside the call may have let a new notifier begin its own calls.
        if (inCall_ && callGeneration_ == generation) {
            inCall_ = false;
            called_.notify_all();
        }
    }
}

}  // namespace swarmget
