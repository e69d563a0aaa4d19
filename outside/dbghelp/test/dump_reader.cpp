#include "dump_reader.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "minidump_format.h"

namespace dumptest {

Minidump::Minidump(std::string bytes) : data_(std::move(bytes)) {
    if (U32(0) != dbghelp::kSignature) {
        throw std::runtime_error("no MDMP signature");
    }
    if ((U32(4) & 0xFFFF) != dbghelp::kVersion) {
        throw std::runtime_error("unknown version");
    }
    uint32_t count = U32(8);
    uint32_t directory = U32(12);
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t at = directory + uint64_t{i} * dbghelp::kDirectoryEntrySize;
        Directory entry{U32(at), {U32(at + 4), U32(at + 8)}};
        Check(entry.location.rva, entry.location.size);
        streams_.push_back(entry);
    }
}

Minidump Minidump::FromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return Minidump(bytes.str());
}

void Minidump::Check(uint64_t offset, uint64_t size) const {
    if (offset > data_.size() || size > data_.size() - offset) {
        throw std::runtime_error("record outside the file at " + std::to_string(offset));
    }
}

uint16_t Minidump::U16(uint64_t offset) const {
    Check(offset, 2);
    auto* p = reinterpret_cast<const unsigned char*>(data_.data() + offset);
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Minidump::U32(uint64_t offset) const {
    return U16(offset) | static_cast<uint32_t>(U16(offset + 2)) << 16;
}

uint64_t Minidump::U64(uint64_t offset) const {
    return U32(offset) | static_cast<uint64_t>(U32(offset + 4)) << 32;
}

Location Minidump::Stream(uint32_t type) const {
    const Directory* found = nullptr;
    for (const Directory& entry : streams_) {
        if (entry.type == type) {
            if (found != nullptr) {
                throw std::runtime_error("stream " + std::to_string(type) + " twice");
            }
            found = &entry;
        }
    }
    if (found == nullptr) {
        throw std::runtime_error("no stream " + std::to_string(type));
    }
    return found->location;
}

bool Minidump::Has(uint32_t type) const {
    for (const Directory& entry : streams_) {
        if (entry.type == type) {
            return true;
        }
    }
    return false;
}

System Minidump::SystemInfo() const {
    Location at = Stream(dbghelp::kSystemInfoStream);
    Check(at.rva, dbghelp::kSystemInfoSize);
    return {U16(at.rva), static_cast<uint8_t>(data_[at.rva + 6]), U32(at.rva + 20),
            String(U32(at.rva + 24))};
}

uint32_t Minidump::ProcessId() const {
    Location at = Stream(dbghelp::kMiscInfoStream);
    if (U32(at.rva) < 12 || !(U32(at.rva + 4) & dbghelp::kMiscProcessId)) {
        throw std::runtime_error("no process id");
    }
    return U32(at.rva + 8);
}

std::optional<Exception> Minidump::GetException() const {
    if (!Has(dbghelp::kExceptionStream)) {
        return std::nullopt;
    }
    Location at = Stream(dbghelp::kExceptionStream);
    Check(at.rva, dbghelp::kExceptionStreamSize);
    Exception e{};
    e.threadId = U32(at.rva);
    e.code = U32(at.rva + 8);
    e.flags = U32(at.rva + 12);
    e.address = U64(at.rva + 24);
    e.parameterCount = U32(at.rva + 32);
    for (int i = 0; i < 15; ++i) {
        e.parameters[i] = U64(at.rva + 40 + 8 * i);
    }
    e.context = {U32(at.rva + 160), U32(at.rva + 164)};
    Check(e.context.rva, e.context.size);
    return e;
}

std::vector<Thread> Minidump::Threads() const {
    Location at = Stream(dbghelp::kThreadListStream);
    std::vector<Thread> threads;
    uint32_t count = U32(at.rva);
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t t = at.rva + 4 + uint64_t{i} * dbghelp::kThreadSize;
        Thread thread{U32(t), U64(t + 24), {U32(t + 32), U32(t + 36)}, {U32(t + 40), U32(t + 44)}};
        Check(thread.stack.rva, thread.stack.size);
        Check(thread.context.rva, thread.context.size);
        threads.push_back(thread);
    }
    return threads;
}

std::vector<MemoryRange> Minidump::Memory() const {
    Location at = Stream(dbghelp::kMemoryListStream);
    std::vector<MemoryRange> ranges;
    uint32_t count = U32(at.rva);
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t r = at.rva + 4 + uint64_t{i} * dbghelp::kMemoryDescriptorSize;
        MemoryRange range{U64(r), {U32(r + 8), U32(r + 12)}};
        Check(range.memory.rva, range.memory.size);
        ranges.push_back(range);
    }
    return ranges;
}

std::vector<Module> Minidump::Modules() const {
    Location at = Stream(dbghelp::kModuleListStream);
    std::vector<Module> modules;
    uint32_t count = U32(at.rva);
    Check(at.rva + 4, uint64_t{count} * dbghelp::kModuleSize);
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t m = at.rva + 4 + uint64_t{i} * dbghelp::kModuleSize;
        modules.push_back({U64(m), U32(m + 8), String(U32(m + 20))});
    }
    return modules;
}

CONTEXT Minidump::Context(Location location) const {
    if (location.size != sizeof(CONTEXT)) {
        throw std::runtime_error("context of " + std::to_string(location.size) + " bytes");
    }
    Check(location.rva, location.size);
    CONTEXT context;
    std::memcpy(&context, data_.data() + location.rva, sizeof context);
    return context;
}

std::string Minidump::Bytes(Location location) const {
    Check(location.rva, location.size);
    return data_.substr(location.rva, location.size);
}

std::string Minidump::String(uint32_t rva) const {
    uint32_t bytes = U32(rva);
    Check(rva + 4, uint64_t{bytes} + 2);
    if (bytes % 2 != 0 || U16(rva + 4 + bytes) != 0) {
        throw std::runtime_error("malformed string at " + std::to_string(rva));
    }
    std::string text;
    for (uint32_t i = 0; i < bytes; i += 2) {
        uint32_t c = U16(rva + 4 + i);
        if (c >= 0xD800 && c < 0xDC00 && i + 2 < bytes) {
            c = 0x10000 + ((c - 0xD800) << 10) + (U16(rva + 4 + i + 2) - 0xDC00);
            i += 2;
        }
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | c >> 6);
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | c >> 12);
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | c >> 18);
            text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

}  // namespace dumptest
