// The engine behind the exported functions: the downloads, one thread each, and one notifier
// thread that makes every observer call, so no call of the engine ever calls an observer and a
// slow observer never holds up a transfer (the stall limit would count that time against it).
//
// Locking: one lock guards all state; it is never held across an observer call, so an observer
// may call any function of the engine from inside its call.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download.h"
#include "http_fetch.h"
#include "p2p_observer.h"
#include "sign.h"

namespace swarmget {

// One observer call waiting for the notifier: slot 1-5 with its arguments.
struct Report {
    uint64_t source;  // the serial of the download that raised it, for merging; 0 for DelRes
    P2PObserver* observer;
    Sign sign;
    int slot;
    std::string text;
    int values[3];
};

// A report of `download` for its own observer.
Report MakeReport(const Download& download, int slot, int value0 = 0, int value1 = 0,
                  int value2 = 0);

class Engine {
public:
    // The process's engine; never destroyed, so a thread still winding down at exit finds it.
    static Engine& Instance();

    void Start();
    // Stops every download and joins every thread of the engine; no observer call runs or
    // follows when it returns (unless called from inside one, which cannot wait for itself).
    void Stop();

    void SetCacheDir(const std::string& dir);
    bool StartDown(const Sign& sign, const std::string& address, P2PObserver* observer);
    void StopDown(const Sign& sign);
    void DelRes(const Sign& sign, P2PObserver* observer);
    void GetResInfo(const Sign& sign, int* value, std::string* text);
    void StopAll();

    // Called by a download's thread.
    void Started(const std::shared_ptr<Download>& download, int64_t total);
    void Progressed(const std::shared_ptr<Download>& download, int64_t received, int64_t total);
    // Opens the temporary file under the lock, so a stop never races its creation; -1 when
    // the download was stopped or the file cannot be made (failed then holds true).
    int OpenPart(const std::shared_ptr<Download>& download, bool* failed);
    void Finish(const std::shared_ptr<Download>& download, const FetchResult& result);

private:
    Engine() = default;

    void RunNotifier(uint64_t generation);
    void Post(Report report);
    // Stops a download that has not ended: no more reports from it, transfer cancelled,
    // temporary file removed. Under the lock.
    void Halt(Download& download);
    std::shared_ptr<Download> Running(const Sign& sign) const;
    // Joins the threads of downloads that have ended. Takes the lock.
    void Reap();

    mutable std::mutex lock_;
    bool started_ = false;
    std::string cacheDir_;                              // from StartBRMV; empty for the default
    std::vector<std::shared_ptr<Download>> downloads_;  // every download whose thread is unjoined
    std::deque<Report> queue_;
    std::condition_variable queued_;  // the notifier waits on it
    std::condition_variable called_;  // signalled when an observer call ends
    std::thread notifier_;
    std::thread::id notifierId_;
    uint64_t generation_ = 0;  // a notifier runs while this holds the value it started with
    bool inCall_ = false;
    Sign callSign_;                // the sign of the running observer call, when inCall_
    uint64_t callGeneration_ = 0;  // the generation of the notifier making it
    uint64_t serial_ = 0;
};

}  // namespace swarmget
