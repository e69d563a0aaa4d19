#include "track_maker.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "pipeline_run.h"
#include "test_root.h"

namespace enginetest {

namespace {

const char* EncoderOf(Format format) {
    switch (format) {
        case Format::Wav:
            return "wavenc";
        case Format::Flac:
            return "flacenc";
        case Format::OggVorbis:
            return "vorbisenc ! oggmux";
        case Format::Opus:
            return "opusenc ! oggmux";
        case Format::Mp3:
            return "lamemp3enc target=bitrate cbr=true bitrate=128";
    }
    return "";
}

std::string Source(const char* wave, int ms, int frequency, int rate, int channels) {
    // Buffers of 10 ms, so the length is exact.
    char text[256];
    std::snprintf(text, sizeof text,
                  "audiotestsrc wave=%s freq=%d volume=0.5 samplesperbuffer=%d num-buffers=%d ! "
                  "audio/x-raw,format=S16LE,rate=%d,channels=%d",
                  wave, frequency, rate / 100, ms / 10, rate, channels);
    return text;
}

}  // namespace

const std::vector<Track>& AllFormats() {
    static const std::vector<Track> formats = {
        {Format::Wav, "WAV", ".wav", true},
        {Format::Flac, "FLAC", ".flac", true},
        {Format::OggVorbis, "Ogg Vorbis", ".ogg", false},
        {Format::Opus, "Opus", ".opus", false},
        {Format::Mp3, "MP3", ".mp3", false},
    };
    return formats;
}

const Track& TrackOf(Format format) {
    for (const Track& track : AllFormats()) {
        if (track.format == format) {
            return track;
        }
    }
    return AllFormats()[0];
}

bool MakeTone(Format format, const std::string& path, int ms, int frequency, int rate,
              int channels) {
    return RunPipelineToEnd(Source("sine", ms, frequency, rate, channels) +
                            " ! audioconvert ! audioresample ! " + EncoderOf(format) +
                            " ! filesink location=\"" + path + "\"");
}

bool MakeNoise(const std::string& path, int ms, int rate) {
    return RunPipelineToEnd(Source("white-noise", ms, 0, rate, 1) +
                            " ! wavenc ! filesink location=\"" + path + "\"");
}

bool Encode(Format format, const std::string& source, const std::string& path) {
    return RunPipelineToEnd("filesrc location=\"" + source +
                            "\" ! wavparse ! audioconvert ! audioresample ! " + EncoderOf(format) +
                            " ! filesink location=\"" + path + "\"");
}

Sound ReadSound(const std::string& path) {
    std::string bytes = brtest::ReadFile(path);
    Sound sound;
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0) {
        return sound;
    }
    auto le = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
        }
        return v;
    };
    sound.channels = static_cast<int>(le(22, 2));
    sound.rate = static_cast<int>(le(24, 4));
    size_t dataBytes = std::min<size_t>(le(40, 4), bytes.size() - 44);
    sound.samples.resize(dataBytes / 2);
    if (!sound.samples.empty()) {
        std::memcpy(sound.samples.data(), bytes.data() + 44, sound.samples.size() * 2);
    }
    return sound;
}

double Frequency(const Sound& sound, int64_t from, int64_t to) {
    int64_t first = -1;
    int64_t last = -1;
    int64_t crossings = 0;
    for (int64_t f = from + 1; f < to && f < sound.Frames(); ++f) {
        if (sound.samples[(f - 1) * sound.channels] < 0 && sound.samples[f * sound.channels] >= 0) {
            if (first < 0) {
                first = f;
            } else {
                ++crossings;
            }
            last = f;
        }
    }
    return crossings > 0 ? crossings * static_cast<double>(sound.rate) / (last - first) : 0.0;
}

double Rms(const Sound& sound, int64_t from, int64_t to) {
    double sum = 0;
    int64_t count = 0;
    for (int64_t i = from * sound.channels;
         i < to * sound.channels && i < static_cast<int64_t>(sound.samples.size()); ++i) {
        sum += static_cast<double>(sound.samples[i]) * sound.samples[i];
        ++count;
    }
    return count ? std::sqrt(sum / count) : 0.0;
}

}  // namespace enginetest
