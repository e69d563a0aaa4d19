// Not Win32, and not part of windows.h: the POSIX descriptor behind one of the layer's file
// handles, for the outside libraries that write to a handle their caller opened (the crash-dump
// library). Every program that links the layer exports this function, so a library the program
// loads at run time reaches the program's own handle table through it; such a library declares
// it weak and links no copy of the layer.
#pragma once

#include "pal/types.h"

// The descriptor, still owned by the handle; -1 with ERROR_INVALID_HANDLE for a handle that is
// unknown or not a file.
extern "C" int PalFileDescriptor(HANDLE hFile);
