// BrLog stand-in: the logging library's one call.
#pragma once

#include <string>

// Appends one line to the log file fileName in the log folder: the local time to the
// millisecond, the process and thread ids, the level, the function name and the message
// formatted printf-style from format and its arguments. The folder is $BRLOG_DIR when set, else
// "log" beside this library; it is made when missing. Each line reaches the file in one append,
// so lines of several threads and processes never mix. Messages are bytes (GBK texts pass
// through); a line break inside one becomes a blank, a NULL format logs "(null)", and a message
// over 64 KiB is cut. A file name that is not a plain name (empty, ".", "..", or with a "/")
// logs nothing. Never fails its caller and leaves errno as it was.
//
// The format is not checked by the compiler: callers pass GBK texts from PalGbk as formats.
void YL_Log(const std::string& fileName, int level, const std::string& functionName,
            const char* format, ...);
