// Processes and modules: starting programs, process handles, process snapshots, loaded
// libraries. Program and library names follow one rule (program_names.cpp): "X.exe" is the file
// X.exe when there is one, else the executable X; "X.dll" is libX.so; a process whose
// executable is X reports the name "X.exe". Name lookups see only processes of this runtime root.
#pragma once

#include "pal/types.h"

#ifndef ERROR_BAD_LENGTH
#define ERROR_BAD_LENGTH 24u
#endif
#ifndef ERROR_BAD_EXE_FORMAT
#define ERROR_BAD_EXE_FORMAT 193u
#endif
#ifndef ERROR_DIRECTORY
#define ERROR_DIRECTORY 267u
#endif

// Access rights of a process handle.
#ifndef SYNCHRONIZE
#define SYNCHRONIZE 0x00100000u
#endif
#define PROCESS_TERMINATE 0x0001u
#define PROCESS_QUERY_INFORMATION 0x0400u
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000u
#define PROCESS_ALL_ACCESS 0x001FFFFFu

// GetExitCodeProcess's value while the process runs.
#define STILL_ACTIVE 259u

// CreateProcessA. Creation flags are accepted and have no effect.
#define CREATE_NO_WINDOW 0x08000000u
#define STARTF_USESHOWWINDOW 0x00000001u

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
typedef STARTUPINFOA* LPSTARTUPINFOA;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

// Starts a program (posix_spawn). The program is lpApplicationName, or else the first token of
// lpCommandLine (quoted or up to the first blank), searched in the program's folder, the
// current folder and PATH. The command line's first token becomes argv[0]; the rest of it, after
// the blanks that follow the token, is passed as ONE argument, unsplit (none when empty), which
// is what a WinMain-style program receives as its command line (see entry.h).
// lpEnvironment: NULL inherits, else a block of "name=value" strings ended by an empty one.
// STARTF_USESHOWWINDOW hands wShowWindow to a WinMain-style program's show command.
// Errors: ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND (its folder is missing), ERROR_DIRECTORY
// (lpCurrentDirectory is not a folder), ERROR_BAD_EXE_FORMAT (neither executable nor "#!"),
// ERROR_ACCESS_DENIED, ERROR_INVALID_PARAMETER (no program or no PROCESS_INFORMATION).
BOOL CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                    LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                    DWORD dwCreationFlags, LPVOID lpEnvironment, LPCSTR lpCurrentDirectory,
                    LPSTARTUPINFOA lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation);

// A handle of a running process by id. ERROR_INVALID_PARAMETER for an id that names no process
// (and for 0), ERROR_ACCESS_DENIED for a process of another user.
HANDLE OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
// Ends the process with SIGKILL (needs PROCESS_TERMINATE); its handles then signal and its exit
// code reads uExitCode. ERROR_ACCESS_DENIED when it has already ended.
BOOL TerminateProcess(HANDLE hProcess, UINT uExitCode);
// STILL_ACTIVE while the process runs (needs PROCESS_QUERY_INFORMATION or the limited right).
BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);
// The pseudo-handle (HANDLE)-1 of the calling process; it needs no closing.
HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();

// Process snapshots (Toolhelp).
#define TH32CS_SNAPHEAPLIST 0x00000001u
#define TH32CS_SNAPPROCESS 0x00000002u
#define TH32CS_SNAPTHREAD 0x00000004u
#define TH32CS_SNAPMODULE 0x00000008u
#define TH32CS_SNAPALL 0x0000000Fu

struct PROCESSENTRY32 {
    DWORD dwSize;  // set by the caller to sizeof(PROCESSENTRY32)
    DWORD cntUsage;
    DWORD th32ProcessID;
    ULONG_PTR th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    LONG pcPriClassBase;
    DWORD dwFlags;
    CHAR szExeFile[MAX_PATH];  // the executable's file name only, e.g. "BRDJ.exe"
};
typedef PROCESSENTRY32* LPPROCESSENTRY32;

// A snapshot of the running processes of this user in this runtime root, the caller included,
// in ascending id order. Only TH32CS_SNAPPROCESS is supported (ERROR_NOT_SUPPORTED otherwise).
HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID);
// FALSE with ERROR_BAD_LENGTH when lppe->dwSize is too small, ERROR_NO_MORE_FILES at the end.
BOOL Process32First(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);
BOOL Process32Next(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);

// Modules. An HMODULE is the base address of a loaded object, as on Windows.
// NULL: the program. Else a loaded library by name ("X.dll" or "X" is libX.so, matched by file
// name without regard to case; a name with "/" is matched as a path), or the program itself
// when the name is its reported name ("BRDJ.exe"). ERROR_MOD_NOT_FOUND otherwise.
HMODULE GetModuleHandleA(LPCSTR lpModuleName);
// The module's full path; the program reports its folder and its name under the rule ("/x/BRDJ"
// gives "/x/BRDJ.exe"). A path that does not fit is cut to nSize - 1 characters and a NUL, and
// the result is nSize with ERROR_INSUFFICIENT_BUFFER. 0 with ERROR_MOD_NOT_FOUND for an unknown
// module.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
// Loads a library under the name rule. A bare name is looked for in the program's folder, then
// the folder of the object that holds this layer, then the loader's own search. NULL with
// ERROR_MOD_NOT_FOUND when missing, ERROR_BAD_EXE_FORMAT when the file cannot be loaded.
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
// An export of that very module; NULL with ERROR_PROC_NOT_FOUND when it has none of that name.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);
