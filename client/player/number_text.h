// The movie's numbers as text to values: one number read as a string stream reads it (leading
// blanks skipped, base 10, up to the first character that cannot continue it). No digits, a
// value outside the type's range or any exception gives 0.
#pragma once

#include <cstdint>
#include <string>

// The unsigned 32-bit value ("-3" reads as 4294967293, as the stream negates unsigned values).
uint32_t StrToULong(const std::string& text);
// The signed 32-bit value.
int32_t StrToInt(const std::string& text);
