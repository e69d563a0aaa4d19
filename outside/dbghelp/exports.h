// The library's exports, as C functions. A program loads the library at run time and resolves
// them by name; the library's own tests link it and call them directly.
#pragma once

#include "windows.h"

extern "C" {

BOOL WINAPI MiniDumpWriteDump(HANDLE hProcess, DWORD ProcessId, HANDLE hFile,
                              MINIDUMP_TYPE DumpType,
                              PMINIDUMP_EXCEPTION_INFORMATION ExceptionParam,
                              PMINIDUMP_USER_STREAM_INFORMATION UserStreamParam,
                              PMINIDUMP_CALLBACK_INFORMATION CallbackParam);

// The symbol engine. Structures they would fill are passed as untyped pointers: only their
// names matter to the programs that check for them.
DWORD WINAPI SymSetOptions(DWORD SymOptions);
BOOL WINAPI SymInitialize(HANDLE hProcess, const char* UserSearchPath, BOOL fInvadeProcess);
BOOL WINAPI SymCleanup(HANDLE hProcess);
DWORD64 WINAPI SymGetModuleBase64(HANDLE hProcess, DWORD64 qwAddr);
PVOID WINAPI SymFunctionTableAccess64(HANDLE hProcess, DWORD64 AddrBase);
BOOL WINAPI SymEnumSymbols(HANDLE hProcess, ULONG64 BaseOfDll, const char* Mask,
                           PVOID EnumSymbolsCallback, PVOID UserContext);
BOOL WINAPI SymSetContext(HANDLE hProcess, PVOID StackFrame, PVOID Context);
BOOL WINAPI SymGetLineFromAddr64(HANDLE hProcess, DWORD64 qwAddr, DWORD* pdwDisplacement,
                                 PVOID Line);
BOOL WINAPI SymFromAddr(HANDLE hProcess, DWORD64 Address, DWORD64* Displacement, PVOID Symbol);
BOOL WINAPI SymGetTypeInfo(HANDLE hProcess, DWORD64 ModBase, ULONG TypeId, int GetType,
                           PVOID pInfo);
BOOL WINAPI StackWalk64(DWORD MachineType, HANDLE hProcess, HANDLE hThread, PVOID StackFrame,
                        PVOID ContextRecord, PVOID ReadMemoryRoutine,
                        PVOID FunctionTableAccessRoutine, PVOID GetModuleBaseRoutine,
                        PVOID TranslateAddress);

}  // extern "C"
