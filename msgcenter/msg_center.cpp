// CMsgCenter: life cycle, reply buffers and the callback's identity. Sends are in
// msg_center_send.cpp, the worker in msg_center_worker.cpp.
#include "msg_center.h"

#include <string>

#include "brlib.h"

namespace {

// The mode the call center is asked for.
constexpr int kCallCenterMode = 3;

}  // namespace

CMsgCenter::CMsgCenter()
    : m_pCallCenter(nullptr),
      m_pEndpoint(nullptr),
      m_hWorker(nullptr),
      m_dwWorkerId(0),
      m_hReplyEvent(nullptr),
      m_hStartEvent(nullptr) {
    InitializeCriticalSection(&m_sendLock);
}

// UnInit has run before: the destructor gives back the send lock and nothing else.
CMsgCenter::~CMsgCenter() {
    DeleteCriticalSection(&m_sendLock);
}

bool CMsgCenter::Init(int endpointId) {
    const std::string dir = BrLib::Dir::GetBrPath(BrLib::BR_PATH_CALLCENTER_DIR);
    if (!m_pCallCenter && !dir.empty()) {
        m_pCallCenter = RS_InitializeCallCenter(dir.c_str(), kCallCenterMode);
    }
    if (!m_pEndpoint && m_pCallCenter) {
        m_pEndpoint = m_pCallCenter->CreateEndpoint(endpointId, 0, this, 0);
    }
    if (!m_hWorker) {
        StartWorker();
    }
    return m_pCallCenter && m_pEndpoint && m_hWorker;
}

void CMsgCenter::StartWorker() {
    m_hReplyEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hStartEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (m_hReplyEvent && m_hStartEvent) {
        unsigned id = 0;
        uintptr_t thread = _beginthreadex(nullptr, 0, &CMsgCenter::WorkerMain, this, 0, &id);
        if (thread) {
            m_hWorker = reinterpret_cast<HANDLE>(thread);
            m_dwWorkerId = id;
            // A started worker always signals once its queue exists; a thread that could not
            // be started is never waited for.
            WaitForSingleObject(m_hStartEvent, INFINITE);
        }
    }
    if (m_hStartEvent) {
        CloseHandle(m_hStartEvent);
        m_hStartEvent = nullptr;
    }
    if (!m_hWorker && m_hReplyEvent) {
        CloseHandle(m_hReplyEvent);
        m_hReplyEvent = nullptr;
    }
}

bool CMsgCenter::UnInit() {
    if (m_hWorker) {
        PostThreadMessageA(m_dwWorkerId, WM_MSGCENTER_QUIT, 0, 0);
        if (WaitForSingleObject(m_hWorker, MSGCENTER_WORKER_STOP_WAIT) != WAIT_OBJECT_0) {
            // Stuck in a call: the layer disowns it. Releasing the endpoint below ends the call;
            // the thread then stops at its next wait without touching this object again.
            TerminateThread(m_hWorker, 0);
        }
        CloseHandle(m_hWorker);
        m_hWorker = nullptr;
        m_dwWorkerId = 0;
    }
    if (m_hReplyEvent) {
        CloseHandle(m_hReplyEvent);
        m_hReplyEvent = nullptr;
    }
    if (m_pCallCenter && m_pEndpoint) {
        m_pCallCenter->ReleaseEndpoint(m_pEndpoint);
    }
    m_pCallCenter = nullptr;  // owned by the library for the life of the process
    m_pEndpoint = nullptr;
    return true;
}

void CMsgCenter::FreeReply(void* buffer) {
    if (m_pCallCenter) {
        m_pCallCenter->FreeBuffer(buffer);
    }
}

void* CMsgCenter::AllocReply(int size) {
    return m_pCallCenter ? m_pCallCenter->AllocBuffer(size) : nullptr;
}

HRESULT CMsgCenter::QueryInterface(REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IMessageCallBack)) {
        *object = static_cast<IMessageCallBack*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_FAIL;
}

HRESULT CMsgCenter::OnMessage(ICallMessage*) {
    return S_OK;
}
