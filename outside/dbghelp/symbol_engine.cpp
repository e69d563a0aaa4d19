// The symbol-engine exports. Programs check that they exist before they trust the library;
// four do what they promise, the others report that the engine cannot do it here (there is no
// debug-information reader and no unwinder): they return FALSE, NULL or 0 as their failure.
#include <dlfcn.h>

#include <atomic>

#include "exports.h"

namespace {
std::atomic<DWORD> g_options{0};
std::atomic<int> g_sessions{0};
}  // namespace

extern "C" {

// Keeps the options and returns them, as the engine's current options.
DWORD WINAPI SymSetOptions(DWORD SymOptions) {
    g_options.store(SymOptions);
    return SymOptions;
}

// Starts a session for the process; nothing needs loading in advance.
BOOL WINAPI SymInitialize(HANDLE hProcess, const char* UserSearchPath, BOOL fInvadeProcess) {
    (void)hProcess;
    (void)UserSearchPath;
    (void)fInvadeProcess;
    g_sessions.fetch_add(1);
    return TRUE;
}

// Ends a session; FALSE when none was started.
BOOL WINAPI SymCleanup(HANDLE hProcess) {
    (void)hProcess;
    int sessions = g_sessions.load();
    while (sessions > 0 && !g_sessions.compare_exchange_weak(sessions, sessions - 1)) {
    }
    return sessions > 0 ? TRUE : FALSE;
}

// The load address of the module holding an address of this process, 0 when none does.
DWORD64 WINAPI SymGetModuleBase64(HANDLE hProcess, DWORD64 qwAddr) {
    (void)hProcess;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(qwAddr), &info) == 0 || info.dli_fbase == nullptr) {
        return 0;
    }
    return reinterpret_cast<uintptr_t>(info.dli_fbase);
}

// Not supported: no module here carries unwind tables of that form.
PVOID WINAPI SymFunctionTableAccess64(HANDLE hProcess, DWORD64 AddrBase) {
    (void)hProcess;
    (void)AddrBase;
    return nullptr;
}

// Not supported: no debug-information reader.
BOOL WINAPI SymEnumSymbols(HANDLE hProcess, ULONG64 BaseOfDll, const char* Mask,
                           PVOID EnumSymbolsCallback, PVOID UserContext) {
    (void)hProcess, (void)BaseOfDll, (void)Mask, (void)EnumSymbolsCallback, (void)UserContext;
    return FALSE;
}

BOOL WINAPI SymSetContext(HANDLE hProcess, PVOID StackFrame, PVOID Context) {
    (void)hProcess, (void)StackFrame, (void)Context;
    return FALSE;
}

BOOL WINAPI SymGetLineFromAddr64(HANDLE hProcess, DWORD64 qwAddr, DWORD* pdwDisplacement,
                                 PVOID Line) {
    (void)hProcess, (void)qwAddr, (void)pdwDisplacement, (void)Line;
    return FALSE;
}

BOOL WINAPI SymFromAddr(HANDLE hProcess, DWORD64 Address, DWORD64* Displacement, PVOID Symbol) {
    (void)hProcess, (void)Address, (void)Displacement, (void)Symbol;
    return FALSE;
}

BOOL WINAPI SymGetTypeInfo(HANDLE hProcess, DWORD64 ModBase, ULONG TypeId, int GetType,
                           PVOID pInfo) {
    (void)hProcess, (void)ModBase, (void)TypeId, (void)GetType, (void)pInfo;
    return FALSE;
}

// Not supported: no unwinder.
BOOL WINAPI StackWalk64(DWORD MachineType, HANDLE hProcess, HANDLE hThread, PVOID StackFrame,
                        PVOID ContextRecord, PVOID ReadMemoryRoutine,
                        PVOID FunctionTableAccessRoutine, PVOID GetModuleBaseRoutine,
                        PVOID TranslateAddress) {
    (void)MachineType, (void)hProcess, (void)hThread, (void)StackFrame, (void)ContextRecord;
    (void)ReadMemoryRoutine, (void)FunctionTableAccessRoutine, (void)GetModuleBaseRoutine;
    (void)TranslateAddress;
    return FALSE;
}

}  // extern "C"
