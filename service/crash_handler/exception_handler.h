// The service's crash handler: while it exists, a fault on any thread that nothing handles writes
// a minidump next to the program (through "DBGHELP.DLL"'s MiniDumpWriteDump, loaded at run time)
// and ends the process quietly. The process has one, g_ExceptionHandler, built before the main
// entry runs and destroyed at exit.
#pragma once

#include <atomic>

#include "dump_path.h"
#include "windows.h"

class CExceptionHandler {
public:
    // Loads the dump function, fixes the dump directory and the program's name, installs Filter
    // and sets the error mode to SEM_FAILCRITICALERRORS.
    CExceptionHandler();
    // Forgets the dump function, frees the library and puts the previous filter back.
    ~CExceptionHandler();
    CExceptionHandler(const CExceptionHandler&) = delete;
    CExceptionHandler& operator=(const CExceptionHandler&) = delete;

    // The top-level filter, on the faulting thread. EXCEPTION_CONTINUE_SEARCH under a debugger
    // and for a breakpoint; otherwise writes the dump and returns EXCEPTION_EXECUTE_HANDLER.
    static LONG WINAPI Filter(EXCEPTION_POINTERS* pExceptionInfo);
    // Creates the file at the dump path and writes the dump of the calling thread into it; the
    // file stays empty without a dump function.
    static void WriteMiniDump(EXCEPTION_POINTERS* pExceptionInfo);

private:
    static void LoadDumpFunction();
    static void FixDumpDirectory();
    static void FixProgramName();

    // Written only by the constructor and the destructor; read by the filter.
    static char s_szDumpDir[kDumpPathSize];
    static bool s_bDumpDirKnown;
    static char s_szFileName[kDumpNamePartSize];
    static char s_szExtension[kDumpNamePartSize];
    static bool s_bProgramNameKnown;
    static HMODULE s_hDbgHelp;
    static std::atomic<MINIDUMP_WRITE_DUMP> s_pfnMiniDumpWriteDump;
    static LPTOP_LEVEL_EXCEPTION_FILTER s_pPreviousFilter;

    // The crash being written: its path, and whether a thread has taken it.
    static char s_szDumpPath[kDumpPathSize];
    static std::atomic<bool> s_bCrashTaken;
};

extern CExceptionHandler g_ExceptionHandler;
