#include "p2p_script.h"

#include <cstring>

#include "byte_stream.h"
#include "msg_ids.h"
#include "p2p_protocol.h"

namespace proxytest {

Observers::Observers(Journal& journal) {
    for (char name : {'A', 'B', 'C'}) {
        observers_[name] = std::make_unique<RecordingObserver>(journal, std::string(1, name));
    }
}

P2PObserver* Observers::operator[](char name) {
    const auto found = observers_.find(name);
    return found == observers_.end() ? nullptr : found->second.get();
}

std::string Observers::NameOfTag(int tag) {
    if (tag == 0) {
        return "0";
    }
    for (auto& [name, observer] : observers_) {
        const P2PObserver* pointer = observer.get();
        if (static_cast<int>(reinterpret_cast<uintptr_t>(pointer)) == tag) {
            return std::string(1, name);
        }
    }
    return "?";
}

Bytes Notification1(int n, const std::string& text, int value) {
    const Sign s = TestSign(n);
    return Cat({Ints({1}), SignBytes(s.first, s.second), Text(text), Ints({value})});
}

Bytes Notification2(int n) {
    const Sign s = TestSign(n);
    return Cat({Ints({2}), SignBytes(s.first, s.second)});
}

Bytes Notification3(int n, int code) {
    const Sign s = TestSign(n);
    return Cat({Ints({3}), SignBytes(s.first, s.second), Ints({code})});
}

Bytes Notification5(int n) {
    const Sign s = TestSign(n);
    return Cat({Ints({5}), SignBytes(s.first, s.second)});
}

std::vector<std::string> Describe(const std::vector<Received>& requests, Observers& observers) {
    std::vector<std::string> lines;
    for (const Received& request : requests) {
        CStreamReader reader;
        reader.Attach(request.payload.data(), request.payload.data() + request.payload.size());
        int id = 0;
        Sign sign;
        std::string text;
        int a = 0, b = 0, c = 0, tag = 0;
        BYTE flag = 0;
        bool whole = request.channel == CHANNEL_P2P && reader.ReadInt(id);
        std::string line = std::to_string(id);
        switch (id) {
            case P2P_CMD_START_DOWN:
                whole = whole && reader.ReadStartDown(sign, text, a, b, c, tag, flag);
                line += " " + SignText(sign) + " " + observers.NameOfTag(tag);
                break;
            case P2P_CMD_STOP_DOWN:
            case P2P_CMD_DEL_RES:
                whole = whole && reader.ReadSignInt(sign, tag);
                line += " " + SignText(sign) + " " + observers.NameOfTag(tag);
                break;
            case P2P_CMD_GET_RES_INFO:
                whole = whole && reader.ReadSign(sign);
                line += " " + SignText(sign);
                break;
            case P2P_CMD_ENABLE_VIP_SERVICE:
                whole = whole && reader.ReadIntByte(a, flag);
                line += " " + std::to_string(a) + " " + std::to_string(flag);
                break;
            case P2P_CMD_SET_SYS_MSG_WND:
                whole = whole && reader.ReadInt(a);
                line += " " + std::to_string(a);
                break;
            default:
                break;
        }
        lines.push_back(whole && reader.GetRemaining() == 0 ? line : "bad");
    }
    return lines;
}

}  // namespace proxytest
