// The names of the crash handler's files: the dump directory taken from a module's path, the
// program's file name split into name and extension, and the dump file's full path. Plain
// functions on fixed buffers, so the fault filter can call them without allocating.
#pragma once

#include <cstddef>

#include "windows.h"

constexpr char kDumpPathSeparator = '/';

// Size of the directory and path buffers (MAX_PATH: 259 characters and the NUL).
constexpr size_t kDumpPathSize = MAX_PATH;
// Size of the name and extension buffers.
constexpr size_t kDumpNamePartSize = 256;

// The directory of a module path: the part before its last separator (the whole path when it has
// none), with one trailing separator removed. False, with dir empty, when it does not fit.
bool DumpDirectoryOf(const char* modulePath, char (&dir)[kDumpPathSize]);

// The file name of a path without its extension, and the extension with its dot ("" when the
// file name has no dot). False, with both empty, when either does not fit its buffer.
bool SplitProgramName(const char* path, char (&name)[kDumpNamePartSize],
                      char (&extension)[kDumpNamePartSize]);

// Formats "DIR/YYYYMMDDhhmmssmmm_NAMEEXT.dmp" into path. False, with path empty, when the whole
// path would not fit.
bool FormatDumpPath(const char* dir, const SYSTEMTIME& time, const char* name,
                    const char* extension, char (&path)[kDumpPathSize]);
