// Crashes: the unhandled-exception filter and its records, the error mode, the debugger test,
// the local time, and the records a crash dump is written from.
#pragma once

#include "pal/types.h"

typedef uint64_t DWORD64;
typedef uint64_t ULONG64;
typedef uint64_t ULONGLONG;
typedef int64_t LONGLONG;
typedef uint32_t ULONG32;
typedef void* PVOID;
typedef SYSTEMTIME* LPSYSTEMTIME;

// Exception codes. The layer raises the hardware ones from the signals SIGSEGV, SIGBUS, SIGILL,
// SIGFPE and SIGTRAP.
#define EXCEPTION_GUARD_PAGE 0x80000001u
#define EXCEPTION_DATATYPE_MISALIGNMENT 0x80000002u
#define EXCEPTION_BREAKPOINT 0x80000003u
#define EXCEPTION_SINGLE_STEP 0x80000004u
#define EXCEPTION_ACCESS_VIOLATION 0xC0000005u
#define EXCEPTION_IN_PAGE_ERROR 0xC0000006u
#define EXCEPTION_INVALID_HANDLE 0xC0000008u
#define EXCEPTION_ILLEGAL_INSTRUCTION 0xC000001Du
#define EXCEPTION_NONCONTINUABLE_EXCEPTION 0xC0000025u
#define EXCEPTION_INVALID_DISPOSITION 0xC0000026u
#define EXCEPTION_ARRAY_BOUNDS_EXCEEDED 0xC000008Cu
#define EXCEPTION_FLT_DENORMAL_OPERAND 0xC000008Du
#define EXCEPTION_FLT_DIVIDE_BY_ZERO 0xC000008Eu
#define EXCEPTION_FLT_INEXACT_RESULT 0xC000008Fu
#define EXCEPTION_FLT_INVALID_OPERATION 0xC0000090u
#define EXCEPTION_FLT_OVERFLOW 0xC0000091u
#define EXCEPTION_FLT_STACK_CHECK 0xC0000092u
#define EXCEPTION_FLT_UNDERFLOW 0xC0000093u
#define EXCEPTION_INT_DIVIDE_BY_ZERO 0xC0000094u
#define EXCEPTION_INT_OVERFLOW 0xC0000095u
#define EXCEPTION_PRIV_INSTRUCTION 0xC0000096u
#define EXCEPTION_STACK_OVERFLOW 0xC00000FDu

// Status codes that an in-page error reports as its third parameter.
#define STATUS_END_OF_FILE 0xC0000011u
#define STATUS_DEVICE_DATA_ERROR 0xC000009Cu

#define EXCEPTION_NONCONTINUABLE 0x1u
#define EXCEPTION_MAXIMUM_PARAMETERS 15

// ExceptionInformation[0] of an access violation or in-page error.
#define EXCEPTION_READ_FAULT 0
#define EXCEPTION_WRITE_FAULT 1
#define EXCEPTION_EXECUTE_FAULT 8

// Results of an exception filter.
#define EXCEPTION_EXECUTE_HANDLER 1
#define EXCEPTION_CONTINUE_SEARCH 0
#define EXCEPTION_CONTINUE_EXECUTION (-1)

struct EXCEPTION_RECORD {
    DWORD ExceptionCode;
    DWORD ExceptionFlags;
    EXCEPTION_RECORD* ExceptionRecord;
    PVOID ExceptionAddress;
    DWORD NumberParameters;
    ULONG_PTR ExceptionInformation[EXCEPTION_MAXIMUM_PARAMETERS];
};
typedef EXCEPTION_RECORD* PEXCEPTION_RECORD;

// The x86-64 thread context, in the machine's documented layout (1232 bytes), which is also the
// layout a crash dump stores.
#define CONTEXT_AMD64 0x00100000u
#define CONTEXT_CONTROL (CONTEXT_AMD64 | 0x1u)
#define CONTEXT_INTEGER (CONTEXT_AMD64 | 0x2u)
#define CONTEXT_SEGMENTS (CONTEXT_AMD64 | 0x4u)
#define CONTEXT_FLOATING_POINT (CONTEXT_AMD64 | 0x8u)
#define CONTEXT_DEBUG_REGISTERS (CONTEXT_AMD64 | 0x10u)
#define CONTEXT_FULL (CONTEXT_CONTROL | CONTEXT_INTEGER | CONTEXT_FLOATING_POINT)
#define CONTEXT_ALL (CONTEXT_FULL | CONTEXT_SEGMENTS | CONTEXT_DEBUG_REGISTERS)

struct alignas(16) M128A {
    ULONGLONG Low;
    LONGLONG High;
};

// The FXSAVE image of the x87 and SSE state.
struct alignas(16) XMM_SAVE_AREA32 {
    WORD ControlWord;
    WORD StatusWord;
    BYTE TagWord;
    BYTE Reserved1;
    WORD ErrorOpcode;
    DWORD ErrorOffset;
    WORD ErrorSelector;
    WORD Reserved2;
    DWORD DataOffset;
    WORD DataSelector;
    WORD Reserved3;
    DWORD MxCsr;
    DWORD MxCsr_Mask;
    M128A FloatRegisters[8];
    M128A XmmRegisters[16];
    BYTE Reserved4[96];
};

// Differs from Windows: the x86-64 layout; the debug and wider vector registers are not filled.
struct alignas(16) CONTEXT {
    DWORD64 P1Home, P2Home, P3Home, P4Home, P5Home, P6Home;
    DWORD ContextFlags;
    DWORD MxCsr;
    WORD SegCs, SegDs, SegEs, SegFs, SegGs, SegSs;
    DWORD EFlags;
    DWORD64 Dr0, Dr1, Dr2, Dr3, Dr6, Dr7;
    DWORD64 Rax, Rcx, Rdx, Rbx, Rsp, Rbp, Rsi, Rdi;
    DWORD64 R8, R9, R10, R11, R12, R13, R14, R15;
    DWORD64 Rip;
    union {
        XMM_SAVE_AREA32 FltSave;
        struct {
            M128A Header[2];
            M128A Legacy[8];
            M128A Xmm0, Xmm1, Xmm2, Xmm3, Xmm4, Xmm5, Xmm6, Xmm7;
            M128A Xmm8, Xmm9, Xmm10, Xmm11, Xmm12, Xmm13, Xmm14, Xmm15;
        };
    };
    M128A VectorRegister[26];
    DWORD64 VectorControl;
    DWORD64 DebugControl;
    DWORD64 LastBranchToRip;
    DWORD64 LastBranchFromRip;
    DWORD64 LastExceptionToRip;
    DWORD64 LastExceptionFromRip;
};
typedef CONTEXT* PCONTEXT;
static_assert(sizeof(CONTEXT) == 1232, "CONTEXT keeps the machine's layout");

struct EXCEPTION_POINTERS {
    PEXCEPTION_RECORD ExceptionRecord;
    PCONTEXT ContextRecord;
};
typedef EXCEPTION_POINTERS* PEXCEPTION_POINTERS;
typedef EXCEPTION_POINTERS* LPEXCEPTION_POINTERS;

typedef LONG(WINAPI* PTOP_LEVEL_EXCEPTION_FILTER)(EXCEPTION_POINTERS* ExceptionInfo);
typedef PTOP_LEVEL_EXCEPTION_FILTER LPTOP_LEVEL_EXCEPTION_FILTER;

// Installs the process's filter for faults that nothing handles and returns the one it
// replaces (NULL at first). NULL removes the layer's signal handlers again. The filter runs on
// the faulting thread inside a signal handler: see pal/DEVIATIONS.md for what it may do.
// Results: EXCEPTION_EXECUTE_HANDLER ends the process at once with a non-zero status;
// EXCEPTION_CONTINUE_SEARCH lets the signal take its default course (the process dies by it);
// EXCEPTION_CONTINUE_EXECUTION resumes at the (possibly changed) context record.
LPTOP_LEVEL_EXCEPTION_FILTER SetUnhandledExceptionFilter(
    LPTOP_LEVEL_EXCEPTION_FILTER lpTopLevelExceptionFilter);

// Not Win32: gives the calling thread an alternate signal stack when it has none, so that its
// crashes reach the filter even when the fault is a stack overflow. SetUnhandledExceptionFilter
// does this for the thread that calls it; threads the layer starts call it when they begin.
// Other threads without one still reach the filter for every fault but a stack overflow.
// Returns FALSE when no stack could be set up.
BOOL PalEnsureCrashStack();

// The process's error mode. The layer shows no dialogs, so the mode is only remembered.
#define SEM_FAILCRITICALERRORS 0x0001u
#define SEM_NOGPFAULTERRORBOX 0x0002u
#define SEM_NOALIGNMENTFAULTEXCEPT 0x0004u
#define SEM_NOOPENFILEERRORBOX 0x8000u
// Sets the process-wide error mode to exactly uMode and returns the previous one (0 at first).
UINT SetErrorMode(UINT uMode);

// TRUE while a tracer (a debugger) is attached to the process.
BOOL IsDebuggerPresent();

// The current local time in the process's time zone, to the millisecond.
void GetLocalTime(LPSYSTEMTIME lpSystemTime);

// Records of the crash-dump library ("DBGHELP.DLL"), which a program loads at run time and
// never links; declared here so that the caller and the library agree on them.
// Only MiniDumpNormal is written; the type holds any combination of the flags callers may pass.
enum MINIDUMP_TYPE : DWORD { MiniDumpNormal = 0x00000000 };

struct MINIDUMP_EXCEPTION_INFORMATION {
    DWORD ThreadId;
    PEXCEPTION_POINTERS ExceptionPointers;
    BOOL ClientPointers;
};
typedef MINIDUMP_EXCEPTION_INFORMATION* PMINIDUMP_EXCEPTION_INFORMATION;

// Extra streams and the progress callback of a dump; the library supports neither, so they
// are only named.
struct MINIDUMP_USER_STREAM_INFORMATION;
struct MINIDUMP_CALLBACK_INFORMATION;
typedef MINIDUMP_USER_STREAM_INFORMATION* PMINIDUMP_USER_STREAM_INFORMATION;
typedef MINIDUMP_CALLBACK_INFORMATION* PMINIDUMP_CALLBACK_INFORMATION;

// Not Win32: the signature of the library's export "MiniDumpWriteDump", for GetProcAddress.
typedef BOOL(WINAPI* MINIDUMP_WRITE_DUMP)(HANDLE hProcess, DWORD ProcessId, HANDLE hFile,
                                          MINIDUMP_TYPE DumpType,
                                          PMINIDUMP_EXCEPTION_INFORMATION ExceptionParam,
                                          PMINIDUMP_USER_STREAM_INFORMATION UserStreamParam,
                                          PMINIDUMP_CALLBACK_INFORMATION CallbackParam);
