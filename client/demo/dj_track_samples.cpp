#include "dj_track_samples.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace demo {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// One bass note per bar, four bars round: A, F, C, G.
constexpr double kBassRoots[] = {55.0, 43.65, 65.41, 49.0};

// A kick: a sine falling from 150 Hz to 50 Hz, dying away over a quarter second.
double Kick(double t) {
    const double phase = kTwoPi * (50.0 * t + 100.0 * (1 - std::exp(-t * 30)) / 30);
    return std::sin(phase) * std::exp(-t * 9);
}

// Noise that is the same on every run.
struct Noise {
    uint32_t state = 0x2545F491u;
    double Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / (1u << 23) - 1.0;
    }
};

double Bass(double t, double frequency) {
    // A saw softened by its first harmonics only, with a short pluck envelope.
    double v = 0;
    for (int k = 1; k <= 5; ++k) {
        v += std::sin(kTwoPi * frequency * k * t) / k;
    }
    return v * 0.5 * std::exp(-t * 6);
}

}  // namespace

std::vector<int16_t> DjTrackSamples() {
    std::vector<int16_t> out(static_cast<size_t>(kFrames) * kChannels);
    Noise noise;
    double previousNoise = 0;
    const int sixteenth = kSamplesPerBeat / 4;
    for (int i = 0; i < kFrames; ++i) {
        const int beat = i / kSamplesPerBeat;
        const int bar = beat / 4;
        const double inBeat = static_cast<double>(i % kSamplesPerBeat) / kRate;
        const double inSixteenth = static_cast<double>(i % sixteenth) / kRate;
        const int step = (i / sixteenth) % 16;  // sixteenth of the bar

        const double white = noise.Next();
        const double bright = white - previousNoise;  // high-passed: the hi-hat's hiss
        previousNoise = white;

        double left = 0.9 * Kick(inBeat);
        double right = left;
        if (bar >= 2) {
            // Hi-hat on the off-beats, a little to the right.
            const double offBeat =
                static_cast<double>((i + kSamplesPerBeat / 2) % kSamplesPerBeat) / kRate;
            const double hat = 0.18 * bright * std::exp(-offBeat * 60);
            left += 0.7 * hat;
            right += hat;
        }
        if (bar >= 8 && beat % 2 == 1) {
            const double clap = 0.3 * white * std::exp(-inBeat * 25);
            left += clap;
            right += 0.8 * clap;
        }
        if (bar >= 4 && step % 4 != 0) {
            const double root = kBassRoots[bar % 4];
            const double note = step % 4 == 3 ? root * 2 : root;  // an octave jump before the beat
            const double bass = 0.45 * Bass(inSixteenth, note);
            left += bass;
            right += bass;
        }
        // The last two bars fade out.
        const int fadeStart = kFrames - 8 * kSamplesPerBeat;
        const double gain =
            i < fadeStart ? 1.0 : static_cast<double>(kFrames - i) / (kFrames - fadeStart);
        out[2 * static_cast<size_t>(i)] =
            static_cast<int16_t>(std::clamp(left * gain, -1.0, 1.0) * 26000);
        out[2 * static_cast<size_t>(i) + 1] =
            static_cast<int16_t>(std::clamp(right * gain, -1.0, 1.0) * 26000);
    }
    return out;
}

}  // namespace demo
