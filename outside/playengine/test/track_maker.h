// Test support: tracks made at test time by a GStreamer pipeline, and the analysis of what the
// engine's WAV-file output wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace enginetest {

enum class Format { Wav, Flac, OggVorbis, Opus, Mp3 };

struct Track {
    Format format;
    const char* name;       // for traces
    const char* extension;  // with its dot
    bool lossless;
};

// Every format the installation plays, in a table for tests.
const std::vector<Track>& AllFormats();
const Track& TrackOf(Format format);

// A sine tone of `ms` milliseconds at half scale, encoded into the format.
bool MakeTone(Format format, const std::string& path, int ms, int frequency, int rate,
              int channels);
// White noise, every sample its own: a 16-bit mono WAV file to find positions in.
bool MakeNoise(const std::string& path, int ms, int rate);
// The WAV file `source` encoded into the format.
bool Encode(Format format, const std::string& source, const std::string& path);

// A 16-bit PCM WAV file with a 44-byte header, as the engine's output writes it.
struct Sound {
    int channels = 0;
    int rate = 0;
    std::vector<int16_t> samples;  // interleaved
    int64_t Frames() const { return channels ? samples.size() / channels : 0; }
    int64_t Ms() const { return rate ? Frames() * 1000 / rate : 0; }
};
Sound ReadSound(const std::string& path);

// The first channel's frequency from its rising zero crossings between two frames.
double Frequency(const Sound& sound, int64_t from, int64_t to);
// The root mean square of all samples between two frames.
double Rms(const Sound& sound, int64_t from, int64_t to);

}  // namespace enginetest
