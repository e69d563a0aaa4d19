// Build tool: writes the installation's DJ track. The samples go into a WAV file beside the
// output, which a GStreamer pipeline encodes as FLAC with the track's title and artist tags.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "dj_track_samples.h"
#include "pipeline_run.h"

namespace {

void Put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::string Wav(const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string wav = "RIFF";
    Put(wav, 36 + dataBytes, 4);
    wav += "WAVEfmt ";
    Put(wav, 16, 4);
    Put(wav, 1, 2);  // PCM
    Put(wav, demo::kChannels, 2);
    Put(wav, demo::kRate, 4);
    Put(wav, demo::kRate * demo::kChannels * 2, 4);
    Put(wav, demo::kChannels * 2, 2);
    Put(wav, 16, 2);
    wav += "data";
    Put(wav, dataBytes, 4);
    for (int16_t s : samples) {
        Put(wav, static_cast<uint16_t>(s), 2);
    }
    return wav;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_dj_track OUTPUT.flac TITLE ARTIST\n");
        return 2;
    }
    const std::string flac = argv[1];
    const std::string wav = flac + ".wav";
    const std::string bytes = Wav(demo::DjTrackSamples());
    std::ofstream out(wav, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const bool written = static_cast<bool>(out.flush());
    out.close();
    // The tag list is one quoted property value: its own quotes are escaped.
    const std::string tags =
        std::string("\"title=\\\"") + argv[2] + "\\\",artist=\\\"" + argv[3] + "\\\"\"";
    const bool ok =
        written && RunPipelineToEnd("filesrc location=\"" + wav +
                                    "\" ! wavparse ! audioconvert ! taginject tags=" + tags +
                                    " ! flacenc ! filesink location=\"" + flac + "\"");
    std::remove(wav.c_str());
    return ok ? 0 : 1;
}
