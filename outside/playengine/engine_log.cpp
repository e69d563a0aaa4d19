#include "engine_log.h"

#include "yl_log.h"

void EngineLog(const char* function, const std::string& message) {
    YL_Log(PE_LOG_FILE, 0, function, "%s", message.c_str());
}
