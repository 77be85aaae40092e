#pragma once

#include <istream>
#include <optional>

#include "image/image_header_bytes.h"

namespace vesk {

// Size from the IHDR chunk of a PNG stream that starts at the stream's position.
// Nullopt unless the stream starts with the PNG signature followed by an IHDR chunk
// of length 13 whose CRC matches, with a width and height of 1 to 2^31-1, a bit
// depth that the colour type allows, compression and filter method 0 and interlace
// method 0 or 1, and the chunks that follow reach the end chunk (IEND) within the
// stream, at least one of them image data (IDAT); the image data itself is not checked.
std::optional<ImageSize> readPngSize(std::istream& in);

}  // namespace vesk
