// Test support: the service's message center registered on SERVICE_ENDPOINT_ID in a runtime
// root of the test's own and set as g_ServiceMsgCenter, and a recording endpoint on
// PROXY_ENDPOINT_ID in the proxy's place, so replies get real buffers and notifications really
// travel.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fake_call_message.h"
#include "recording_endpoint.h"
#include "service_msg_center.h"
#include "test_root.h"

namespace servicetest {

// Bytes from a hex notation ("05 00 00 00 | 61 00") and back.
std::string Bytes(const char* hex);
std::string Hex(const std::string& bytes);
// Expects the message's reply to be exactly these bytes (hex notation); no reply for null.
void ExpectReply(const FakeCallMessage& message, const char* reply);

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program's shutdown of the message center: UnInit, clear the pointer, delete.
    void ShutDownCenter();

    brtest::ScopedTestRoot root_;
    CServiceMsgCenter* center_ = nullptr;
    std::unique_ptr<RecordingEndpoint> proxy_;
};

}  // namespace servicetest
