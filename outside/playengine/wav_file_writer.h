// The WAV-file output's writer: the samples that the output plays, 16-bit little-endian PCM,
// appended in the order they are played. The header's sizes are rewritten after every append,
// so the file is a whole WAV file at every moment and can be read while it grows.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

class WavFileWriter {
public:
    // Creates (or empties) the file; nothing when it cannot be created, with the reason.
    static std::unique_ptr<WavFileWriter> Create(const std::string& path, std::string* error);
    ~WavFileWriter();
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    // Appends interleaved samples. The first append fixes the channels and rate of the header;
    // later ones in another format are dropped. False on a write error.
    bool Append(const void* samples, size_t bytes, int channels, int rate);

private:
    explicit WavFileWriter(int fd) : fd_(fd) {}
    bool WriteHeader();

    std::mutex mu_;  // appends come from the pipeline's thread, creation from another
    int fd_;
    int channels_ = 0;
    int rate_ = 0;
    uint64_t dataBytes_ = 0;
};
