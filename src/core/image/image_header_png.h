#pragma once

#include <istream>
#include <optional>

#include "image/image_header_bytes.h"

namespace vesk {

// Size from the IHDR chunk of a PNG stream that starts at the stream's position.
// Nullopt unless the stream starts with the PNG signature followed by an IHDR chunk
// of length 13 whose CRC matches, with a width and height of 1 to 2^31-1, a bit
// depth that the colour type allows, compression and filter method 0 and interlace
// method 0 or 1, the chunks that follow lead to image data (IDAT) and the stream's last
// 64 KiB hold the end chunk (IEND); the image data itself is not read.
std::optional<ImageSize> readPngSize(std::istream& in);

}  // namespace vesk
