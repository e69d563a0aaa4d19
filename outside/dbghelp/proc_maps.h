// What a dump needs from /proc/self/maps: the loaded ELF modules and the readable mapping that
// holds a thread's stack pointer. Read with plain system calls into fixed storage, so it can run
// inside a signal handler; the storage lives in the caller's ProcMaps (a static one).
#pragma once

#include <cstddef>
#include <cstdint>

namespace dbghelp {

struct Module {
    uint64_t base;
    uint64_t end;
    uint32_t nameOffset;  // into ProcMaps::names
    uint32_t nameLength;
};

struct ProcMaps {
    static constexpr size_t kMaxModules = 1024;
    static constexpr size_t kNameSpace = 128 * 1024;
    static constexpr size_t kReadSpace = 16 * 1024;

    Module modules[kMaxModules];
    size_t moduleCount;
    char names[kNameSpace];
    size_t namesUsed;
    // The readable mapping that holds the address given to Scan; empty when none does.
    uint64_t stackStart;
    uint64_t stackEnd;
    char read[kReadSpace];

    const char* Name(const Module& m) const { return names + m.nameOffset; }
};

// Fills maps from /proc/self/maps. A module is a file mapped from offset 0 that starts with
// the ELF magic, spanning the mappings of that file that follow it. Modules beyond the table's
// room are left out. False when the file cannot be read.
bool ScanProcMaps(uint64_t stackPointer, ProcMaps* maps);

}  // namespace dbghelp
