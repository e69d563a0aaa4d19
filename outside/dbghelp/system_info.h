// The SystemInfoStream record: the machine (x86-64, its processor from cpuid and how many are
// online) and the kernel (its release as the version numbers, the rest of uname as the text
// that the record names).
#pragma once

#include <cstdint>

#include "dump_output.h"

namespace dbghelp {

struct SystemInfo {
    uint16_t processorLevel;     // the family
    uint16_t processorRevision;  // model << 8 | stepping
    uint8_t processors;
    uint32_t major, minor, build;
    uint32_t vendor[3];
    uint32_t version;      // cpuid 1, eax
    uint32_t features;     // cpuid 1, edx
    uint32_t amdFeatures;  // cpuid 0x80000001, edx, on AMD processors
    char text[400];        // "sysname release version machine"
    uint32_t textLength;
};

// Gathers it with system calls and cpuid only.
void GatherSystemInfo(SystemInfo* info);
// The record; textRva is where the text's string record lies.
void PutSystemInfo(DumpOutput* out, const SystemInfo& info, uint32_t textRva);

}  // namespace dbghelp
