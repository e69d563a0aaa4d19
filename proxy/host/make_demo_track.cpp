// Build tool: writes the installation's demo track, a 6-second 440 Hz sine tone with 20 ms fades,
// 44.1 kHz stereo, as a FLAC file: the samples go into a WAV file beside the output, which a
// GStreamer pipeline encodes. The same bytes every time.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>

#include "pipeline_run.h"

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kSeconds = 6;
constexpr int kSamples = kRate * kSeconds;
constexpr int kFade = kRate / 50;
constexpr double kTone = 440.0;
constexpr double kAmplitude = 8000.0;

void Put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::string Wav() {
    const uint32_t dataBytes = kSamples * kChannels * 2;
    std::string wav = "RIFF";
    Put(wav, 36 + dataBytes, 4);
    wav += "WAVEfmt ";
    Put(wav, 16, 4);
    Put(wav, 1, 2);  // PCM
    Put(wav, kChannels, 2);
    Put(wav, kRate, 4);                  // sample rate
    Put(wav, kRate * kChannels * 2, 4);  // byte rate
    Put(wav, kChannels * 2, 2);          // block align
    Put(wav, 16, 2);                     // bits per sample
    wav += "data";
    Put(wav, dataBytes, 4);
    for (int i = 0; i < kSamples; ++i) {
        const int edge = i < kSamples - i ? i : kSamples - 1 - i;
        const double gain = edge < kFade ? static_cast<double>(edge) / kFade : 1.0;
        const double value = kAmplitude * gain * std::sin(2 * std::numbers::pi * kTone * i / kRate);
        for (int c = 0; c < kChannels; ++c) {
            Put(wav, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value))), 2);
        }
    }
    return wav;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_track OUTPUT.flac\n");
        return 2;
    }
    const std::string flac = argv[1];
    const std::string wav = flac + ".wav";
    const std::string samples = Wav();
    std::ofstream out(wav, std::ios::binary | std::ios::trunc);
    out.write(samples.data(), static_cast<std::streamsize>(samples.size()));
    const bool written = static_cast<bool>(out.flush());
    out.close();
    const bool ok =
        written && RunPipelineToEnd("filesrc location=\"" + wav +
                                    "\" ! wavparse ! flacenc ! filesink location=\"" + flac + "\"");
    std::remove(wav.c_str());
    return ok ? 0 : 1;
}
