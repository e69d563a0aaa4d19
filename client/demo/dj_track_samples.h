// The demo DJ track's sound: a 120 BPM groove of kick, off-beat hi-hat, clap and a bass line in
// A minor, 32 bars (64 s) with a kick-only intro and a fade at the end. 44.1 kHz stereo 16-bit
// samples, the same every time.
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kBeatsPerMinute = 120;
constexpr int kBars = 32;
constexpr int kSamplesPerBeat = kRate * 60 / kBeatsPerMinute;
constexpr int kFrames = kBars * 4 * kSamplesPerBeat;
constexpr int kTrackMs = kFrames / (kRate / 1000);

// Interleaved left, right.
std::vector<int16_t> DjTrackSamples();

}  // namespace demo
