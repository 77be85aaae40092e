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

// UTF-8 text as UTF-16, and back, such that every UTF-16 text survives the round
// trip: a file name on Windows may hold an unpaired surrogate, which UTF-8 cannot, and
// such a name must still name its own file once narrowed and widened again. An unpaired
// surrogate is carried as the three bytes UTF-8 would give its value (as WTF-8 does),
// which the strict decodeUtf8At refuses. Other bytes that are not UTF-8 become U+FFFD,
// one for each byte.
std::u16string utf16Of(std::string_view text);
std::string utf8Of(std::u16string_view text);

#ifdef _WIN32
// utf16Of and utf8Of for the wide Windows API.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view wide);
#endif

}  // namespace vesk
