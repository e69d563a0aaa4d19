// Sequential output of a dump to a file descriptor through a fixed buffer: no allocation, only
// write(2), so it can run inside a signal handler.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dbghelp {

class DumpOutput {
public:
    explicit DumpOutput(int fd) : fd_(fd) {}
    DumpOutput(const DumpOutput&) = delete;
    DumpOutput& operator=(const DumpOutput&) = delete;

    // Bytes emitted so far: the RVA of the next record.
    uint32_t Position() const { return position_; }

    void U8(uint8_t value) { Bytes(&value, 1); }
    void U16(uint16_t value);
    void U32(uint32_t value);
    void U64(uint64_t value);
    void Bytes(const void* data, size_t length);
    void Zeros(size_t length);
    void AlignTo(uint32_t alignment) { Zeros((alignment - position_ % alignment) % alignment); }
    // Copies memory of this process; pages that cannot be read are written as zeros, so the
    // layout holds whatever the memory holds.
    void Memory(uint64_t address, size_t length);

    // Writes what is buffered; false when any write failed.
    bool Finish();

private:
    bool Flush();
    bool WriteAll(const char* data, size_t length);

    int fd_;
    uint32_t position_ = 0;
    size_t used_ = 0;
    bool failed_ = false;
    char buffer_[8192];
};

}  // namespace dbghelp
