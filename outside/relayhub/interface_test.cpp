// The tables and records other code is built against: slot positions, the record's layout and
// the interface id, and what the reserved slots of the real objects answer.
#include "relayhub.h"

#include <gtest/gtest.h>

#include <cstring>

#include "test_peer.h"
#include "test_root.h"

namespace {

// The slot of a virtual member function. In the Itanium C++ ABI a pointer to a virtual member
// holds 1 plus the byte offset of its slot in the table.
template <typename F>
long SlotOf(F member) {
    static_assert(sizeof(F) == 2 * sizeof(uintptr_t));
    uintptr_t raw[2];
    std::memcpy(raw, &member, sizeof raw);
    if ((raw[0] & 1) == 0) {
        return -1;  // not virtual
    }
    return static_cast<long>((raw[0] - 1) / sizeof(void*));
}

struct SlotCase {
    const char* name;
    long slot;
    long expected;
};

TEST(RelayHubInterface, OperationsSitAtTheirTablePositions) {
    const SlotCase cases[] = {
        {"IUnknown::QueryInterface", SlotOf(&ICallCenter::QueryInterface), 0},
        {"IUnknown::AddRef", SlotOf(&ICallCenter::AddRef), 1},
        {"IUnknown::Release", SlotOf(&ICallCenter::Release), 2},
        {"IMessageCallBack::OnMessage", SlotOf(&IMessageCallBack::OnMessage), 3},
        {"ICallCenter::CreateEndpoint", SlotOf(&ICallCenter::CreateEndpoint), 10},
        {"ICallCenter::ReleaseEndpoint", SlotOf(&ICallCenter::ReleaseEndpoint), 12},
        {"ICallCenter::AllocBuffer", SlotOf(&ICallCenter::AllocBuffer), 18},
        {"ICallCenter::FreeBuffer", SlotOf(&ICallCenter::FreeBuffer), 19},
        {"ICallEndpoint::Call", SlotOf(&ICallEndpoint::Call), 8},
        {"ICallMessage::GetRecord", SlotOf(&ICallMessage::GetRecord), 15},
        {"ICallCenter::Reserved3", SlotOf(&ICallCenter::Reserved3), 3},
        {"ICallCenter::Reserved11", SlotOf(&ICallCenter::Reserved11), 11},
        {"ICallCenter::Reserved17", SlotOf(&ICallCenter::Reserved17), 17},
        {"ICallEndpoint::Reserved7", SlotOf(&ICallEndpoint::Reserved7), 7},
        {"ICallMessage::Reserved14", SlotOf(&ICallMessage::Reserved14), 14},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.slot, c.expected) << c.name;
    }
}

TEST(RelayHubInterface, RecordKeepsFortyLeadingBytesThenTheFieldsInOrder) {
    EXPECT_EQ(offsetof(CallMsgRecord, channel), 40u);
    EXPECT_LT(offsetof(CallMsgRecord, channel), offsetof(CallMsgRecord, payload));
    EXPECT_LT(offsetof(CallMsgRecord, payload), offsetof(CallMsgRecord, length));
    EXPECT_LT(offsetof(CallMsgRecord, length), offsetof(CallMsgRecord, replyOut));
    EXPECT_LT(offsetof(CallMsgRecord, replyOut), offsetof(CallMsgRecord, replyLengthOut));
}

TEST(RelayHubInterface, CallbackIdIsItsSixteenBytes) {
    const uint8_t bytes[16] = {0xDA, 0x1E, 0xA3, 0x45, 0x75, 0x8B, 0x21, 0x46,
                               0x9B, 0x49, 0x8C, 0x2F, 0x13, 0x4E, 0x16, 0x6D};
    EXPECT_EQ(std::memcmp(&IID_IMessageCallBack, bytes, 16), 0);
}

TEST(RelayHubInterface, RealObjectsAnswerTheirIdsAndRefuseReservedSlots) {
    brtest::ScopedTestRoot root;
    std::string dir = root.Runtime() + "/callcenter";
    ICallCenter* center = RS_InitializeCallCenter(dir.c_str(), 3);
    ASSERT_NE(center, nullptr);
    relayhubtest::TestPeer peer(center);
    ICallEndpoint* endpoint = center->CreateEndpoint(70, 0, &peer, 0);
    ASSERT_NE(endpoint, nullptr);

    void* out = nullptr;
    EXPECT_EQ(center->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, center);
    EXPECT_EQ(center->QueryInterface(IID_ICallCenter, &out), S_OK);
    EXPECT_EQ(center->QueryInterface(IID_IMessageCallBack, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(endpoint->QueryInterface(IID_ICallEndpoint, &out), S_OK);
    EXPECT_EQ(out, endpoint);
    EXPECT_EQ(endpoint->QueryInterface(IID_ICallCenter, &out), E_NOINTERFACE);

    EXPECT_EQ(center->Reserved3(), RH_E_RESERVED_SLOT);
    EXPECT_EQ(center->Reserved11(), RH_E_RESERVED_SLOT);
    EXPECT_EQ(center->Reserved17(), RH_E_RESERVED_SLOT);
    EXPECT_EQ(endpoint->Reserved3(), RH_E_RESERVED_SLOT);
    EXPECT_EQ(endpoint->Reserved7(), RH_E_RESERVED_SLOT);
    EXPECT_EQ(center->ReleaseEndpoint(endpoint), S_OK);
}

}  // namespace
