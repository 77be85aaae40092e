#pragma once

#include <istream>
#include <optional>

#include "image/image_header_bytes.h"

namespace vesk {

// Size from a BMP stream that starts at the stream's position: "BM", the 14-byte file
// header, then an information header of 12 bytes (OS/2 1.x core header, unsigned
// 16-bit sizes) or of 16 to 124 bytes (every later version, signed 32-bit sizes). A
// negative height marks a top-down picture and gives its absolute value. Nullopt for
// a truncated header, another header size, a width below 1, a height of 0, a plane
// count other than 1 or a bit count other than 1, 2, 4, 8, 16, 24 or 32, for pixels
// stored as JPEG or PNG, and for rows stored plainly (no compression, or bit fields)
// that the stream does not hold whole from the pixel offset on. Run-length encoded
// pixels are not checked.
std::optional<ImageSize> readBmpSize(std::istream& in);

}  // namespace vesk
