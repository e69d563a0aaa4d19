// The test's endpoint on PROXY_ENDPOINT_ID (4098), in the proxy's place: a message center that
// records every message the service sends it (the notifications) and makes the test's calls to
// the service's endpoint.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "msg_center.h"
#include "received_log.h"
#include "stream_test_util.h"

namespace servicetest {

using brtest::Bytes;
using brtest::Received;

// A call's outcome: the message center's result, and the reply when the service stored one.
struct Reply {
    int result = -1;
    bool replied = false;
    std::string bytes;
};

class TestEndpoint final : public CMsgCenter {
public:
    HRESULT OnMessage(ICallMessage* message) override;

    // A synchronous call to the service's endpoint through the worker, waiting at most the
    // time-out.
    Reply Call(int channel, const std::string& payload, DWORD timeout = 20000);

    std::vector<Received> Messages() const;
    // Waits until the messages received so far satisfy done; false after the time-out.
    bool WaitFor(const std::function<bool(const std::vector<Received>&)>& done,
                 int timeoutMs) const;

private:
    brtest::ReceivedLog log_;
};

// The first int of a payload (its command or notification id), or -1 when it has none.
int PayloadId(const std::string& bytes);
// How many messages on that channel carry that id.
int CountOf(const std::vector<Received>& messages, int channel, int id);

}  // namespace servicetest
