#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vesk {

// One character read from UTF-8 text.
struct Utf8Char {
  char32_t value = 0;
  std::size_t length = 0;  // bytes taken; 0 when the bytes at the position are not UTF-8
};

// Decodes the character that starts at `pos` (pos < text.size()). Strict: overlong
// forms, surrogates, values beyond U+10FFFF and truncated sequences give length 0.
Utf8Char decodeUtf8At(std::string_view text, std::size_t pos);

// Appends the UTF-8 form of a code point up to U+10FFFF.
void appendUtf8(std::string& out, char32_t value);

// True for a byte that continues a multi-byte UTF-8 sequence.
inline bool isUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

#ifdef _WIN32
// UTF-8 text as the UTF-16 text of the wide Windows API, and back. Bytes that are not
// UTF-8, and unpaired surrogates, become U+FFFD.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view wide);
#endif

}  // namespace vesk
