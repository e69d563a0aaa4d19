// What the engine learns from a WAV file: its sample format and the exact length of its sample
// data. Only RIFF/WAVE files with integer PCM samples are read, written with the plain PCM tag or
// with the extensible tag and the PCM sub-format.
#pragma once

#include <cstdint>
#include <string>

struct WavInfo {
    uint16_t formatTag = 0;  // as written: 1 (PCM) or 0xFFFE (extensible)
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    // Bytes of the data chunk that the file really holds: its declared size, or fewer when the
    // file ends early (a file cut off while it was written).
    uint64_t dataBytes = 0;
    // dataBytes * 1000 / byteRate, truncated; at most INT32_MAX.
    int32_t durationMs = 0;
};

enum class WavStatus {
    Ok,
    Unreadable,  // missing, not a regular file, or an I/O error
    BadFormat,   // readable, but not a PCM WAV file whose header holds together
};

struct WavResult {
    WavStatus status = WavStatus::Unreadable;
    WavInfo info;
};

// Reads the header chunks of the file at `path`; the sample data itself is not read.
WavResult ReadWavFile(const std::string& path);
