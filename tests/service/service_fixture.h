// The fixture of the service's end-to-end tests: a runtime root of the test's own, the test's
// endpoint on 4098 in the proxy's place, and the processes the test starts, all killed and
// reaped at its end.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "service_run.h"
#include "test_endpoint.h"
#include "test_root.h"

namespace servicetest {

// Generous bounds: the sanitizer builds start and run the program several times slower.
constexpr int kStartMs = 30000;
constexpr int kExitMs = 30000;

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A test installation under the root (install/) with that engine; the program's path.
    std::string Install(Engine engine);
    // Starts the program and waits until it answers the running query; -1 when it does not.
    pid_t StartAnswering(const std::string& program);
    // True when the running query is answered with the one byte 1.
    bool Answering();

    // A stand-in client program under that file name, started in the root; its pid.
    pid_t StartClient(const std::string& fileName, const std::string& reportedName);

    // The recording engine's log lines (recording_engine.cpp), each without its time stamp.
    std::vector<std::string> EngineLog() const;
    // The time stamps (monotonic ms) of the log lines that begin with that word.
    std::vector<long long> EngineTimes(const std::string& word) const;

    // The service's endpoint socket and the download engine's partial files in the root.
    std::string ServiceSocket() const;
    std::string PartialFiles() const;

    brtest::ScopedTestRoot root_;
    TestEndpoint endpoint_;
    Processes processes_;
};

// The monotonic clock the recording engine stamps its lines with, in ms.
long long MonotonicMs();

}  // namespace servicetest
