// The engine's log: one line per event that a person looking into a silent player needs (an
// output that does not open, an item that fails, and why), through the logging library into
// the file PE_LOG_FILE of its log folder.
#pragma once

#include <string>

constexpr char PE_LOG_FILE[] = "PlayEngine.txt";

void EngineLog(const char* function, const std::string& message);
