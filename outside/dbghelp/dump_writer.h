// The dump writer behind MiniDumpWriteDump: a minidump of the calling process written to a
// POSIX file descriptor. Streams: system information, miscellaneous information (the process
// id), the exception (when there is one), the thread list with the one thread the request names
// (its context and its stack memory), the memory list (that stack) and the module list.
#pragma once

#include <cstdint>

#include "windows.h"

namespace dbghelp {

struct DumpRequest {
    uint32_t processId;
    uint32_t threadId;
    const EXCEPTION_RECORD* exception;  // null: the dump has no exception stream
    const CONTEXT* context;             // the thread's registers; its Rsp locates the stack
};

// Writes the dump sequentially from the descriptor's current position, which must be the start
// of the file (offsets in a dump count from there). False when a write fails. Uses static
// storage and no allocation; concurrent calls take turns, and a call made while the same thread
// is already writing one (from a fault inside the writer) fails at once.
bool WriteMinidump(int fd, const DumpRequest& request);

}  // namespace dbghelp
