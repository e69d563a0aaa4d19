// Fuzz target of the PNG decoder: any input either fails or gives an image whose pixel count
// matches its size, within the side limit, with colour never above alpha (premultiplied).
#include <cstdio>
#include <cstdlib>

#include "image/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pal::DecodedImage image;
    if (!pal::DecodePng(data, size, &image)) {
        return 0;
    }
    bool ok = image.width > 0 && image.height > 0 && image.width <= pal::kMaxImageSide &&
              image.height <= pal::kMaxImageSide &&
              image.pixels.size() == static_cast<size_t>(image.width) * image.height;
    for (uint32_t pixel : image.pixels) {
        const uint32_t a = pixel >> 24;
        ok = ok && ((pixel >> 16) & 0xFF) <= a && ((pixel >> 8) & 0xFF) <= a && (pixel & 0xFF) <= a;
        ok = ok && (image.hasAlpha || a == 0xFF);
    }
    if (!ok) {
        std::fprintf(stderr, "png_decoder_fuzz: decoded image breaks its invariants\n");
        std::abort();
    }
    return 0;
}
