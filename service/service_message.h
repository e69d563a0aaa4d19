// An incoming message as the service's handlers use it: its record, its payload read in place,
// and the reply stored back through the record. A reply is a buffer from the message center's
// AllocReply; once stored it belongs to the call center, which carries it to the caller, so the
// service never frees a reply.
#pragma once

#include "relayhub.h"

class CMsgCenter;
class CStreamReader;

// The message's record, or null when there is no message or no record.
CallMsgRecord* GetMessageRecord(ICallMessage* message);
// Attaches the reader to the record's payload (its pointer and length; a negative length is an
// empty payload). The bytes stay the call center's.
void AttachPayload(CStreamReader& reader, const CallMsgRecord& record);

// Stores a reply of `size` bytes copied from `bytes`. No reply when there is no message
// center, when it gives no buffer, or when the record has no reply outs (then nothing is
// allocated, so no buffer is left without an owner).
void StoreReply(CMsgCenter* center, CallMsgRecord* record, const void* bytes, int size);
// A 4-byte reply holding `value`, little-endian.
void StoreIntReply(CMsgCenter* center, CallMsgRecord* record, int value);
