#include "service_test_fixture.h"

#include "msg_ids.h"
#include "service_globals.h"
#include "stream_test_util.h"

namespace servicetest {

std::string Bytes(const char* hex) {
    return brtest::Bytes(hex);
}

std::string Hex(const std::string& bytes) {
    return brtest::Hex(bytes);
}

void ExpectReply(const FakeCallMessage& message, const char* reply) {
    if (!reply) {
        EXPECT_FALSE(message.HasReply());
        return;
    }
    ASSERT_TRUE(message.HasReply());
    EXPECT_EQ(Hex(message.Reply()), brtest::Norm(reply));
    EXPECT_EQ(message.ReplyLength(), static_cast<int>(Bytes(reply).size()));
}

void ServiceTest::SetUp() {
    center_ = new CServiceMsgCenter;
    ASSERT_TRUE(center_->Init(SERVICE_ENDPOINT_ID));
    g_ServiceMsgCenter = center_;
    proxy_ = std::make_unique<RecordingEndpoint>(PROXY_ENDPOINT_ID);
    ASSERT_TRUE(proxy_->Registered());
}

void ServiceTest::TearDown() {
    ShutDownCenter();
    proxy_.reset();
}

void ServiceTest::ShutDownCenter() {
    if (center_) {
        center_->UnInit();
        g_ServiceMsgCenter = nullptr;
        delete center_;
        center_ = nullptr;
    }
}

}  // namespace servicetest
