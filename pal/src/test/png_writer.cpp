#include "test/png_writer.h"

#include <png.h>

#include <stdexcept>

namespace pal::test {
namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

}  // namespace

std::vector<uint8_t> WritePng(const PngSpec& spec) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("WritePng: libpng refused the image");
    }
    png_set_write_fn(png, &out, Append, Flush);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) {
        std::vector<png_color> colors;
        for (size_t i = 0; i + 2 < spec.palette.size(); i += 3) {
            colors.push_back({spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
        }
        png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
    }
    if (!spec.transparency.empty()) {
        if (spec.colorType == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, spec.transparency.data(),
                         static_cast<int>(spec.transparency.size()), nullptr);
        } else {
            png_color_16 colour{};
            colour.red = spec.transparency[0];
            colour.green = spec.transparency.size() > 1 ? spec.transparency[1] : 0;
            colour.blue = spec.transparency.size() > 2 ? spec.transparency[2] : 0;
            colour.gray = spec.transparency[0];
            png_set_tRNS(png, info, nullptr, 0, &colour);
        }
    }
    png_write_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<uint8_t> samples = spec.samples;
    samples.resize(rowBytes * spec.height);
    for (int y = 0; y < spec.height; ++y) {
        png_write_row(png, samples.data() + rowBytes * y);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace pal::test
