#include "image/image_header_jpeg.h"

#include <array>
#include <cstdint>

namespace vesk {
namespace {

constexpr int kSoi = 0xD8;
constexpr int kEoi = 0xD9;
constexpr int kSos = 0xDA;
constexpr int kDhp = 0xDE;
constexpr int kTem = 0x01;

// The most bytes read in search of the frame header. Real pictures hold it within their
// first few hundred KiB, behind at most a few MiB of metadata; a file that has none
// there (a damaged one, or anything starting with the two bytes of SOI) is refused
// rather than read to its end.
constexpr std::uint64_t kMaxHeaderSearchBytes = std::uint64_t{16} << 20;

// The bytes the search may still read.
struct SearchBudget {
  std::uint64_t left = kMaxHeaderSearchBytes;
  // Takes `bytes` from what is left; false once the budget is spent.
  bool take(std::uint64_t bytes) {
    if (bytes > left) return false;
    left -= bytes;
    return true;
  }
};

// TEM and RST0 to RST7 carry no length.
bool isStandalone(int marker) {
  return marker == kTem || (marker >= 0xD0 && marker <= 0xD7);
}

// SOF0 to SOF15; C4, C8 and CC lie in the same range but are no frame headers.
bool isFrameHeader(int marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The code of the next marker, or -1 at the end of the stream. Fill bytes (0xFF)
// before a code are skipped, and so are stray bytes before the 0xFF, which decoders
// pass over with a warning. 0xFF 0x00 is a stuffed data byte, not a marker.
// Gives -1 as well once `budget` is spent.
int nextMarker(std::istream& in, SearchBudget& budget) {
  const auto get = [&] { return budget.take(1) ? in.get() : std::char_traits<char>::eof(); };
  int c = get();
  for (;;) {
    while (c != std::char_traits<char>::eof() && c != 0xFF) c = get();
    do {
      c = get();
    } while (c == 0xFF);
    if (c == std::char_traits<char>::eof()) return -1;
    if (c != 0x00) return c;
    c = get();
  }
}

// Reads a frame header (or DHP, which has the same layout) after its length field:
// precision, height, width, component count, then three bytes per component.
std::optional<ImageSize> readFrameHeader(std::istream& in, std::uint32_t length) {
  std::array<unsigned char, 6 + 3 * 255> body{};
  if (length < 8 || !readExact(in, body.data(), 6)) return std::nullopt;
  const std::uint32_t components = body[5];
  if (components == 0 || length != 8 + 3 * components) return std::nullopt;
  if (!readExact(in, body.data() + 6, 3 * components)) return std::nullopt;
  const ImageSize size{bigEndian16(body.data() + 3), bigEndian16(body.data() + 1)};
  if (size.width == 0 || size.height == 0) return std::nullopt;
  return size;
}

}  // namespace

std::optional<ImageSize> readJpegSize(std::istream& in) {
  unsigned char soi[2];
  if (!readExact(in, soi, 2) || soi[0] != 0xFF || soi[1] != kSoi) return std::nullopt;
  SearchBudget budget;
  std::optional<ImageSize> size;
  for (;;) {
    const int marker = nextMarker(in, budget);
    // The first scan after the frame header: the picture has image data.
    if (marker == kSos && size) return size;
    if (marker < 0 || marker == kSoi || marker == kEoi || marker == kSos) return std::nullopt;
    if (isStandalone(marker)) continue;
    unsigned char lengthBytes[2];
    if (!readExact(in, lengthBytes, 2)) return std::nullopt;
    const std::uint32_t length = bigEndian16(lengthBytes);
    if (length < 2) return std::nullopt;
    if (!size && (isFrameHeader(marker) || marker == kDhp)) {
      size = readFrameHeader(in, length);
      if (!size) return std::nullopt;
      continue;
    }
    // Skipped: APP segments with their embedded thumbnails, tables, comments. Read past
    // rather than sought over: a segment holds at most 64 KiB, and a file stream's seek
    // drops its buffer, so each segment would read the file's next block again.
    const auto skip = static_cast<std::streamsize>(length - 2);
    if (!budget.take(length) || in.ignore(skip).gcount() != skip) return std::nullopt;
  }
}

}  // namespace vesk
