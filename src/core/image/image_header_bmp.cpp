#include "image/image_header_bmp.h"

namespace vesk {
namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;      // OS/2 1.x
constexpr std::uint32_t kMinInfoHeaderSize = 16;   // OS/2 2.x, shortest form
constexpr std::uint32_t kMaxInfoHeaderSize = 124;  // BITMAPV5HEADER

// The information header's compression field.
constexpr std::uint32_t kPlain = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kJpegPixels = 4;
constexpr std::uint32_t kPngPixels = 5;
constexpr std::uint32_t kAlphaBitFields = 6;

bool bitCountKnown(std::uint32_t bits) {
  return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

std::optional<ImageSize> readBmpSize(std::istream& in) {
  // File header (14) and the information header's size field (4).
  unsigned char head[18];
  if (!readExact(in, head, sizeof head) || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  const std::uint32_t headerSize = littleEndian32(head + 14);
  const bool core = headerSize == kCoreHeaderSize;
  if (!core && (headerSize < kMinInfoHeaderSize || headerSize > kMaxInfoHeaderSize)) {
    return std::nullopt;
  }

  // The whole information header must be there, not only the fields read here.
  unsigned char info[kMaxInfoHeaderSize - 4];
  if (!readExact(in, info, headerSize - 4)) return std::nullopt;

  ImageSize size;
  std::uint32_t planes = 0;
  std::uint32_t bits = 0;
  if (core) {
    size = {littleEndian16(info), littleEndian16(info + 2)};
    planes = littleEndian16(info + 4);
    bits = littleEndian16(info + 6);
  } else {
    const auto width = static_cast<std::int32_t>(littleEndian32(info));
    const auto height = static_cast<std::int32_t>(littleEndian32(info + 4));
    if (width < 1) return std::nullopt;
    // A negative height stores the rows top-down; its magnitude is the height.
    const auto magnitude = static_cast<std::uint32_t>(height);
    size = {static_cast<std::uint32_t>(width), height < 0 ? 0u - magnitude : magnitude};
    planes = littleEndian16(info + 8);
    bits = littleEndian16(info + 10);
  }
  if (size.width == 0 || size.height == 0 || planes != 1 || !bitCountKnown(bits)) {
    return std::nullopt;
  }
  // Pixels stored as JPEG or PNG are for printers, not files; rows stored plainly
  // (no compression, or bit fields) must all be there.
  const std::uint32_t compression = headerSize >= 20 ? littleEndian32(info + 12) : kPlain;
  if (compression == kJpegPixels || compression == kPngPixels) return std::nullopt;
  if (compression == kPlain || compression == kBitFields || compression == kAlphaBitFields) {
    const std::uint64_t rowBytes = (std::uint64_t{size.width} * bits + 31) / 32 * 4;
    const std::uint64_t needed = littleEndian32(head + 10) + rowBytes * size.height;
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end < 0 || static_cast<std::uint64_t>(end) < needed) return std::nullopt;
  }
  return size;
}

}  // namespace vesk
