// The image behind an icon handle, for the layer's own drawing of icons (the notification area).
#pragma once

#include <memory>

#include "draw/bitmap.h"

namespace pal::draw {

// The icon's premultiplied image; null for a handle that is no icon.
std::shared_ptr<Bitmap> IconImage(HICON icon);

}  // namespace pal::draw
