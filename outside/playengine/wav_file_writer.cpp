#include "wav_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kBitsPerSample = 16;
constexpr size_t kHeaderBytes = 44;
// The largest data chunk whose RIFF size still fits 32 bits.
constexpr uint64_t kMaxDataBytes = UINT32_MAX - (kHeaderBytes - 8);

void Put(uint8_t* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

bool WriteAll(int fd, const void* data, size_t bytes, off_t offset) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (bytes > 0) {
        ssize_t put = pwrite(fd, p, bytes, offset);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        p += put;
        bytes -= static_cast<size_t>(put);
        offset += put;
    }
    return true;
}

}  // namespace

std::unique_ptr<WavFileWriter> WavFileWriter::Create(const std::string& path, std::string* error) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error) {
            *error = path + ": " + std::strerror(errno);
        }
        return nullptr;
    }
    std::unique_ptr<WavFileWriter> writer(new WavFileWriter(fd));
    std::lock_guard lock(writer->mu_);
    if (!writer->WriteHeader()) {
        if (error) {
            *error = path + ": " + std::strerror(errno);
        }
        return nullptr;
    }
    return writer;
}

WavFileWriter::~WavFileWriter() {
    close(fd_);
}

bool WavFileWriter::Append(const void* samples, size_t bytes, int channels, int rate) {
    std::lock_guard lock(mu_);
    if (channels <= 0 || rate <= 0) {
        return false;
    }
    if (channels_ == 0) {
        channels_ = channels;
        rate_ = rate;
    } else if (channels != channels_ || rate != rate_) {
        return true;
    }
    bytes = static_cast<size_t>(std::min<uint64_t>(bytes, kMaxDataBytes - dataBytes_));
    if (!WriteAll(fd_, samples, bytes, static_cast<off_t>(kHeaderBytes + dataBytes_))) {
        return false;
    }
    dataBytes_ += bytes;
    return WriteHeader();
}

bool WavFileWriter::WriteHeader() {
    const uint32_t blockAlign = static_cast<uint32_t>(channels_) * (kBitsPerSample / 8);
    uint8_t h[kHeaderBytes];
    std::memcpy(h, "RIFF", 4);
    Put(h + 4, static_cast<uint32_t>(kHeaderBytes - 8 + dataBytes_), 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put(h + 16, 16, 4);
    Put(h + 20, 1, 2);  // integer PCM
    Put(h + 22, static_cast<uint32_t>(channels_), 2);
    Put(h + 24, static_cast<uint32_t>(rate_), 4);
    Put(h + 28, static_cast<uint32_t>(rate_) * blockAlign, 4);
    Put(h + 32, blockAlign, 2);
    Put(h + 34, kBitsPerSample, 2);
    std::memcpy(h + 36, "data", 4);
    Put(h + 40, static_cast<uint32_t>(dataBytes_), 4);
    return WriteAll(fd_, h, sizeof h, 0);
}
