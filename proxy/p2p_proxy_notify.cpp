// The P2P proxy's notifications: decoding a payload with the protocol's defaults, and calling
// the observers of a sign through a constant table of entries by id; and Reset.
#include <array>

#include "byte_stream.h"
#include "p2p_protocol.h"
#include "p2p_proxy_hold.h"
#include "proxy_log.h"

namespace {

using Notification = CP2PProxy::Notification;

// The composite readers of the byte stream, as the service reads: reading stops at the first
// field that does not fit and the fields after it keep their defaults; a Sign cut after its
// first value keeps that value.
void ReadSignTextInt(CStreamReader& f, Notification& n) {
    f.ReadSignStringInt(n.sign, n.text, n.values[0]);
}
void ReadSignOnly(CStreamReader& f, Notification& n) {
    f.ReadSign(n.sign);
}
void ReadSignCode(CStreamReader& f, Notification& n) {
    n.values[0] = P2P_CODE_NOT_RESPONDING;
    f.ReadSignInt(n.sign, n.values[0]);
}
void ReadSignInts(CStreamReader& f, Notification& n) {
    f.ReadSignInts(n.sign, n.values[0], n.values[1], n.values[2]);
}
void ReadSignSignText(CStreamReader& f, Notification& n) {
    f.ReadSignSignString(n.sign, n.second, n.text);
}

void Call1(P2PObserver& o, const Notification& n) {
    o.OnP2PNotify1(n.sign, n.text.c_str(), n.values[0]);
}
void Call2(P2PObserver& o, const Notification& n) {
    o.OnP2PNotify2(n.sign);
}
void Call3(P2PObserver& o, const Notification& n) {
    o.OnP2PNotify3(n.sign, n.values[0]);
}
void Call4(P2PObserver& o, const Notification& n) {
    o.OnP2PNotify4(n.sign, n.values[0], n.values[1], n.values[2]);
}
void Call5(P2PObserver& o, const Notification& n) {
    o.OnP2PNotify5(n.sign);
}
void Call6(P2PObserver& o, const Notification& n) {
    o.OnP2PNotify6(n.sign, n.second, n.text.c_str());
}

struct NotificationEntry {
    void (*read)(CStreamReader& fields, Notification& notification);
    void (*call)(P2PObserver& observer, const Notification& notification);
};

// Indexed by id; 0 is no notification. Observers are found by n.sign, the first Sign.
constexpr std::array<NotificationEntry, P2P_NOTIFY_LAST + 1> kNotifications = {{
    {nullptr, nullptr},
    {&ReadSignTextInt, &Call1},
    {&ReadSignOnly, &Call2},
    {&ReadSignCode, &Call3},
    {&ReadSignInts, &Call4},
    {&ReadSignOnly, &Call5},
    {&ReadSignSignText, &Call6},
}};
static_assert(P2P_NOTIFY_FIRST == 1 && P2P_NOTIFY_LAST == 6);

const NotificationEntry* EntryOf(int id) {
    if (id < P2P_NOTIFY_FIRST || id > P2P_NOTIFY_LAST) {
        return nullptr;
    }
    return &kNotifications[id];
}

}  // namespace

Notification DecodeNotification(const void* payload, int length) {
    Notification notification;
    const auto* begin = static_cast<const uint8_t*>(payload);
    CStreamReader fields;
    fields.Attach(begin, begin == nullptr || length <= 0 ? nullptr : begin + length);
    if (!fields.ReadInt(notification.id)) {
        notification.id = 0;
    }
    if (const NotificationEntry* entry = EntryOf(notification.id)) {
        entry->read(fields, notification);
    }
    return notification;
}

void CP2PProxy::Deliver(const Notification& notification) {
    const NotificationEntry* entry = EntryOf(notification.id);
    if (entry == nullptr) {
        PROXY_LOG("CP2PProxy::Dispatch", PalGbk("未知notifytype %d"), notification.id);
        return;
    }
    // The list is looked up again before every observer, so an observer that changes the
    // table from inside its call never leaves this walk on a stale element.
    for (size_t i = 0;; ++i) {
        const auto found = table_.find(notification.sign);
        if (found == table_.end() || i >= found->second.size()) {
            break;
        }
        if (P2PObserver* observer = found->second[i]) {
            entry->call(*observer, notification);
        }
    }
    if (notification.id == P2P_NOTIFY_2) {
        table_.erase(notification.sign);
    }
}

void CP2PProxy::Reset() {
    Hold hold(*this);
    auto next = table_.begin();
    while (next != table_.end()) {
        const Sign sign = next->first;
        for (size_t i = 0;; ++i) {
            const auto found = table_.find(sign);
            if (found == table_.end() || i >= found->second.size()) {
                break;
            }
            if (P2PObserver* observer = found->second[i]) {
                observer->OnP2PNotify3(sign, P2P_CODE_NOT_RESPONDING);
                observer->OnP2PNotify7();
            }
        }
        next = table_.upper_bound(sign);
    }
    table_.clear();
    PROXY_LOG("CP2PProxy::Reset", "CP2PProxy::Reset ok");
}
