// The minidump file format as the writer emits it: little-endian records at 32-bit offsets
// (RVAs) from the start of the file. Sizes are those of the packed records on disk.
#pragma once

#include <cstdint>

namespace dbghelp {

constexpr uint32_t kSignature = 0x504D444D;  // "MDMP"
constexpr uint32_t kVersion = 0xA793;

enum StreamType : uint32_t {
    kThreadListStream = 3,
    kModuleListStream = 4,
    kMemoryListStream = 5,
    kExceptionStream = 6,
    kSystemInfoStream = 7,
    kMiscInfoStream = 15,
};

constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kDirectoryEntrySize = 12;
constexpr uint32_t kSystemInfoSize = 56;
constexpr uint32_t kMiscInfoSize = 24;
constexpr uint32_t kThreadSize = 48;
constexpr uint32_t kExceptionStreamSize = 168;
constexpr uint32_t kMemoryDescriptorSize = 16;
constexpr uint32_t kModuleSize = 108;
constexpr uint32_t kContextSize = 1232;
constexpr uint32_t kVersionInfoSize = 52;
constexpr uint32_t kExceptionParameters = 15;

constexpr uint16_t kArchitectureAmd64 = 9;
constexpr uint8_t kProductWorkstation = 1;
constexpr uint32_t kPlatformLinux = 0x8201;  // the platform id minidump readers use for Linux
constexpr uint32_t kMiscProcessId = 0x1;

}  // namespace dbghelp
