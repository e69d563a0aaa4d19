// A crash-dump library for the tests that lacks the export named by WITHOUT_<name>. Its
// MiniDumpWriteDump writes a short marker instead of a dump; the symbol-engine exports only
// need to be found.
#include "windows.h"

#define SYMBOL_ENGINE_EXPORT(name) \
    extern "C" BOOL name() {       \
        return FALSE;              \
    }

#ifndef WITHOUT_MiniDumpWriteDump
extern "C" BOOL WINAPI MiniDumpWriteDump(HANDLE, DWORD, HANDLE hFile, MINIDUMP_TYPE,
                                         PMINIDUMP_EXCEPTION_INFORMATION,
                                         PMINIDUMP_USER_STREAM_INFORMATION,
                                         PMINIDUMP_CALLBACK_INFORMATION) {
    static const char kMarker[] = "kept by mistake";
    DWORD written = 0;
    return WriteFile(hFile, kMarker, sizeof kMarker - 1, &written, nullptr);
}
#endif
#ifndef WITHOUT_SymCleanup
SYMBOL_ENGINE_EXPORT(SymCleanup)
#endif
SYMBOL_ENGINE_EXPORT(SymEnumSymbols)
SYMBOL_ENGINE_EXPORT(SymSetOptions)
SYMBOL_ENGINE_EXPORT(SymInitialize)
SYMBOL_ENGINE_EXPORT(SymSetContext)
SYMBOL_ENGINE_EXPORT(SymGetLineFromAddr64)
SYMBOL_ENGINE_EXPORT(SymFromAddr)
SYMBOL_ENGINE_EXPORT(StackWalk64)
SYMBOL_ENGINE_EXPORT(SymFunctionTableAccess64)
SYMBOL_ENGINE_EXPORT(SymGetModuleBase64)
#ifndef WITHOUT_SymGetTypeInfo
SYMBOL_ENGINE_EXPORT(SymGetTypeInfo)
#endif
