// The P2P proxy's operations: the download table's rules and the commands they send.
#include "p2p_proxy.h"

#include <algorithm>

#include "byte_stream.h"
#include "msg_ids.h"
#include "p2p_protocol.h"
#include "p2p_proxy_hold.h"
#include "proxy_log.h"
#include "service_link.h"

namespace {

// The observer tag of commands 5, 6 and 7: the low 32 bits of the observer's address.
int Tag(const P2PObserver* observer) {
    return static_cast<int>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(observer)));
}

bool Holds(const std::vector<P2PObserver*>& list, const P2PObserver* observer) {
    return std::find(list.begin(), list.end(), observer) != list.end();
}

}  // namespace

CP2PProxy::CP2PProxy() {
    InitializeCriticalSection(&lock_);
}

CP2PProxy::~CP2PProxy() {
    DeleteCriticalSection(&lock_);
}

bool CP2PProxy::Call(const CStreamWriter& payload, ServiceReply& reply) {
    BeginCall();
    const bool answered = CallService(CHANNEL_P2P, payload, reply);
    EndCall();
    // What the service raised before it answered comes before the answer's effect.
    if (depth_ == 1) {
        DeliverPending();
    }
    return answered;
}

void CP2PProxy::NotResponding(const char* function) {
    PROXY_LOG(function, PalGbk("服务进程无响应"));
    Reset();
}

void CP2PProxy::RemoveObserver(const Sign& sign, P2PObserver* observer) {
    const auto found = table_.find(sign);
    if (found == table_.end()) {
        return;
    }
    ObserverList& list = found->second;
    const auto at = std::find(list.begin(), list.end(), observer);
    if (at != list.end()) {
        list.erase(at);
    }
    if (list.empty()) {
        table_.erase(found);
    }
}

bool CP2PProxy::P2PStartDown(const Sign* sign, const char* text, int int1, int int2, int int3,
                             P2PObserver* observer, bool flag) {
    if (sign == nullptr) {
        return false;
    }
    Hold hold(*this);
    const Sign key = *sign;
    const int first = static_cast<int>(key.first);
    const int second = static_cast<int>(key.second);
    PROXY_LOG("CP2PProxy::P2PStartDown", "sign(%d, %d)", first, second);

    const auto found = table_.find(key);
    if (found != table_.end()) {
        if (!Holds(found->second, observer)) {
            found->second.push_back(observer);
        }
        PROXY_LOG("CP2PProxy::P2PStartDown", PalGbk("sign(%d, %d) 已经在下载队列，直接返回"), first,
                  second);
        return true;
    }
    table_[key] = ObserverList{observer};

    CStreamWriter payload;
    payload.WriteStartDown(P2P_CMD_START_DOWN, key, text, int1, int2, int3, Tag(observer),
                           flag ? 1 : 0);
    ServiceReply reply;
    if (!Call(payload, reply)) {
        NotResponding("CP2PProxy::P2PStartDown");
        return false;
    }
    CStreamReader reader;
    reply.AttachReader(reader);
    BYTE accepted = 0;
    reader.ReadByte(accepted);
    reply.Free();
    if (accepted == 0) {
        RemoveObserver(key, observer);
    }
    return accepted != 0;
}

void CP2PProxy::P2PStopDown(const Sign* sign, P2PObserver* observer) {
    if (sign == nullptr) {
        return;
    }
    Hold hold(*this);
    const auto found = table_.find(*sign);
    if (found == table_.end()) {
        return;
    }
    RemoveObserver(*sign, observer);
    if (table_.find(*sign) == table_.end()) {
        CStreamWriter payload;
        payload.WriteCmdSignInt(P2P_CMD_STOP_DOWN, *sign, Tag(observer));
        PostService(CHANNEL_P2P, payload);
    }
}

void CP2PProxy::P2PDelRes(const Sign* sign, P2PObserver* observer) {
    if (sign == nullptr) {
        return;
    }
    Hold hold(*this);
    ObserverList& list = table_[*sign];
    if (!Holds(list, observer)) {
        list.push_back(observer);
    }
    CStreamWriter payload;
    payload.WriteCmdSignInt(P2P_CMD_DEL_RES, *sign, Tag(observer));
    PostService(CHANNEL_P2P, payload);
}

void CP2PProxy::P2PGetResInfo(const Sign* sign, int* value, std::string* text) {
    if (sign == nullptr) {
        return;
    }
    Hold hold(*this);
    CStreamWriter payload;
    payload.WriteCmdSign(P2P_CMD_GET_RES_INFO, *sign);
    ServiceReply reply;
    if (!Call(payload, reply)) {
        NotResponding(" CP2PProxy::P2PGetResInfo");
        return;
    }
    CStreamReader reader;
    reply.AttachReader(reader);
    // The int is stored as soon as it is read, the text only when it is read whole.
    int number = value != nullptr ? *value : 0;
    std::string words;
    const bool whole = reader.ReadIntString(number, words);
    if (value != nullptr) {
        *value = number;
    }
    if (whole && text != nullptr) {
        *text = std::move(words);
    }
}

void CP2PProxy::P2PEnableVIPService(int value, bool flag, int /*third*/) {
    Hold hold(*this);
    CStreamWriter payload;
    payload.WriteCmdIntByte(P2P_CMD_ENABLE_VIP_SERVICE, value, flag ? 1 : 0);
    PostService(CHANNEL_P2P, payload);
}

void CP2PProxy::P2PStopAll() {
    Hold hold(*this);
    CStreamWriter payload;
    payload.WriteInt(P2P_CMD_STOP_ALL);
    PostService(CHANNEL_P2P, payload);
}

void CP2PProxy::P2PSetSysMsgWnd(int window) {
    Hold hold(*this);
    CStreamWriter payload;
    payload.WriteCmdInt(P2P_CMD_SET_SYS_MSG_WND, window);
    PostService(CHANNEL_P2P, payload);
}
