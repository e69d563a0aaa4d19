// Build tool: writes the installation's demo track, a 6-second 440 Hz sine tone, 8000 Hz mono
// 16-bit PCM WAV, with 20 ms fades. The same bytes every time.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>

namespace {

constexpr int kRate = 8000;
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_wav OUTPUT.wav\n");
        return 2;
    }
    const uint32_t dataBytes = kSamples * 2;
    std::string wav = "RIFF";
    Put(wav, 36 + dataBytes, 4);
    wav += "WAVEfmt ";
    Put(wav, 16, 4);
    Put(wav, 1, 2);          // PCM
    Put(wav, 1, 2);          // mono
    Put(wav, kRate, 4);      // sample rate
    Put(wav, kRate * 2, 4);  // byte rate
    Put(wav, 2, 2);          // block align
    Put(wav, 16, 2);         // bits per sample
    wav += "data";
    Put(wav, dataBytes, 4);
    for (int i = 0; i < kSamples; ++i) {
        const int edge = i < kSamples - i ? i : kSamples - 1 - i;
        const double gain = edge < kFade ? static_cast<double>(edge) / kFade : 1.0;
        const double value = kAmplitude * gain * std::sin(2 * std::numbers::pi * kTone * i / kRate);
        Put(wav, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value))), 2);
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(wav.data(), static_cast<std::streamsize>(wav.size()));
    return out.flush() ? 0 : 1;
}
