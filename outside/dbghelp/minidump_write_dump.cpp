// The export MiniDumpWriteDump.
//
// Differs from Windows: only the calling process can be dumped (ProcessId must be its own; the
// process handle is not looked at), only MiniDumpNormal is written, extra user streams and the
// callback are not supported (the call fails when they are given), and the thread list holds
// the one thread of the exception (or the calling thread), not every thread. The file handle is
// one of the calling program's layer, resolved through its exported PalFileDescriptor. A failure
// returns FALSE without setting the program's last error.
#include <ucontext.h>
#include <unistd.h>

#include <cstring>
#include <type_traits>

#include "dump_writer.h"
#include "exports.h"
#include "pal/file_descriptor.h"

#pragma weak PalFileDescriptor

namespace {

// The calling thread's registers, for a dump without an exception.
void CaptureContext(CONTEXT* context) {
    ucontext_t uc;
    std::memset(context, 0, sizeof *context);
    if (getcontext(&uc) != 0) {
        return;
    }
    const greg_t* g = uc.uc_mcontext.gregs;
    context->ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
    context->Rbx = g[REG_RBX];
    context->Rbp = g[REG_RBP];
    context->Rsp = g[REG_RSP];
    context->R12 = g[REG_R12];
    context->R13 = g[REG_R13];
    context->R14 = g[REG_R14];
    context->R15 = g[REG_R15];
    context->Rdi = g[REG_RDI];
    context->Rsi = g[REG_RSI];
    context->Rdx = g[REG_RDX];
    context->Rcx = g[REG_RCX];
    context->Rip = g[REG_RIP];
}

}  // namespace

BOOL WINAPI MiniDumpWriteDump(HANDLE hProcess, DWORD ProcessId, HANDLE hFile,
                              MINIDUMP_TYPE DumpType,
                              PMINIDUMP_EXCEPTION_INFORMATION ExceptionParam,
                              PMINIDUMP_USER_STREAM_INFORMATION UserStreamParam,
                              PMINIDUMP_CALLBACK_INFORMATION CallbackParam) {
    (void)hProcess;
    if (ProcessId != static_cast<DWORD>(getpid()) || DumpType != MiniDumpNormal ||
        UserStreamParam != nullptr || CallbackParam != nullptr) {
        return FALSE;
    }
    int fd = PalFileDescriptor != nullptr ? PalFileDescriptor(hFile) : -1;
    if (fd < 0) {
        return FALSE;
    }
    dbghelp::DumpRequest request = {ProcessId, static_cast<uint32_t>(gettid()), nullptr, nullptr};
    CONTEXT here;
    if (ExceptionParam != nullptr && ExceptionParam->ExceptionPointers != nullptr &&
        ExceptionParam->ExceptionPointers->ContextRecord != nullptr) {
        request.threadId = ExceptionParam->ThreadId;
        request.exception = ExceptionParam->ExceptionPointers->ExceptionRecord;
        request.context = ExceptionParam->ExceptionPointers->ContextRecord;
    } else {
        CaptureContext(&here);
        request.context = &here;
    }
    return dbghelp::WriteMinidump(fd, request) ? TRUE : FALSE;
}

static_assert(std::is_same_v<decltype(&MiniDumpWriteDump), MINIDUMP_WRITE_DUMP>,
              "the export has the signature its callers resolve");
