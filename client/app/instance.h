// The single-instance test of the client: a named mutex of the user's runtime root.
#pragma once

#include "windows.h"

// The mutex that marks a running client; null until IsAnotherInstanceRunning creates it, and
// null again when another instance held it. A first instance keeps it open for its whole life.
extern HANDLE g_hInstanceMutex;

// The mutex's name. It has no namespace prefix: one client per user logon.
inline constexpr char kInstanceMutexName[] = "Brindo_DJ_Mutex_2011_10_17";

// Creates the mutex (NULL DACL, so that every account may open it) and keeps its handle in
// g_hInstanceMutex. True when another instance holds it (the handle is then closed and
// g_hInstanceMutex null); false otherwise, also when the mutex cannot be created at all, so that
// the program then runs without one.
bool IsAnotherInstanceRunning();
