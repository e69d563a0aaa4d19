// Construction and teardown of the crash handler.
#include "exception_handler.h"

namespace {

// The library is kept only when it has the whole symbol engine besides the dump function.
constexpr const char* kSymbolEngineExports[] = {
    "SymCleanup",         "SymEnumSymbols", "SymSetOptions",
    "SymInitialize",      "SymSetContext",  "SymGetLineFromAddr64",
    "SymFromAddr",        "StackWalk64",    "SymFunctionTableAccess64",
    "SymGetModuleBase64", "SymGetTypeInfo",
};

// A module's path, or false when there is none or it does not fit: a cut path would end inside
// a folder name and name another folder.
bool ModulePath(HMODULE module, char (&path)[kDumpPathSize]) {
    DWORD length = GetModuleFileNameA(module, path, kDumpPathSize);
    if (length == 0 || length >= kDumpPathSize) {
        path[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace

char CExceptionHandler::s_szDumpDir[kDumpPathSize] = {};
bool CExceptionHandler::s_bDumpDirKnown = false;
char CExceptionHandler::s_szFileName[kDumpNamePartSize] = {};
char CExceptionHandler::s_szExtension[kDumpNamePartSize] = {};
bool CExceptionHandler::s_bProgramNameKnown = false;
HMODULE CExceptionHandler::s_hDbgHelp = nullptr;
std::atomic<MINIDUMP_WRITE_DUMP> CExceptionHandler::s_pfnMiniDumpWriteDump{nullptr};
LPTOP_LEVEL_EXCEPTION_FILTER CExceptionHandler::s_pPreviousFilter = nullptr;
char CExceptionHandler::s_szDumpPath[kDumpPathSize] = {};
std::atomic<bool> CExceptionHandler::s_bCrashTaken{false};

CExceptionHandler::CExceptionHandler() {
    LoadDumpFunction();
    FixDumpDirectory();
    FixProgramName();
    // The first local time reads the time zone; do it here rather than inside a fault handler.
    SYSTEMTIME now;
    GetLocalTime(&now);
    s_pPreviousFilter = SetUnhandledExceptionFilter(Filter);
    SetErrorMode(SEM_FAILCRITICALERRORS);
}

CExceptionHandler::~CExceptionHandler() {
    s_pfnMiniDumpWriteDump.store(nullptr);
    if (s_hDbgHelp != nullptr) {
        FreeLibrary(s_hDbgHelp);
        s_hDbgHelp = nullptr;
    }
    SetUnhandledExceptionFilter(s_pPreviousFilter);
}

void CExceptionHandler::LoadDumpFunction() {
    HMODULE module = LoadLibraryA("DBGHELP.DLL");
    if (module == nullptr) {
        return;
    }
    // Through the generic function type, so the cast states no signature of its own.
    auto writeDump = reinterpret_cast<MINIDUMP_WRITE_DUMP>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "MiniDumpWriteDump")));
    bool complete = writeDump != nullptr;
    for (const char* name : kSymbolEngineExports) {
        complete = complete && GetProcAddress(module, name) != nullptr;
    }
    if (!complete) {
        FreeLibrary(module);
        return;
    }
    s_hDbgHelp = module;
    s_pfnMiniDumpWriteDump.store(writeDump);
}

// The folder of the module "ZIVAREV" when one is loaded, else the program's own folder.
void CExceptionHandler::FixDumpDirectory() {
    char path[kDumpPathSize];
    s_bDumpDirKnown =
        ModulePath(GetModuleHandleA("ZIVAREV"), path) && DumpDirectoryOf(path, s_szDumpDir);
}

// The program's file name and extension do not change while it runs, so the filter need not
// ask for them inside a fault handler.
void CExceptionHandler::FixProgramName() {
    char path[kDumpPathSize];
    s_bProgramNameKnown =
        ModulePath(nullptr, path) && SplitProgramName(path, s_szFileName, s_szExtension);
}
