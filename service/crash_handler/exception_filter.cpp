// The fault filter and the dump writer. They run inside the layer's fault handler on the
// faulting thread while the other threads go on, so they use only the state fixed at
// construction and buffers of fixed size.
#include "exception_handler.h"

LONG WINAPI CExceptionHandler::Filter(EXCEPTION_POINTERS* pExceptionInfo) {
    if (IsDebuggerPresent() ||
        pExceptionInfo->ExceptionRecord->ExceptionCode == EXCEPTION_BREAKPOINT) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    // One crash, one dump: a thread that faults while another writes the dump waits for that
    // thread to end the process, so the dump path is never formatted twice at once and the dump
    // is not cut short.
    if (s_bCrashTaken.exchange(true)) {
        for (;;) {
            Sleep(INFINITE);
        }
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (s_bDumpDirKnown && s_bProgramNameKnown &&
        FormatDumpPath(s_szDumpDir, now, s_szFileName, s_szExtension, s_szDumpPath)) {
        WriteMiniDump(pExceptionInfo);
    }
    return EXCEPTION_EXECUTE_HANDLER;
}

void CExceptionHandler::WriteMiniDump(EXCEPTION_POINTERS* pExceptionInfo) {
    HANDLE file =
        CreateFileA(s_szDumpPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    MINIDUMP_WRITE_DUMP writeDump = s_pfnMiniDumpWriteDump.load();
    if (writeDump != nullptr) {
        MINIDUMP_EXCEPTION_INFORMATION information = {GetCurrentThreadId(), pExceptionInfo, TRUE};
        writeDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal, &information,
                  nullptr, nullptr);
    }
    CloseHandle(file);
}
