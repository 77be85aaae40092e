#pragma once

#include <string>
#include <string_view>

namespace vesk {

// Conversion between code page 932 (the Windows mapping of Shift_JIS) and UTF-8.
//
// Bytes that do not decode survive a round trip: each such byte b is carried in
// UTF-8 as the private-use code point U+10FF00 + b and turned back into b when
// encoding. No character that code page 932 maps lies in that range.

// First code point of the escape range for undecodable bytes.
inline constexpr char32_t kEscapedByteBase = 0x10FF00;

// Decodes code page 932 bytes into UTF-8. Never fails.
std::string decodeCp932(std::string_view bytes);

struct Cp932Encoding {
  bool ok = false;
  std::string bytes;  // the encoded text when ok
  std::string error;  // when !ok: names the character (U+XXXX) and the text around it
};

// Encodes UTF-8 text into code page 932, turning escaped bytes back into bytes.
// Fails on the first character that code page 932 cannot represent (or on
// malformed UTF-8), without a best-fit replacement.
Cp932Encoding encodeCp932(std::string_view utf8);

}  // namespace vesk
