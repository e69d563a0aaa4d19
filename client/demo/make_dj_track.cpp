// Build tool: writes the installation's DJ track. The samples go into a raw PCM file beside the
// output, which a GStreamer pipeline encodes as FLAC with the track's title and artist tags.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "dj_track_samples.h"
#include "pipeline_run.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_dj_track OUTPUT.flac TITLE ARTIST\n");
        return 2;
    }
    const std::string flac = argv[1];
    const std::string raw = flac + ".pcm";
    const std::vector<int16_t> samples = demo::DjTrackSamples();  // little-endian host
    std::ofstream out(raw, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * sizeof(int16_t)));
    const bool written = static_cast<bool>(out.flush());
    out.close();
    // The tag list is one quoted property value: its own quotes are escaped.
    const std::string tags =
        std::string("\"title=\\\"") + argv[2] + "\\\",artist=\\\"" + argv[3] + "\\\"\"";
    const std::string format =
        "rawaudioparse format=pcm pcm-format=s16le sample-rate=" + std::to_string(demo::kRate) +
        " num-channels=" + std::to_string(demo::kChannels);
    const bool ok = written && RunPipelineToEnd("filesrc location=\"" + raw + "\" ! " + format +
                                                " ! audioconvert ! taginject tags=" + tags +
                                                " ! flacenc ! filesink location=\"" + flac + "\"");
    std::remove(raw.c_str());
    return ok ? 0 : 1;
}
