#pragma once

#include <string>

namespace vesk {

// Largest width or height the probe reports; a header claiming more is taken as
// damaged.
inline constexpr int kMaxImageDimension = 1000000;

// Pixel width and height of a JPEG, PNG or BMP file, read from its header alone and
// recognised by content whatever the extension says. Paths without an accepted
// extension (".jpg", ".jpeg", ".png", ".bmp" in any case) are not probed and give
// true. True with both outputs written when a picture was read; false, with both
// outputs untouched, when it could not be.
bool probeImageSize(const std::string& path, int& width, int& height);

}  // namespace vesk
