#include "play_core_stub.h"

#include "byte_stream.h"
#include "play_core_commands.h"
#include "service_message.h"

CPlayCoreStub::CPlayCoreStub() : CPlayCoreStub(PLAY_ENGINE_LIBRARY) {}

CPlayCoreStub::CPlayCoreStub(const char* library) : m_hEngine(nullptr), m_pCore(nullptr) {
    Load(library);
}

CPlayCoreStub::CPlayCoreStub(IPlayerCore* core) : m_hEngine(nullptr), m_pCore(nullptr) {
    Attach(core);
}

CPlayCoreStub::~CPlayCoreStub() {
    if (m_pCore) {
        m_pCore->UnInit();
    }
    if (m_hEngine) {
        FreeLibrary(m_hEngine);
    }
}

void CPlayCoreStub::Load(const char* library) {
    m_hEngine = LoadLibraryA(library);
    if (!m_hEngine) {
        return;
    }
    // A library without the export stays loaded until the destructor frees it.
    FARPROC address = GetProcAddress(m_hEngine, PLAY_ENGINE_EXPORT);
    if (!address) {
        return;
    }
    // Through the generic function type: the export's real type is GetPlayerCoreFunc.
    auto getPlayerCore = reinterpret_cast<GetPlayerCoreFunc>(reinterpret_cast<void (*)()>(address));
    Attach(getPlayerCore());
}

void CPlayCoreStub::Attach(IPlayerCore* core) {
    m_pCore = core;
    if (m_pCore) {
        // Notifications the engine raises from here on find no message center yet and are
        // dropped; the result is not looked at.
        m_pCore->Init(this, 0, 0, 0);
    }
}

HRESULT CPlayCoreStub::Dispatch(ICallMessage* message) {
    if (!message || !m_pCore) {
        return E_FAIL;
    }
    CallMsgRecord* record = GetMessageRecord(message);
    if (!record || !record->payload) {
        return E_FAIL;
    }
    CStreamReader reader;
    AttachPayload(reader, *record);
    int command = 0;
    if (!reader.ReadInt(command)) {
        return S_OK;
    }
    RunPlayerCommand(command, *m_pCore, reader, record);
    return S_OK;
}
