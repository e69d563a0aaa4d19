// PNG decoding to the layer's pixel format: 32-bit words 0xAARRGGBB in native byte order, the
// colour premultiplied by alpha (cairo's ARGB32 and the pixel that AlphaBlend takes), rows
// top-down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pal {

struct DecodedImage {
    int width = 0;
    int height = 0;
    // The file carries transparency: an alpha channel or a transparent colour (tRNS). Such an
    // image is blended; one without is copied opaquely, and its pixels all have alpha 255.
    bool hasAlpha = false;
    std::vector<uint32_t> pixels;  // width * height, row after row
};

// Images larger than this in either direction are refused, so that a damaged header cannot make
// the decoder allocate gigabytes.
constexpr int kMaxImageSide = 16384;

// Decodes any PNG (palette, grey, RGB, with or without alpha, 1 to 16 bits per sample,
// interlaced). False, with out untouched, for a damaged, truncated or oversized image.
bool DecodePng(const uint8_t* data, size_t size, DecodedImage* out);
// Reads the file and decodes it; false when it cannot be read or decoded.
bool DecodePngFile(const std::string& path, DecodedImage* out);
// The whole content of a regular file; false (and nothing thrown) for a path that is missing,
// is a folder or another kind of file, or cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);

}  // namespace pal
