// Bitmaps from PNG files.
#pragma once

#include <memory>
#include <string>

#include "draw/bitmap.h"

namespace pal::draw {

// A top-down premultiplied bitmap with the file's pixels (not in the handle table); null with the
// last error set (ERROR_FILE_NOT_FOUND, ERROR_INVALID_DATA) when it cannot be read or decoded.
std::shared_ptr<Bitmap> LoadPngBitmap(const char* path, bool* hasAlpha);

}  // namespace pal::draw
