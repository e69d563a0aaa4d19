// The program's globals that belong to no other folder. All six of the program's globals
// (theApp, g_strSwfPath, g_Log, g_PlayerCore, g_MediaPlay, g_strWorkDir) are defined in
// program_globals.cpp, in that order, so that they are built in that order and destroyed in
// the reverse one.
#pragma once

#include <string>

// The movie's path (or address): set by the main window at start and by the movie's
// "openLoadingUrl" call.
extern std::string g_strSwfPath;
