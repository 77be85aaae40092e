#pragma once

#include <string>

#include "base/failure.h"

namespace vesk {

// Largest width or height the probe reports; a header claiming more is taken as
// damaged.
inline constexpr int kMaxImageDimension = 1000000;

// A picture's width and height in pixels.
struct PictureSize {
  int width = 0;
  int height = 0;
};

// Pixel width and height of a JPEG, PNG or BMP file as the file stores them (no
// orientation tag is applied), read from its header alone and recognised by its
// content whatever the extension says. Paths without an accepted extension (".jpg",
// ".jpeg", ".png", ".bmp" in any letter case) are not probed and give 0 by 0.
// Otherwise the size when the header gives 1 to kMaxImageDimension on both sides;
// UnreadablePicture naming the path for a missing or unreadable path, anything but a
// regular file, an unknown format or a damaged or truncated header.
Result<PictureSize> probeImageSize(const std::string& path);

}  // namespace vesk
