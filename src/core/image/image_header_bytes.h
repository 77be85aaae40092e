#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>

namespace vesk {

// Width and height as a picture's header stores them, before any range check.
struct ImageSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
};

// Reads exactly `count` bytes; false when the stream ends or fails first.
inline bool readExact(std::istream& in, unsigned char* bytes, std::size_t count) {
  in.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
  return in.gcount() == static_cast<std::streamsize>(count);
}

inline std::uint32_t bigEndian16(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) << 8 | p[1];
}

inline std::uint32_t bigEndian32(const unsigned char* p) {
  return bigEndian16(p) << 16 | bigEndian16(p + 2);
}

inline std::uint32_t littleEndian16(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

inline std::uint32_t littleEndian32(const unsigned char* p) {
  return littleEndian16(p + 2) << 16 | littleEndian16(p);
}

}  // namespace vesk
