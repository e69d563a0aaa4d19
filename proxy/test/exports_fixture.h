// Test support: the exports (linked as objects, so the library's inner state is at hand)
// against the fake service in a private runtime root. The fake answers the running query with
// 1 unless a test says otherwise, so InitProxy finds a service and starts no program.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "br_service_proxy.h"
#include "fake_service.h"
#include "test_root.h"

namespace proxytest {

class ExportsRoad : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // How many lines of the proxy's log carry this function name and message.
    int LogCount(const std::string& function, const std::string& message);
    // The channels of everything the fake received, in order.
    std::vector<int> Channels();
    // How the fake answers the running query (channel 3), the stop request (channel 4) and
    // everything else (nothing when unset).
    void AnswerQuery(Answer answer);
    void AnswerStop(Answer answer);
    void AnswerOther(std::function<Answer(const Received&)> answer);

    brtest::ScopedTestRoot root_;
    FakeService service_;

private:
    std::mutex answerMutex_;
    Answer queryAnswer_ = Bytes{1};
    Answer stopAnswer_ = Bytes{1};
    std::function<Answer(const Received&)> otherAnswer_;
};

}  // namespace proxytest
