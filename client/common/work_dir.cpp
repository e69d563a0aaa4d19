// g_strWorkDir, the data directory of the client and of the updater.
// A program that defines this global itself, in its own order (BRDJ, in
// client/app/program_globals.cpp, which fixes the order of the program's six globals), never
// links this file: it holds nothing else, so the linker takes it from the library only for a
// program or test without its own definition.
#include "dir_and_ini.h"

std::string g_strWorkDir;
