// CDebugLog: the level read once, the file opened by the first line, one line at a time.
#include "debug_log.h"

#include <windows.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <string>

#include "dir_and_ini.h"

namespace {

constexpr DWORD kLevelValueSize = 260;

// The configured level under the program folder: on only for exactly "debug".
bool LevelIsDebug() {
    const std::string path = GetExeDir() + InstallConfigFile();
    char value[kLevelValueSize] = {};
    GetPrivateProfileStringA("LogMsg", "realloglevel", "", value, kLevelValueSize, path.c_str());
    return std::strcmp(value, "debug") == 0;
}

// Relative to the working folder, not to the program folder.
std::string LogFilePath() {
    return std::string(".") + kPathSeparator + "log" + kPathSeparator + "BRDJ.txt";
}

}  // namespace

CDebugLog::CDebugLog() : file_(nullptr), level_(kLevelUnread) {}

CDebugLog::~CDebugLog() {
    std::lock_guard<std::mutex> hold(lock_);
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    // A thread that logs while the process exits must not open the file again and truncate it.
    level_.store(kLevelOff, std::memory_order_release);
}

void CDebugLog::Log(const char* format, ...) {
    if (level_.load(std::memory_order_acquire) == kLevelOff || !format) {
        return;
    }
    const int savedErrno = errno;
    const DWORD savedError = GetLastError();
    std::va_list arguments;
    va_start(arguments, format);
    try {
        WriteLine(format, arguments);
    } catch (...) {
        // Nothing a log line does may reach the caller.
    }
    va_end(arguments);
    SetLastError(savedError);
    errno = savedErrno;
}

void CDebugLog::WriteLine(const char* format, std::va_list arguments) {
    std::lock_guard<std::mutex> hold(lock_);
    int level = level_.load(std::memory_order_relaxed);
    if (level == kLevelUnread) {
        level = LevelIsDebug() ? kLevelOn : kLevelOff;
        level_.store(level, std::memory_order_release);
    }
    if (level != kLevelOn) {
        return;
    }
    if (!file_) {
        Open();
        if (!file_) {
            return;
        }
    }
    std::vfprintf(file_, format, arguments);
    std::fputs("\n", file_);
    std::fflush(file_);
}

// Text mode with truncation: each run starts the file afresh at its first line. The folder is
// never created; without it the open fails.
void CDebugLog::Open() {
    file_ = std::fopen(LogFilePath().c_str(), "w");
}
