// Narrow (GBK) text as UTF-8, for what the layer writes for people to read (standard error,
// logs of message boxes and debug output).
#pragma once

#include <string>

namespace pal::text {

// The GBK text as UTF-8; the bytes unchanged when they are no GBK text.
std::string Utf8FromGbk(const std::string& gbk);

}  // namespace pal::text
