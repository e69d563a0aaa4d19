#include "service_message.h"

#include <cstdint>
#include <cstring>

#include "byte_stream.h"
#include "msg_center.h"

CallMsgRecord* GetMessageRecord(ICallMessage* message) {
    if (!message) {
        return nullptr;
    }
    CallMsgRecord* record = nullptr;
    if (message->GetRecord(&record) != S_OK) {
        return nullptr;
    }
    return record;
}

void AttachPayload(CStreamReader& reader, const CallMsgRecord& record) {
    const uint8_t* begin = static_cast<const uint8_t*>(record.payload);
    const size_t length = record.length > 0 ? static_cast<size_t>(record.length) : 0;
    reader.Attach(begin, begin ? begin + length : nullptr);
}

void StoreReply(CMsgCenter* center, CallMsgRecord* record, const void* bytes, int size) {
    if (!center || !record || !record->replyOut || !record->replyLengthOut || size < 0) {
        return;
    }
    void* buffer = center->AllocReply(size);
    if (!buffer) {
        return;
    }
    if (size > 0) {
        std::memcpy(buffer, bytes, static_cast<size_t>(size));
    }
    *record->replyOut = buffer;
    *record->replyLengthOut = size;
}

void StoreIntReply(CMsgCenter* center, CallMsgRecord* record, int value) {
    const uint32_t v = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                              static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    StoreReply(center, record, bytes, sizeof bytes);
}
