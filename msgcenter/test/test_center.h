// Test support: a message center that routes as the tests say, used by the test process's own
// endpoint and by the peer helper program, so both sides of a test answer alike. It records
// every message it receives.
//
// A message without payload is answered with the one byte 1 (as the service answers its
// running query and stop request). Otherwise the payload's first int is a command:
#pragma once

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "msg_center.h"
#include "received_log.h"

namespace mctest {

enum Command : int {
    kEcho = 1,         // replies with the whole payload
    kDelayEcho = 2,    // int milliseconds: sleeps, then replies with the whole payload
    kLog = 3,          // replies with the messages received before this one (ReadLog)
    kFields = 4,       // reads one field of every kind (WriteFields) and writes them back
    kSilent = 5,       // stores no reply
    kLiveBuffers = 6,  // replies int: call-center buffers alive in this process
};

using brtest::Received;

// One value of every field kind of the byte stream.
struct Fields {
    int number = 0;
    BYTE flag = 0;
    Sign sign;
    std::string text;
    PlayQuad quad;
    PlayBlock block;
    PlayRequest request;
    std::string raw;  // written as an int length and the bytes
};
Fields SampleFields(int seed);
bool SameFields(const Fields& a, const Fields& b);
// kFields, then the fields in the order of the struct.
std::string WriteFields(const Fields& fields);
// The fields after the command; false when a field is missing.
bool ReadFields(CStreamReader& reader, Fields& fields);

// A payload of ints (the first is the command) followed by raw text.
std::string Payload(std::initializer_list<int> ints, const std::string& text = std::string());
// The log a kLog reply carries; false when it is malformed.
bool ReadLog(const std::string& reply, std::vector<Received>& log);

class CTestCenter : public CMsgCenter {
public:
    HRESULT OnMessage(ICallMessage* message) override;

    std::vector<Received> Log() const;
    // Waits until at least count messages have arrived; false after the time-out.
    bool WaitForCount(size_t count, int milliseconds) const;

private:
    void Answer(CallMsgRecord* record, const void* bytes, size_t size);
    std::string Route(int channel, const std::string& bytes, bool* reply);

    brtest::ReceivedLog log_;
};

// Text as hex pairs without separators and back, for the helper's command lines.
std::string ToHex(const std::string& bytes);
std::string FromHex(const std::string& hex);

}  // namespace mctest
