#include "dump_output.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace dbghelp {
namespace {
constexpr size_t kPage = 4096;
}

void DumpOutput::U16(uint16_t value) {
    uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    Bytes(bytes, sizeof bytes);
}

void DumpOutput::U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
}

void DumpOutput::U64(uint64_t value) {
    U32(static_cast<uint32_t>(value));
    U32(static_cast<uint32_t>(value >> 32));
}

void DumpOutput::Bytes(const void* data, size_t length) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        if (used_ == sizeof buffer_ && !Flush()) {
            return;
        }
        size_t n = sizeof buffer_ - used_ < length ? sizeof buffer_ - used_ : length;
        std::memcpy(buffer_ + used_, p, n);
        used_ += n;
        position_ += static_cast<uint32_t>(n);
        p += n;
        length -= n;
    }
}

void DumpOutput::Zeros(size_t length) {
    static const char kZeros[64] = {};
    while (length > 0) {
        size_t n = length < sizeof kZeros ? length : sizeof kZeros;
        Bytes(kZeros, n);
        length -= n;
    }
}

void DumpOutput::Memory(uint64_t address, size_t length) {
    if (!Flush()) {
        return;
    }
    const char* p = reinterpret_cast<const char*>(address);
    while (length > 0 && !failed_) {
        size_t toPageEnd = kPage - static_cast<size_t>(address % kPage);
        size_t n = length < toPageEnd ? length : toPageEnd;
        // The kernel reads the memory, so an unreadable page gives EFAULT instead of a fault.
        // The system call is made directly: the memory is copied as it lies, including bytes
        // that a sanitizer's write() wrapper would refuse to read (a stack's guard zones).
        ssize_t written = syscall(SYS_write, fd_, p, n);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && errno == EFAULT) {
            Zeros(n);
            Flush();
            written = static_cast<ssize_t>(n);
        } else if (written <= 0) {
            failed_ = true;
            return;
        } else {
            position_ += static_cast<uint32_t>(written);
        }
        p += written;
        address += static_cast<uint64_t>(written);
        length -= static_cast<size_t>(written);
    }
}

bool DumpOutput::Finish() {
    return Flush() && !failed_;
}

bool DumpOutput::Flush() {
    if (failed_) {
        return false;
    }
    if (used_ > 0 && !WriteAll(buffer_, used_)) {
        failed_ = true;
        return false;
    }
    used_ = 0;
    return true;
}

bool DumpOutput::WriteAll(const char* data, size_t length) {
    while (length > 0) {
        ssize_t n = write(fd_, data, length);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace dbghelp
