#include "image/image_header_bmp.h"

namespace vesk {
namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;      // OS/2 1.x
constexpr std::uint32_t kMinInfoHeaderSize = 16;   // OS/2 2.x, shortest form
constexpr std::uint32_t kMaxInfoHeaderSize = 124;  // BITMAPV5HEADER

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
  return size;
}

}  // namespace vesk
