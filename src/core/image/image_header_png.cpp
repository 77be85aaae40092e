#include "image/image_header_png.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>

namespace vesk {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::uint32_t kMaxPngDimension = 0x7FFFFFFF;
// More chunks before the image data than any real picture holds: a file of tiny chunks
// is not walked for ever.
constexpr std::uint32_t kMaxChunks = 1u << 20;
// How much of the file's end is searched for the end chunk, which may be followed by
// a few bytes another program appended.
constexpr std::streamoff kTail = 64 * 1024;

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

// CRC-32 as PNG chunks use it (ISO 3309, reflected, polynomial 0x04C11DB7).
std::uint32_t crc32(const unsigned char* bytes, std::size_t count) {
  static constexpr auto kTable = makeCrcTable();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < count; ++i) c = kTable[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

bool bitDepthFits(unsigned colourType, unsigned depth) {
  switch (colourType) {
    case 0:  // greyscale
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:  // palette
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:  // truecolour
    case 4:  // greyscale with alpha
    case 6:  // truecolour with alpha
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

}  // namespace

std::optional<ImageSize> readPngSize(std::istream& in) {
  // Signature (8), IHDR length and type (8), IHDR data (13), CRC (4).
  unsigned char head[33];
  if (!readExact(in, head, sizeof head)) return std::nullopt;
  if (std::memcmp(head, kSignature, sizeof kSignature) != 0) return std::nullopt;
  if (bigEndian32(head + 8) != 13 || std::memcmp(head + 12, "IHDR", 4) != 0) return std::nullopt;
  if (crc32(head + 12, 17) != bigEndian32(head + 29)) return std::nullopt;

  const unsigned char* ihdr = head + 16;
  const ImageSize size{bigEndian32(ihdr), bigEndian32(ihdr + 4)};
  if (size.width == 0 || size.width > kMaxPngDimension) return std::nullopt;
  if (size.height == 0 || size.height > kMaxPngDimension) return std::nullopt;
  const unsigned depth = ihdr[8];
  const unsigned colourType = ihdr[9];
  const bool methodsKnown = ihdr[10] == 0 && ihdr[11] == 0 && ihdr[12] <= 1;
  if (!bitDepthFits(colourType, depth) || !methodsKnown) return std::nullopt;
  // The chunks after the header, passed over by their lengths up to the first image
  // data (IDAT), then the end chunk (IEND) near the file's end: a file without image
  // data, or one cut short, holds no picture a decoder can show. The image data itself
  // is not read: only the chunks before it and the file's last 64 KiB.
  for (std::uint32_t chunks = 0;; ++chunks) {
    unsigned char chunk[8];
    if (chunks == kMaxChunks || !readExact(in, chunk, sizeof chunk)) return std::nullopt;
    const std::uint32_t length = bigEndian32(chunk);
    if (length > kMaxPngDimension || std::memcmp(chunk + 4, "IEND", 4) == 0) return std::nullopt;
    if (std::memcmp(chunk + 4, "IDAT", 4) == 0) break;
    // Small chunks read past, as a seek drops the stream's buffer; large ones sought over.
    const auto skip = static_cast<std::streamoff>(length) + 4;
    if (skip <= kTail) {
      if (in.ignore(skip).gcount() != skip) return std::nullopt;
    } else if (!in.seekg(skip, std::ios::cur)) {
      return std::nullopt;
    }
  }
  const std::streamoff dataAt = in.tellg();
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  if (dataAt < 0 || end < dataAt) return std::nullopt;
  const std::streamoff from = std::max(dataAt, end - kTail);
  std::string tail(static_cast<std::size_t>(end - from), '\0');
  in.seekg(from);
  if (!in.read(tail.data(), static_cast<std::streamsize>(tail.size()))) return std::nullopt;
  // The end chunk: length 0, its type and its fixed CRC.
  static constexpr char kEnd[] = "\0\0\0\0IEND\xAE\x42\x60\x82";
  if (tail.find(std::string_view(kEnd, sizeof kEnd - 1)) == std::string::npos) return std::nullopt;
  return size;
}

}  // namespace vesk
