// The client's diagnostic log: printf-style lines into ./log/BRDJ.txt under the working folder,
// written only when the installation's configuration asks for the level "debug".
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

class CDebugLog {
public:
    CDebugLog();
    // Closes the file; lines logged after this are dropped.
    ~CDebugLog();
    CDebugLog(const CDebugLog&) = delete;
    CDebugLog& operator=(const CDebugLog&) = delete;

    // Writes the formatted text and a newline, flushed at once. The first call reads the level
    // from the configuration file (section "LogMsg", key "realloglevel"); only "debug" exactly
    // turns logging on, for the rest of the process. The file is opened (and truncated) by the
    // first line written; while it cannot be opened, lines are dropped and the next one tries
    // again. Safe from any thread: lines never mix. Never fails, throws or changes the caller's
    // last error or errno.
    void Log(const char* format, ...);

private:
    static constexpr int kLevelUnread = 0;
    static constexpr int kLevelOff = 1;
    static constexpr int kLevelOn = 2;

    void Open();
    void WriteLine(const char* format, std::va_list arguments);

    std::FILE* file_;
    std::atomic<int> level_;  // kLevelUnread, kLevelOff or kLevelOn
    std::mutex lock_;         // the level read, the open and every line, one at a time
};

// The client's one log.
extern CDebugLog g_Log;
