// relayhub: the call center. Endpoints, each registered under an id in one directory, call each
// other across processes: a call is delivered to the target's IMessageCallBack::OnMessage on a
// thread of the library in the target's process, and returns with the reply the receiver stored.
//
// The interfaces are COM-style tables. Slot positions count from 0 over the whole table,
// IUnknown's QueryInterface, AddRef and Release being slots 0, 1 and 2. The slots this library
// does not use hold reserved operations that return RH_E_RESERVED_SLOT; their places must not
// change, callers rely on the positions of the operations around them.
//
// Objects of the library are owned by the library: AddRef and Release on them change nothing.
// The call center lives as long as the process; an endpoint until ReleaseEndpoint; a message
// while OnMessage runs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pal/types.h"

// {45A31EDA-8B75-4621-9B49-8C2F134E166D}
inline constexpr IID IID_IMessageCallBack = {
    0x45A31EDA, 0x8B75, 0x4621, {0x9B, 0x49, 0x8C, 0x2F, 0x13, 0x4E, 0x16, 0x6D}};
// {B706E6AA-571F-4D9D-A55C-400F19E26AF5}
inline constexpr IID IID_ICallCenter = {
    0xB706E6AA, 0x571F, 0x4D9D, {0xA5, 0x5C, 0x40, 0x0F, 0x19, 0xE2, 0x6A, 0xF5}};
// {000FDD0A-23D4-40AE-AB5D-57BC69156597}
inline constexpr IID IID_ICallEndpoint = {
    0x000FDD0A, 0x23D4, 0x40AE, {0xAB, 0x5D, 0x57, 0xBC, 0x69, 0x15, 0x65, 0x97}};
// {5683B7CD-CC78-41D5-8A81-E6FD4B0DE581}
inline constexpr IID IID_ICallMessage = {
    0x5683B7CD, 0xCC78, 0x41D5, {0x8A, 0x81, 0xE6, 0xFD, 0x4B, 0x0D, 0xE5, 0x81}};

// Failure results of the library. 0 (S_OK) is success.
// A reserved slot of a table was called.
inline constexpr HRESULT RH_E_RESERVED_SLOT = static_cast<HRESULT>(0x80004001u);
// No endpoint of the target id is registered (no socket, or a stale one of a dead process).
inline constexpr HRESULT RH_E_NO_ENDPOINT = static_cast<HRESULT>(0x80040301u);
// The target's process or endpoint went away before its reply arrived.
inline constexpr HRESULT RH_E_PEER_GONE = static_cast<HRESULT>(0x80040302u);
// The call's time-out passed.
inline constexpr HRESULT RH_E_TIMEOUT = static_cast<HRESULT>(0x80040303u);
// The payload is longer than RH_MAX_PAYLOAD.
inline constexpr HRESULT RH_E_TOO_LARGE = static_cast<HRESULT>(0x80040304u);
// The receiver stored a reply that cannot be sent: a buffer not from AllocBuffer, or a length
// below 0 or above the buffer's size.
inline constexpr HRESULT RH_E_BAD_REPLY = static_cast<HRESULT>(0x80040305u);
// The calling endpoint is being released.
inline constexpr HRESULT RH_E_RELEASED = static_cast<HRESULT>(0x80040306u);
// The target answered with a malformed frame.
inline constexpr HRESULT RH_E_PROTOCOL = static_cast<HRESULT>(0x80040307u);
// The socket of the target id belongs to a process of another user.
inline constexpr HRESULT RH_E_ACCESS = static_cast<HRESULT>(0x80040308u);
// A system call failed (descriptors, memory).
inline constexpr HRESULT RH_E_SYSTEM = static_cast<HRESULT>(0x80040309u);

// The largest payload of a call and of a reply, in bytes (16 MiB).
inline constexpr int32_t RH_MAX_PAYLOAD = 16 * 1024 * 1024;

// Time-out values of ICallEndpoint::Call that set no limit of the library's own.
inline constexpr DWORD RH_NO_TIMEOUT = 0;
inline constexpr DWORD RH_INFINITE = 0xFFFFFFFFu;

// The record of one incoming message, valid while OnMessage runs.
struct CallMsgRecord {
    // The library's own: the call's frame header as it arrived. Programs never read it.
    unsigned char header[40];
    int32_t channel;
    // The payload bytes; none when the length is 0.
    const void* payload;
    int32_t length;
    // The receiver may store here a buffer from ICallCenter::AllocBuffer and the number of its
    // bytes to send back. The library then owns the buffer and frees it after sending. Nothing
    // stored means a reply without a buffer.
    void** replyOut;
    int32_t* replyLengthOut;
};
static_assert(offsetof(CallMsgRecord, channel) == 40, "the program's fields follow 40 bytes");

struct ICallMessage : IUnknown {
    virtual HRESULT Reserved3() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved4() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved5() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved6() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved7() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved8() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved9() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved10() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved11() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved12() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved13() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved14() { return RH_E_RESERVED_SLOT; }
    // Slot 15: stores in *record the message's record (none when record is null: E_POINTER).
    virtual HRESULT GetRecord(CallMsgRecord** record) = 0;

protected:
    ~ICallMessage() = default;
};

// The receiver of an endpoint's messages, implemented by the program.
struct IMessageCallBack : IUnknown {
    // Slot 3: one incoming message, on the library's delivery thread of the endpoint. The result
    // stays in the receiving process; the caller's Call reports only whether it was delivered.
    virtual HRESULT OnMessage(ICallMessage* message) = 0;

protected:
    ~IMessageCallBack() = default;
};

struct ICallEndpoint : IUnknown {
    virtual HRESULT Reserved3() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved4() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved5() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved6() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved7() { return RH_E_RESERVED_SLOT; }
    // Slot 8: calls endpoint `target` and waits until its OnMessage has returned. `reserved` is
    // carried to the receiver untouched. A length of 0 or below sends no payload bytes (the
    // receiver sees length 0). On 0 the reply is in *reply and *replyLength: a buffer the caller
    // gives back with ICallCenter::FreeBuffer, or none and 0 when the receiver stored none;
    // either may be null when the caller wants no reply. On a failure both are left untouched.
    // timeout is in milliseconds; RH_NO_TIMEOUT (0) and RH_INFINITE set no limit.
    virtual HRESULT Call(int32_t target, int32_t reserved, int32_t channel, const void* payload,
                         int32_t length, void** reply, int32_t* replyLength, DWORD timeout) = 0;

protected:
    ~ICallEndpoint() = default;
};

struct ICallCenter : IUnknown {
    virtual HRESULT Reserved3() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved4() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved5() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved6() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved7() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved8() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved9() { return RH_E_RESERVED_SLOT; }
    // Slot 10: registers endpoint `id` with `receiver`, which then gets every message addressed
    // to the id. `reserved` and `flags` must be 0. None when the receiver is null, when a live
    // endpoint of the id exists (in any process of the directory) or when the socket cannot be
    // made. A socket left behind by a dead process is taken over.
    virtual ICallEndpoint* CreateEndpoint(int32_t id, int32_t reserved, IMessageCallBack* receiver,
                                          int32_t flags) = 0;
    virtual HRESULT Reserved11() { return RH_E_RESERVED_SLOT; }
    // Slot 12: stops receiving, waits for a delivery in progress to end (unless called from
    // inside that delivery), removes the socket and ends the endpoint's calls in flight with
    // RH_E_RELEASED. The endpoint must not be used afterwards. E_INVALIDARG for an endpoint
    // this call center does not hold.
    virtual HRESULT ReleaseEndpoint(ICallEndpoint* endpoint) = 0;
    virtual HRESULT Reserved13() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved14() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved15() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved16() { return RH_E_RESERVED_SLOT; }
    virtual HRESULT Reserved17() { return RH_E_RESERVED_SLOT; }
    // Slot 18: a buffer of `size` bytes (0 to RH_MAX_PAYLOAD) for a reply; none otherwise.
    virtual void* AllocBuffer(int32_t size) = 0;
    // Slot 19: gives back a buffer from AllocBuffer or from a reply; null and unknown pointers
    // are ignored.
    virtual void FreeBuffer(void* buffer) = 0;

protected:
    ~ICallCenter() = default;
};

// The call center of `dir`, created with mode 0700 when missing (the directory must belong to
// this user; its mode is narrowed to 0700). mode must be 3. Every call with the same directory
// returns the same object. None on failure.
extern "C" ICallCenter* RS_InitializeCallCenter(const char* dir, int mode);
