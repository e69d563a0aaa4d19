// Names in a dump are MINIDUMP_STRINGs: a 32-bit byte length, then UTF-16LE code units and a
// terminating 0 unit. Paths on Linux are bytes, read here as UTF-8; a byte that does not start a
// valid sequence becomes U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dump_output.h"

namespace dbghelp {

// The size on disk of the string for these bytes, terminator included.
uint32_t StringRecordSize(const char* text, size_t length);
// Emits the string record.
void PutString(DumpOutput* out, const char* text, size_t length);

}  // namespace dbghelp
