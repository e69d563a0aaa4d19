#include "test_center.h"

#include <chrono>
#include <cstring>

#include "brlib.h"
#include "call_center.h"

namespace mctest {

Fields SampleFields(int seed) {
    Fields f;
    f.number = -123456789 + seed;
    f.flag = 1;
    f.sign = Sign(0xDEADBEEFu + static_cast<uint32_t>(seed), 0x01020304u);
    f.text = "track " + std::to_string(seed) + " \xD6\xD0";  // with a GBK character
    f.quad.value[0] = seed;
    f.quad.value[1] = -1;
    f.quad.value[2] = 0x7FFFFFFF;
    f.quad.value[3] = 3;
    for (size_t i = 0; i < sizeof f.block.bytes; ++i) {
        f.block.bytes[i] = static_cast<uint8_t>(i * 7 + seed);
    }
    f.request.value0 = 1;
    f.request.itemNumber = seed;
    std::strcpy(f.request.text0, "first text");
    f.request.itemSign = Sign(5, 6);
    std::strcpy(f.request.itemText3, "last text");
    f.request.itemExtra = -9;
    f.raw = std::string("\0\x01\xFFraw", 6);
    return f;
}

bool SameFields(const Fields& a, const Fields& b) {
    return a.number == b.number && a.flag == b.flag && a.sign == b.sign && a.text == b.text &&
           std::memcmp(&a.quad, &b.quad, sizeof a.quad) == 0 &&
           std::memcmp(&a.block, &b.block, sizeof a.block) == 0 &&
           std::memcmp(&a.request, &b.request, sizeof a.request) == 0 && a.raw == b.raw;
}

std::string WriteFields(const Fields& f) {
    CStreamWriter w;
    w.WriteInt(kFields);
    w.WriteInt(f.number);
    w.WriteByte(f.flag);
    w.WriteSign(f.sign);
    w.WriteString(f.text);
    w.WriteQuad(f.quad);
    w.WriteBlock(f.block);
    w.WritePlayRequest(f.request);
    w.WriteInt(static_cast<int>(f.raw.size()));
    w.WriteRaw(f.raw.data(), static_cast<int>(f.raw.size()));
    return std::string(reinterpret_cast<const char*>(w.GetData()), w.GetSize());
}

bool ReadFields(CStreamReader& r, Fields& f) {
    int rawLength = 0;
    if (!(r.ReadInt(f.number) && r.ReadByte(f.flag) && r.ReadSign(f.sign) && r.ReadString(f.text) &&
          r.ReadQuad(f.quad) && r.ReadBlock(f.block) && r.ReadPlayRequest(f.request) &&
          r.ReadInt(rawLength)) ||
        rawLength < 0 || static_cast<uint32_t>(rawLength) > r.GetRemaining()) {
        return false;
    }
    f.raw.resize(static_cast<size_t>(rawLength));
    return r.ReadRaw(f.raw.data(), rawLength);
}

std::string Payload(std::initializer_list<int> ints, const std::string& text) {
    CStreamWriter w;
    for (int value : ints) {
        w.WriteInt(value);
    }
    w.WriteRaw(text.data(), static_cast<int>(text.size()));
    return std::string(reinterpret_cast<const char*>(w.GetData()), w.GetSize());
}

bool ReadLog(const std::string& reply, std::vector<Received>& log) {
    CStreamReader r;
    r.Attach(reply.data(), reply.data() + reply.size());
    int count = 0;
    if (!r.ReadInt(count) || count < 0) {
        return false;
    }
    log.clear();
    for (int i = 0; i < count; ++i) {
        Received entry;
        int length = 0;
        if (!r.ReadInt(entry.channel) || !r.ReadInt(length) || length < 0 ||
            static_cast<uint32_t>(length) > r.GetRemaining()) {
            return false;
        }
        entry.bytes.resize(static_cast<size_t>(length));
        r.ReadRaw(entry.bytes.data(), length);
        log.push_back(std::move(entry));
    }
    return r.GetRemaining() == 0;
}

HRESULT CTestCenter::OnMessage(ICallMessage* message) {
    CallMsgRecord* record = nullptr;
    if (!message || message->GetRecord(&record) != S_OK || !record) {
        return E_FAIL;
    }
    std::string bytes;
    if (record->length > 0 && record->payload) {
        bytes.assign(static_cast<const char*>(record->payload),
                     static_cast<size_t>(record->length));
    }
    bool reply = true;
    std::string answer = Route(record->channel, bytes, &reply);
    if (reply) {
        Answer(record, answer.data(), answer.size());
    }
    log_.Add(record->channel, bytes.data(), static_cast<int32_t>(bytes.size()));
    return S_OK;
}

std::string CTestCenter::Route(int channel, const std::string& bytes, bool* reply) {
    (void)channel;
    if (bytes.empty()) {
        return std::string(1, '\x01');
    }
    CStreamReader r;
    r.Attach(bytes.data(), bytes.data() + bytes.size());
    int command = 0;
    r.ReadInt(command);
    switch (command) {
        case kDelayEcho: {
            int ms = 0;
            r.ReadInt(ms);
            Sleep(static_cast<DWORD>(ms));
            return bytes;
        }
        case kLog: {
            std::vector<Received> log = Log();
            CStreamWriter w;
            w.WriteInt(static_cast<int>(log.size()));
            for (const Received& entry : log) {
                w.WriteInt(entry.channel);
                w.WriteInt(static_cast<int>(entry.bytes.size()));
                w.WriteRaw(entry.bytes.data(), static_cast<int>(entry.bytes.size()));
            }
            return std::string(reinterpret_cast<const char*>(w.GetData()), w.GetSize());
        }
        case kFields: {
            Fields fields;
            if (!ReadFields(r, fields)) {
                *reply = false;
                return std::string();
            }
            return WriteFields(fields);
        }
        case kSilent:
            *reply = false;
            return std::string();
        case kLiveBuffers: {
            // The same directory gives the same call center of this process.
            auto* center = static_cast<relayhub::CallCenter*>(RS_InitializeCallCenter(
                BrLib::Dir::GetBrPath(BrLib::BR_PATH_CALLCENTER_DIR).c_str(), 3));
            return Payload({center ? static_cast<int>(center->LiveBuffers()) : -1});
        }
        default:
            return bytes;
    }
}

void CTestCenter::Answer(CallMsgRecord* record, const void* bytes, size_t size) {
    void* buffer = AllocReply(static_cast<int>(size));
    if (!buffer) {
        return;
    }
    if (size > 0) {
        std::memcpy(buffer, bytes, size);
    }
    *record->replyOut = buffer;
    *record->replyLengthOut = static_cast<int32_t>(size);
}

std::vector<Received> CTestCenter::Log() const {
    return log_.All();
}

bool CTestCenter::WaitForCount(size_t count, int milliseconds) const {
    return log_.WaitForCount(count, std::chrono::milliseconds(milliseconds));
}

std::string ToHex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}

std::string FromHex(const std::string& hex) {
    std::string out;
    auto value = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(value(hex[i]) << 4 | value(hex[i + 1]));
    }
    return out;
}

}  // namespace mctest
