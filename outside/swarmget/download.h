// One download: what it fetches and where to, its transfer, and its thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "http_fetch.h"
#include "p2p_observer.h"
#include "sign.h"

namespace swarmget {

class Engine;

struct Download {
    Download(uint64_t serial, const Sign& sign, std::string address, P2PObserver* observer,
             std::string finalPath, std::string partPath, const FetchLimits& limits);

    const uint64_t serial;  // unique in the process, never 0
    const Sign sign;
    const std::string address;
    P2PObserver* const observer;
    const std::string finalPath;
    const std::string partPath;
    const FetchLimits limits;

    HttpFetch fetch;
    std::thread thread;

    // Guarded by the engine's lock.
    bool halted = false;  // stopped from outside: it reports nothing more
    bool ended = false;   // its thread has finished with the engine and only returns

    // Written by its thread, read by GetResInfo.
    std::atomic<int64_t> received{0};
    std::atomic<int64_t> total{-1};
};

// The body of a download's thread: temporary file, transfer, then rename or clean-up.
void RunDownload(Engine& engine, std::shared_ptr<Download> download);

// Percent done of a running download, 0-99: 100 is kept for the complete file.
int PercentDone(int64_t received, int64_t total);
// A byte count as an observer int, saturated at INT_MAX; -1 stays -1.
int ClampToInt(int64_t value);

}  // namespace swarmget
