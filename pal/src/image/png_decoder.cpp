#include "image/png_decoder.h"

#include <png.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csetjmp>
#include <cstring>

#include <cerrno>

namespace pal {
namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t offset;
};

void ReadBytes(png_structp png, png_bytep dst, png_size_t length) {
    auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->offset) {
        png_error(png, "truncated");
    }
    std::memcpy(dst, reader->data + reader->offset, length);
    reader->offset += length;
}

// libpng reports errors by longjmp; warnings (a bad ancillary chunk, say) are not failures.
void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Each colour channel becomes round(c * a / 255).
uint32_t Premultiply(const uint8_t* rgba) {
    const uint32_t a = rgba[3];
    auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | mul(rgba[0]) << 16 | mul(rgba[1]) << 8 | mul(rgba[2]);
}

// What the decoding fills; owned by the caller, so that libpng's longjmp out of Decode leaves no
// object with a destructor behind it.
struct Buffers {
    std::vector<uint8_t> rows;  // 8-bit RGBA, straight alpha
    std::vector<png_bytep> pointers;
};

bool Decode(png_structp png, png_infop info, Reader* reader, Buffers* buffers,
            DecodedImage* image) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, reader, ReadBytes);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    image->hasAlpha =
        (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    // Everything becomes 8-bit RGBA.
    png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != width * 4) {
        return false;
    }
    buffers->rows.resize(static_cast<size_t>(width) * height * 4);
    buffers->pointers.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        buffers->pointers[y] = buffers->rows.data() + static_cast<size_t>(y) * width * 4;
    }
    png_read_image(png, buffers->pointers.data());
    png_read_end(png, nullptr);
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    return true;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, DecodedImage* out) {
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    Reader reader{data, size, 0};
    Buffers buffers;
    DecodedImage image;
    const bool ok = Decode(png, info, &reader, &buffers, &image);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        return false;
    }
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = Premultiply(&buffers.rows[i * 4]);
    }
    *out = std::move(image);
    return true;
}

bool DecodePngFile(const std::string& path, DecodedImage* out) {
    std::vector<uint8_t> bytes;
    return ReadWholeFile(path, &bytes) && DecodePng(bytes.data(), bytes.size(), out);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);  // a folder opens but cannot be read
    bytes->clear();
    uint8_t buffer[65536];
    while (ok) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes->insert(bytes->end(), buffer, buffer + n);
    }
    close(fd);
    return ok;
}

}  // namespace pal
