#include "draw/png_bitmap.h"

#include "image/png_decoder.h"

namespace pal::draw {

std::shared_ptr<Bitmap> LoadPngBitmap(const char* path, bool* hasAlpha) {
    std::vector<uint8_t> bytes;
    if (!path || !ReadWholeFile(path, &bytes)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    DecodedImage image;
    std::shared_ptr<Bitmap> bitmap;
    if (DecodePng(bytes.data(), bytes.size(), &image)) {
        bitmap = Bitmap::Create(image.width, image.height, Bitmap::Format::kArgb, false);
    }
    if (!bitmap) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    bitmap->memory = std::move(image.pixels);
    // The surface was made over the old buffer; point it at the decoded pixels.
    cairo_surface_destroy(bitmap->surface);
    bitmap->surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(bitmap->memory.data()), CAIRO_FORMAT_ARGB32, bitmap->width,
        bitmap->height, bitmap->width * 4);
    bitmap->dibSection = true;
    if (hasAlpha) {
        *hasAlpha = image.hasAlpha;
    }
    return bitmap;
}

}  // namespace pal::draw

HBITMAP PalLoadPngA(LPCSTR path, BOOL* hasAlpha) {
    bool alpha = false;
    auto bitmap = pal::draw::LoadPngBitmap(path, &alpha);
    if (!bitmap) {
        return nullptr;
    }
    if (hasAlpha) {
        *hasAlpha = alpha ? TRUE : FALSE;
    }
    return pal::draw::AddBitmap(std::move(bitmap));
}
