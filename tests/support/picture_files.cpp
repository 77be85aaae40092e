#include "support/picture_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace vesk::test {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string testPicture(const std::string& name) {
  return std::string(VESK_TEST_DATA_DIR) + "/images/" + name;
}

std::string bigEndian(std::uint32_t value, int count) {
  std::string bytes;
  for (int i = count - 1; i >= 0; --i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

std::string littleEndian(std::uint32_t value, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
  return bytes;
}

void refreshIhdrCrc(std::string& png) {
  ASSERT_GE(png.size(), 33u);
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 12; i < 29; ++i) {
    crc ^= static_cast<unsigned char>(png[i]);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  png.replace(29, 4, bigEndian(crc ^ 0xFFFFFFFFu, 4));
}

std::string bmpFile(std::uint32_t headerSize, std::int32_t width, std::int32_t height,
                    std::uint16_t planes, std::uint16_t bits) {
  std::string info = littleEndian(headerSize, 4);
  if (headerSize == 12) {
    info += littleEndian(static_cast<std::uint32_t>(width), 2) +
            littleEndian(static_cast<std::uint32_t>(height), 2);
  } else {
    info += littleEndian(static_cast<std::uint32_t>(width), 4) +
            littleEndian(static_cast<std::uint32_t>(height), 4);
  }
  info += littleEndian(planes, 2) + littleEndian(bits, 2);
  info.resize(headerSize, '\0');  // compression 0 (none) and zero counts
  // Every row the header states, up to 32 MiB; beyond that a few bytes only.
  const std::uint64_t rows =
      height < 0 ? 0 - static_cast<std::uint64_t>(height) : static_cast<std::uint64_t>(height);
  const std::uint64_t rowBytes =
      (static_cast<std::uint64_t>(width < 0 ? 0 : width) * bits + 31) / 32 * 4;
  const std::uint64_t whole = rowBytes * rows;
  const std::string pixels(whole > 0 && whole <= (std::uint64_t{32} << 20) ? whole : 16, '\x7F');
  const auto offset = static_cast<std::uint32_t>(14 + info.size());
  return "BM" + littleEndian(offset + static_cast<std::uint32_t>(pixels.size()), 4) +
         std::string(4, '\0') + littleEndian(offset, 4) + info + pixels;
}

std::string exifSegment(std::uint16_t orientation, const std::string& thumbnail) {
  // TIFF header, IFD0 at 8 with one entry, IFD1 at 26 with two, thumbnail at 56.
  const auto entry = [](std::uint16_t tag, std::uint16_t type, std::uint32_t value) {
    const std::string valueField =
        type == 3 ? bigEndian(value, 2) + std::string(2, '\0') : bigEndian(value, 4);
    return bigEndian(tag, 2) + bigEndian(type, 2) + bigEndian(1, 4) + valueField;
  };
  std::string tiff = "MM" + bigEndian(42, 2) + bigEndian(8, 4);
  tiff += bigEndian(1, 2) + entry(0x0112, 3, orientation);
  tiff += bigEndian(thumbnail.empty() ? 0 : 26, 4);
  if (!thumbnail.empty()) {
    tiff += bigEndian(2, 2) + entry(0x0201, 4, 56) +
            entry(0x0202, 4, static_cast<std::uint32_t>(thumbnail.size())) + bigEndian(0, 4);
    tiff += thumbnail;
  }
  const std::string payload = std::string("Exif\0\0", 6) + tiff;
  return "\xFF\xE1" + bigEndian(static_cast<std::uint32_t>(payload.size() + 2), 2) + payload;
}

}  // namespace vesk::test
