// g_Log, the client's debug log.
// A program that defines this global itself, in its own order (BRDJ, in
// client/app/program_globals.cpp, which fixes the order of the program's six globals), never
// links this file: it holds nothing else, so the linker takes it from the library only for a
// program or test without its own definition.
#include "debug_log.h"

CDebugLog g_Log;
