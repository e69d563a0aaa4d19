// CMsgCenter: the one transport between the proxy (in each client process) and the service. It
// registers an endpoint with the call center, receives the messages addressed to it through
// OnMessage (overridden by the proxy's and the service's message centers), sends synchronous
// calls with a time-out through its worker thread or directly, and sends one-way posts.
// Payloads are opaque bytes; the message center never looks inside them.
#pragma once

#include <windows.h>

#include "msg_ids.h"
#include "relayhub.h"

// The worker's private thread messages; both message parameters carry the request.
constexpr UINT WM_MSGCENTER_CALL = WM_USER + 1;  // perform, store the result, signal the sender
constexpr UINT WM_MSGCENTER_QUIT = WM_USER + 2;  // leave the loop; the thread ends with code 0
constexpr UINT WM_MSGCENTER_FREE = WM_USER + 3;  // release the request and its payload copy
constexpr UINT WM_MSGCENTER_POST = WM_USER + 4;  // perform without signalling anybody

// How long UnInit waits for the worker to end before ending it forcibly.
constexpr DWORD MSGCENTER_WORKER_STOP_WAIT = 3000;

struct MsgRequest;

class CMsgCenter : public IMessageCallBack {
public:
    CMsgCenter();
    virtual ~CMsgCenter();
    CMsgCenter(const CMsgCenter&) = delete;
    CMsgCenter& operator=(const CMsgCenter&) = delete;

    // Registers the endpoint and starts the worker; a repeated call completes what an earlier
    // one left undone. True when the call-center interface, the endpoint and the worker exist
    // (without a worker, sends with INFINITE still work; queued sends fail and posts are lost).
    bool Init(int endpointId);
    // Stops the worker, releases the endpoint and forgets the interface. Always true.
    bool UnInit();

    // A synchronous call: 0, E_FAIL (no endpoint, or the time-out passed), or the call
    // center's own result. With INFINITE, or on the worker thread, the call is made directly on
    // the caller's thread; otherwise it goes through the worker and waits up to the time-out.
    int SendMsg(int target, int reserved, int channel, const void* payload, int length,
                void** reply, int* replyLength, DWORD timeout);
    // A one-way post through the worker, in order with queued sends. Always 0.
    int PostMsg(int target, int reserved, int channel, const void* payload, int length);
    // SendMsg without a reply.
    int SendMsgNoReply(int target, int reserved, int channel, const void* payload, int length,
                       DWORD timeout);
    // Gives a reply buffer back to the call center.
    void FreeReply(void* buffer);
    // A reply buffer from the call center, or null.
    void* AllocReply(int size);

    // IMessageCallBack. AddRef and Release return constants: message centers live by explicit
    // creation and deletion, never by reference count.
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    // One incoming message; this version does nothing and returns 0.
    HRESULT OnMessage(ICallMessage* message) override;

private:
    // Tests reach the worker's identity and put a fake endpoint in place through it.
    friend struct MsgCenterTestAccess;

    static unsigned __stdcall WorkerMain(void* self);
    void RunWorker();
    // Creates the events and starts the worker; on any failure leaves no worker and no event.
    void StartWorker();
    int Perform(MsgRequest* request);
    // Hands a request to the worker; false when it could not be posted.
    bool Hand(UINT message, MsgRequest* request);
    // Waits up to the time-out for the request's own completion, then settles it.
    int AwaitReply(MsgRequest* request, DWORD timeout);
    // Leaves the request to the worker, which releases it after performing it.
    void Abandon(MsgRequest* request);

    ICallCenter* m_pCallCenter;
    ICallEndpoint* m_pEndpoint;
    HANDLE m_hWorker;
    DWORD m_dwWorkerId;
    HANDLE m_hReplyEvent;
    HANDLE m_hStartEvent;
    CRITICAL_SECTION m_sendLock;
};
