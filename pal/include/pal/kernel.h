// Kernel objects: handles, waits, last error, events, critical sections, time, threads, named
// mutexes and the security-descriptor calls that go with them.
#pragma once

#include "pal/types.h"

BOOL CloseHandle(HANDLE hObject);
// Waits on an event, thread, process or mutex. Results: WAIT_OBJECT_0, WAIT_TIMEOUT, or
// WAIT_FAILED with ERROR_INVALID_HANDLE for a handle that is unknown or cannot be waited on.
// A named mutex cannot be waited on here (ERROR_NOT_SUPPORTED; see CreateMutexA).
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// GetLastError values of this area.
#ifndef ERROR_INVALID_THREAD_ID
#define ERROR_INVALID_THREAD_ID 1444u
#endif
#ifndef ERROR_UNKNOWN_REVISION
#define ERROR_UNKNOWN_REVISION 1305u
#endif

// ---- Events ----------------------------------------------------------------------------------

// An unnamed event, manual- or auto-reset, signalled or not. A waiter on an auto-reset event
// takes the signal, so one SetEvent releases exactly one waiter. A non-empty name fails with
// ERROR_NOT_SUPPORTED: the layer has no named events.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                    LPCSTR lpName);
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);

// ---- Critical sections -----------------------------------------------------------------------

// A recursive lock within one process. The contents belong to the layer.
struct CRITICAL_SECTION {
    alignas(16) unsigned char Opaque[64];
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;
typedef CRITICAL_SECTION* PCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
// TRUE when the calling thread now holds the section (also when it held it already).
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
// A thread that does not hold the section leaves it untouched.
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// ---- Time ------------------------------------------------------------------------------------

// Sleep(0) gives up the rest of the time slice; INFINITE never returns.
void Sleep(DWORD dwMilliseconds);
// Milliseconds of the monotonic clock since the system started; wraps after about 49.7 days.
DWORD GetTickCount();

// ---- Threads ---------------------------------------------------------------------------------

#ifndef STILL_ACTIVE
#define STILL_ACTIVE 259u
#endif
#define CREATE_SUSPENDED 0x00000004u
#define STACK_SIZE_PARAM_IS_A_RESERVATION 0x00010000u

// Starts a thread running start_address(arglist); returns its handle (0 on failure, with errno
// and GetLastError set) and stores its id in *thrdaddr when given. The handle is signalled when
// the thread has ended, and GetExitCodeThread then gives start_address's result. initflag is 0
// or CREATE_SUSPENDED (the thread starts at ResumeThread), optionally with
// STACK_SIZE_PARAM_IS_A_RESERVATION; a stack_size above the default enlarges the stack.
uintptr_t _beginthreadex(void* security, unsigned stack_size,
                         unsigned(__stdcall* start_address)(void*), void* arglist,
                         unsigned initflag, unsigned* thrdaddr);
// Starts a thread made with CREATE_SUSPENDED. Returns the suspend count before the call (1 for
// a suspended thread, 0 otherwise), or (DWORD)-1 with ERROR_INVALID_HANDLE.
DWORD ResumeThread(HANDLE hThread);
// STILL_ACTIVE while the thread runs, then its exit code.
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
// A stable, small, nonzero id of the calling thread, never reused within the process; for a
// thread of _beginthreadex it is the id that call reported.
DWORD GetCurrentThreadId();
// Ends a thread's life for everyone else: its handle is signalled with dwExitCode and its message
// queue is gone. The thread itself cannot be stopped safely on POSIX: it runs on until it next
// enters a wait of the layer (WaitForSingleObject, Sleep, GetMessageA, PeekMessageA,
// EnterCriticalSection), where it stops for good. See pal/DEVIATIONS.md.
BOOL TerminateThread(HANDLE hThread, DWORD dwExitCode);

// ---- Security descriptors --------------------------------------------------------------------

#define SECURITY_DESCRIPTOR_REVISION 1u
#define SE_DACL_PRESENT 0x0004u
#define SE_DACL_DEFAULTED 0x0008u

// An access-control list; the layer keeps none, so it is only ever passed as a pointer.
struct ACL {
    BYTE AclRevision;
    WORD AclSize;
};
typedef ACL* PACL;

// Kept for the calls that fill it; the layer applies no access control to its objects (the
// runtime root is private to its user).
struct SECURITY_DESCRIPTOR {
    BYTE Revision;
    WORD Control;
    PACL Dacl;
};
typedef void* PSECURITY_DESCRIPTOR;

// Empties the descriptor; FALSE with ERROR_UNKNOWN_REVISION for a revision other than 1.
BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR pSecurityDescriptor, DWORD dwRevision);
// Records the DACL in the descriptor (a NULL DACL that is present lets everybody in). FALSE with
// ERROR_UNKNOWN_REVISION for a descriptor that was not initialised.
BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR pSecurityDescriptor, BOOL bDaclPresent,
                               PACL pDacl, BOOL bDaclDefaulted);

// ---- Mutexes ---------------------------------------------------------------------------------

// Opens the named mutex of the runtime root, creating it when no process of that root has it
// open. GetLastError is ERROR_ALREADY_EXISTS when it existed (in this process or another), else
// ERROR_SUCCESS. The mutex exists while any process has a handle to it; a process that ends,
// however it ends, lets go of its handles. Names are compared case-sensitively; over MAX_PATH
// characters fail with ERROR_FILENAME_EXCED_RANGE. The layer marks existence only: ownership is
// not kept (bInitialOwner is ignored, the handle cannot be waited on, there is no ReleaseMutex),
// and an unnamed mutex fails with ERROR_NOT_SUPPORTED.
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);
