// A small reader of minidump files for tests: it checks the header and that every record it
// decodes lies inside the file, and decodes the streams the writer emits. Malformed input
// throws std::runtime_error, which fails the test that reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "windows.h"

namespace dumptest {

struct Location {
    uint32_t size;
    uint32_t rva;
    bool operator==(const Location&) const = default;
};

struct Directory {
    uint32_t type;
    Location location;
};

struct Thread {
    uint32_t id;
    uint64_t stackStart;
    Location stack;
    Location context;
};

struct Exception {
    uint32_t threadId;
    uint32_t code;
    uint32_t flags;
    uint64_t address;
    uint32_t parameterCount;
    uint64_t parameters[15];
    Location context;
};

struct Module {
    uint64_t base;
    uint32_t size;
    std::string name;  // UTF-8
};

struct MemoryRange {
    uint64_t start;
    Location memory;
};

struct System {
    uint16_t architecture;
    uint8_t processors;
    uint32_t platform;
    std::string text;
};

class Minidump {
public:
    explicit Minidump(std::string bytes);
    static Minidump FromFile(const std::string& path);

    uint32_t Version() const { return U32(4); }
    uint64_t Flags() const { return U64(24); }
    const std::vector<Directory>& Streams() const { return streams_; }
    // The one stream of the type; throws when there is none or more than one.
    Location Stream(uint32_t type) const;
    bool Has(uint32_t type) const;

    System SystemInfo() const;
    uint32_t ProcessId() const;
    std::optional<Exception> GetException() const;
    std::vector<Thread> Threads() const;
    std::vector<MemoryRange> Memory() const;
    std::vector<Module> Modules() const;
    CONTEXT Context(Location location) const;
    std::string Bytes(Location location) const;
    // A MINIDUMP_STRING, as UTF-8.
    std::string String(uint32_t rva) const;

    uint16_t U16(uint64_t offset) const;
    uint32_t U32(uint64_t offset) const;
    uint64_t U64(uint64_t offset) const;

private:
    void Check(uint64_t offset, uint64_t size) const;

    std::string data_;
    std::vector<Directory> streams_;
};

}  // namespace dumptest
