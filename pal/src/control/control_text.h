// How the control socket writes and reads its values: texts in double quotes (UTF-8, with
// backslash escapes), rectangles as left,top,right,bottom, handles in hexadecimal, numbers
// whole and in range.
#pragma once

#include <optional>
#include <string>

#include "windows.h"

namespace pal::control {

// The layer's narrow text as a quoted UTF-8 text: \" \\ \n \r \t and \xNN for other control bytes.
std::string Quoted(const std::string& narrow);
std::string RectText(const RECT& rect);
std::string HandleText(const void* handle);
std::string HexText(unsigned value);

// A decimal or 0x-hexadecimal integer within [low, high]; nothing for anything else.
std::optional<long long> ParseNumber(const std::string& word, long long low, long long high);
// A handle as HandleText writes it (or decimal); nothing for anything else.
std::optional<HWND> ParseHandle(const std::string& word);

}  // namespace pal::control
