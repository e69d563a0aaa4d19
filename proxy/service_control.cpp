// Finding, starting and stopping the service process.
#include "service_control.h"

#include <cstring>
#include <string>

#include "br_service_proxy.h"
#include "brlib.h"
#include "byte_stream.h"
#include "proxy_lock.h"
#include "proxy_log.h"
#include "proxy_msg_center.h"
#include "proxy_objects.h"
#include "service_link.h"
#include "watchdog.h"

namespace {

const char* const SERVICE_PROGRAM = "BrCoreService.exe";
const char* const OLD_SERVICE_PROGRAM = "brcoreserver.exe";

// The first byte of a reply, 0 when there is none.
BYTE FirstByte(const void* data, int length) {
    return data != nullptr && length > 0 ? *static_cast<const BYTE*>(data) : 0;
}

}  // namespace

bool IsServiceProcess() {
    return GetModuleHandleA(SERVICE_PROGRAM) != nullptr;
}

bool IsRunCoreServer() {
    CAutoLock lock;
    if (IsServiceProcess()) {
        return true;
    }
    ServiceReply reply;
    if (CallService(CHANNEL_QUERY_RUNNING, CStreamWriter(), reply) &&
        FirstByte(reply.Data(), reply.Length()) == 1) {
        PROXY_LOG("IsRunCoreServer", "IsRunCoreServer true");
        return true;
    }
    PROXY_LOG("IsRunCoreServer", "IsRunCoreServer false");
    return false;
}

bool StartCoreServer() {
    CAutoLock lock;
    // Without a message center (before InitProxy, after UnInitProxy, or when InitProxy could
    // not take the endpoint) nothing tells whether a service runs: nothing is started, neither
    // a service, which would end one that runs, nor the watchdog.
    if (!IsServiceProcess() && g_ProxyMsgCenter.load() != nullptr) {
        if (!IsRunCoreServer()) {
            KillOldCoreServer();
            const std::string path =
                BrLib::Dir::GetBrPath(BrLib::BR_PATH_INSTALL_DIR) + SERVICE_PROGRAM;
            BrLib::Process::ProcessExecutor().Exec(path, false);  // polled, never reported
        }
        StartWatchThread();
    }
    PROXY_LOG("StartCoreServer", "StartCoreServer ok");
    return true;
}

bool KillOldCoreServer() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (std::strstr(entry.szExeFile, OLD_SERVICE_PROGRAM) == nullptr) {
            continue;
        }
        // SYNCHRONIZE as well: a handle opened only for termination cannot be waited on.
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process != nullptr) {
            if (TerminateProcess(process, 0)) {
                WaitForSingleObject(process, INFINITE);
            }
            CloseHandle(process);
        }
        break;  // only the first match
    }
    CloseHandle(snapshot);
    return true;
}

bool StopCoreServer() {
    CAutoLock lock;
    StopWatchThread();
    // A reply of length 0 is an answer (false), unlike a failed send: CallService cannot tell
    // the two apart, so the message center is asked directly.
    if (CMsgCenter* center = g_ProxyMsgCenter.load()) {
        void* reply = nullptr;
        int length = 0;
        if (center->SendMsg(SERVICE_ENDPOINT_ID, 0, CHANNEL_STOP, nullptr, 0, &reply, &length,
                            SERVICE_CALL_TIMEOUT) == 0) {
            const BYTE answer = FirstByte(reply, length);
            if (reply != nullptr) {
                center->FreeReply(reply);
            }
            return answer != 0;
        }
    }
    KillOldCoreServer();
    PROXY_LOG("StopCoreServer", "StopCoreServer ok");
    return true;
}
