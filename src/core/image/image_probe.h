#pragma once

#include <string>

namespace vesk {

// Largest width or height the probe reports; a header claiming more is taken as
// damaged.
inline constexpr int kMaxImageDimension = 1000000;

// Pixel width and height of a JPEG, PNG or BMP file as the file stores them (no
// orientation tag is applied), read from its header alone and recognised by its
// content whatever the extension says. Paths without an accepted extension (".jpg",
// ".jpeg", ".png", ".bmp" in any letter case) are not probed and give true. Otherwise
// true with both outputs written when the header gives a size of 1 to
// kMaxImageDimension on both sides; false, with both outputs untouched, for a missing
// or unreadable path, anything but a regular file, an unknown format or a damaged or
// truncated header. Reports nothing else.
bool probeImageSize(const std::string& path, int& width, int& height);

}  // namespace vesk
