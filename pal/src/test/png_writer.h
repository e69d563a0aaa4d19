// Test support: writes PNG files in memory with libpng, so that each decoder case states its
// pixels in the test instead of in a binary file.
#pragma once

#include <cstdint>
#include <vector>

namespace pal::test {

struct PngSpec {
    int width = 1;
    int height = 1;
    int colorType = 0;  // a PNG_COLOR_TYPE_* value
    int bitDepth = 8;
    // Samples row after row, as the colour type and depth lay them out (16-bit samples big-endian,
    // sub-byte samples packed); palette entries as RGB triples.
    std::vector<uint8_t> samples;
    std::vector<uint8_t> palette;
    std::vector<uint8_t> transparency;  // the tRNS chunk's bytes, empty for none
};

std::vector<uint8_t> WritePng(const PngSpec& spec);

}  // namespace pal::test
