#pragma once

#include <cstdint>
#include <string>

namespace vesk::test {

// The whole content of a file; fails the running test when it cannot be read.
std::string readFile(const std::string& path);

// Path of a committed test picture in tests/data/images.
std::string testPicture(const std::string& name);

// `value` as `count` bytes, most or least significant first.
std::string bigEndian(std::uint32_t value, int count);
std::string littleEndian(std::uint32_t value, int count);

// Recomputes the CRC of the IHDR chunk of a PNG after its fields were patched.
void refreshIhdrCrc(std::string& png);

// A BMP file whose information header is `headerSize` bytes long: 16-bit width and
// height for 12, signed 32-bit ones otherwise, followed by the pixel rows they state
// (a few bytes only where those would pass 32 MiB).
std::string bmpFile(std::uint32_t headerSize, std::int32_t width, std::int32_t height,
                    std::uint16_t planes = 1, std::uint16_t bits = 24);

// An APP1 segment holding big-endian EXIF data: an orientation tag and, when
// `thumbnail` is not empty, a second IFD that points to it as the JPEG thumbnail.
std::string exifSegment(std::uint16_t orientation, const std::string& thumbnail);

}  // namespace vesk::test
