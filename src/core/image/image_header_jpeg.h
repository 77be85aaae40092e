#pragma once

#include <istream>
#include <optional>

#include "image/image_header_bytes.h"

namespace vesk {

// Size from the first frame header of a JPEG stream that starts at the stream's
// position: any SOFn marker except C4 (DHT), C8 (JPG) and CC (DAC), or the DHP header
// that precedes the frames of a hierarchical picture. Segments before it are skipped
// by their length, so a thumbnail embedded in an APP segment is never read. Nullopt
// when the stream does not start with SOI, a segment is truncated or malformed, a
// scan or EOI comes before any frame header, or the frame header gives a zero width
// or height (a height left to a DNL marker), when no frame header comes within the
// first 16 MiB, and when no scan (SOS) follows the frame header within them: a file cut
// there holds no picture a decoder can show. The scan data itself is not read.
std::optional<ImageSize> readJpegSize(std::istream& in);

}  // namespace vesk
