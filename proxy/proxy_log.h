// The proxy's log: every line goes through YL_Log to "brServiceProxy.txt" at level 0. Chinese
// texts are passed as their GBK bytes (PalGbk).
#pragma once

#include <string>

#include "yl_log.h"

inline const std::string& ProxyLogFile() {
    static const std::string name = "brServiceProxy.txt";
    return name;
}

constexpr int PROXY_LOG_LEVEL = 0;

#define PROXY_LOG(function, ...) YL_Log(ProxyLogFile(), PROXY_LOG_LEVEL, function, __VA_ARGS__)
