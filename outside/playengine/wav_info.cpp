#include "wav_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
// The PCM sub-format of an extensible header, after its leading 32-bit format code (1).
constexpr uint8_t kPcmSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                           0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr uint32_t kFmtPlainSize = 16;
constexpr uint32_t kFmtExtensibleSize = 40;

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Opens only a regular file, and never waits: a FIFO, a socket or a device would block the
// open (a FIFO until a writer comes) or act on the open itself, so the path is looked at first,
// the open does not block, and the opened file is checked again (the path may have changed
// in between). -1 for anything else.
int OpenRegularFile(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return -1;
    }
    return open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

// A file opened for reading; reads are bounded by the size it had when opened.
class HeaderFile {
public:
    explicit HeaderFile(const std::string& path) : fd_(OpenRegularFile(path)) {
        struct stat st;
        if (fd_ >= 0 && fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
            size_ = static_cast<uint64_t>(st.st_size);
            usable_ = true;
        }
    }
    ~HeaderFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    HeaderFile(const HeaderFile&) = delete;
    HeaderFile& operator=(const HeaderFile&) = delete;

    bool Usable() const { return usable_; }
    uint64_t Size() const { return size_; }
    bool Holds(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    // False on an I/O error or when the file shrank under us.
    bool ReadAt(uint64_t offset, void* out, size_t length) const {
        auto* bytes = static_cast<uint8_t*>(out);
        while (length > 0) {
            ssize_t got = pread(fd_, bytes, length, static_cast<off_t>(offset));
            if (got <= 0) {
                return false;
            }
            bytes += got;
            offset += static_cast<uint64_t>(got);
            length -= static_cast<size_t>(got);
        }
        return true;
    }

private:
    int fd_;
    uint64_t size_ = 0;
    bool usable_ = false;
};

// Checks a "fmt " chunk body (at least 16 bytes) and takes its values.
bool ParseFormat(const uint8_t* body, uint32_t size, WavInfo& info) {
    info.formatTag = Le16(body);
    info.channels = Le16(body + 2);
    info.sampleRate = Le32(body + 4);
    info.byteRate = Le32(body + 8);
    info.blockAlign = Le16(body + 12);
    info.bitsPerSample = Le16(body + 14);
    if (info.formatTag == kTagExtensible) {
        uint16_t extraSize = size >= kFmtPlainSize + 2 ? Le16(body + 16) : 0;
        if (size < kFmtExtensibleSize || extraSize < kFmtExtensibleSize - kFmtPlainSize - 2 ||
            Le32(body + 24) != kTagPcm ||
            std::memcmp(body + 28, kPcmSubFormatTail, sizeof kPcmSubFormatTail) != 0) {
            return false;
        }
    } else if (info.formatTag != kTagPcm) {
        return false;
    }
    if (info.channels == 0 || info.sampleRate == 0 || info.bitsPerSample == 0 ||
        info.bitsPerSample > 32) {
        return false;
    }
    // The duration rests on the byte rate, so it must agree with the rest of the format.
    uint32_t frameBytes = static_cast<uint32_t>(info.channels) * ((info.bitsPerSample + 7u) / 8u);
    return info.blockAlign == frameBytes && static_cast<uint64_t>(info.byteRate) ==
                                                static_cast<uint64_t>(info.sampleRate) * frameBytes;
}

}  // namespace

WavResult ReadWavFile(const std::string& path) {
    WavResult result;
    HeaderFile file(path);
    if (!file.Usable()) {
        return result;
    }
    // From here on a header that does not hold together is a format problem; a failing read of
    // bytes the file has is an I/O problem.
    auto bad = [&result] {
        result.status = WavStatus::BadFormat;
        return result;
    };
    auto unreadable = [&result] {
        result.status = WavStatus::Unreadable;
        return result;
    };

    uint8_t riff[12];
    if (!file.Holds(0, sizeof riff)) {
        return bad();
    }
    if (!file.ReadAt(0, riff, sizeof riff)) {
        return unreadable();
    }
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return bad();
    }

    WavInfo info;
    bool haveFormat = false;
    bool haveData = false;
    // The RIFF size is often wrong in the wild; the chunk walk is bounded by the file instead.
    uint64_t offset = sizeof riff;
    while (!(haveFormat && haveData) && file.Holds(offset, 8)) {
        uint8_t head[8];
        if (!file.ReadAt(offset, head, sizeof head)) {
            return unreadable();
        }
        uint32_t size = Le32(head + 4);
        uint64_t body = offset + sizeof head;
        if (std::memcmp(head, "fmt ", 4) == 0 && !haveFormat) {
            uint32_t wanted = std::min(size, kFmtExtensibleSize);
            uint8_t format[kFmtExtensibleSize] = {};
            if (size < kFmtPlainSize || !file.Holds(body, wanted)) {
                return bad();
            }
            if (!file.ReadAt(body, format, wanted)) {
                return unreadable();
            }
            if (!ParseFormat(format, size, info)) {
                return bad();
            }
            haveFormat = true;
        } else if (std::memcmp(head, "data", 4) == 0 && !haveData) {
            info.dataBytes = std::min<uint64_t>(size, file.Size() - body);
            haveData = true;
        }
        // Chunk bodies are padded to an even length.
        offset = body + size + (size & 1u);
    }
    if (!haveFormat || !haveData) {
        return bad();
    }
    uint64_t durationMs = info.dataBytes * 1000u / info.byteRate;
    info.durationMs = static_cast<int32_t>(std::min<uint64_t>(durationMs, INT32_MAX));
    result.status = WavStatus::Ok;
    result.info = info;
    return result;
}
