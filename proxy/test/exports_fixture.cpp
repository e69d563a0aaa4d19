#include "exports_fixture.h"

#include <sstream>

#include "msg_ids.h"

namespace proxytest {

void ExportsRoad::SetUp() {
    ASSERT_TRUE(service_.Start());
    service_.SetAnswer([this](const Received& request) -> Answer {
        std::lock_guard<std::mutex> lock(answerMutex_);
        switch (request.channel) {
            case CHANNEL_QUERY_RUNNING:
                return queryAnswer_;
            case CHANNEL_STOP:
                return stopAnswer_;
            default:
                return otherAnswer_ ? otherAnswer_(request) : std::nullopt;
        }
    });
}

void ExportsRoad::TearDown() {
    UnInitProxy();
    service_.Stop();
}

void ExportsRoad::AnswerQuery(Answer answer) {
    std::lock_guard<std::mutex> lock(answerMutex_);
    queryAnswer_ = std::move(answer);
}

void ExportsRoad::AnswerStop(Answer answer) {
    std::lock_guard<std::mutex> lock(answerMutex_);
    stopAnswer_ = std::move(answer);
}

void ExportsRoad::AnswerOther(std::function<Answer(const Received&)> answer) {
    std::lock_guard<std::mutex> lock(answerMutex_);
    otherAnswer_ = std::move(answer);
}

int ExportsRoad::LogCount(const std::string& function, const std::string& message) {
    std::istringstream log(brtest::ReadFile(root_.LogDir() + "/brServiceProxy.txt"));
    const std::string tail = " 0 " + function + ": " + message;
    int count = 0;
    for (std::string line; std::getline(log, line);) {
        count += line.size() >= tail.size() && line.ends_with(tail);
    }
    return count;
}

std::vector<int> ExportsRoad::Channels() {
    std::vector<int> channels;
    for (const Received& request : service_.Requests()) {
        channels.push_back(request.channel);
    }
    return channels;
}

}  // namespace proxytest
