#include "base/utf8.h"

namespace vesk {

Utf8Char decodeUtf8At(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return {lead, 1};

  std::size_t length;
  char32_t value;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return {};
  }
  if (text.size() - pos < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if (!isUtf8Continuation(text[pos + i])) return {};
    value = (value << 6) | (byte(pos + i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {};
  return {value, length};
}

void appendUtf8(std::string& out, char32_t value) {
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x800) {
    out += static_cast<char>(0xC0 | (value >> 6));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    out += static_cast<char>(0xE0 | (value >> 12));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (value >> 18));
    out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  }
}

namespace {

bool isHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The surrogate carried at text[pos] as its three bytes (ED A0..BF 80..BF), or 0.
char16_t carriedSurrogateAt(std::string_view text, std::size_t pos) {
  if (text.size() - pos < 3 || static_cast<unsigned char>(text[pos]) != 0xED) return 0;
  const auto second = static_cast<unsigned char>(text[pos + 1]);
  if (second < 0xA0 || second > 0xBF || !isUtf8Continuation(text[pos + 2])) return 0;
  return static_cast<char16_t>(0xD000 | (second & 0x3F) << 6 |
                               (static_cast<unsigned char>(text[pos + 2]) & 0x3F));
}

}  // namespace

std::u16string utf16Of(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      wide += static_cast<char16_t>(byte);
      ++pos;
      continue;
    }
    const Utf8Char c = decodeUtf8At(text, pos);
    if (c.length == 0) {
      const char16_t surrogate = carriedSurrogateAt(text, pos);
      wide += surrogate != 0 ? surrogate : char16_t{0xFFFD};
      pos += surrogate != 0 ? 3 : 1;
    } else if (c.value >= 0x10000) {
      wide += static_cast<char16_t>(0xD800 + ((c.value - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((c.value - 0x10000) & 0x3FF));
      pos += c.length;
    } else {
      wide += static_cast<char16_t>(c.value);
      pos += c.length;
    }
  }
  return wide;
}

std::string utf8Of(std::u16string_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const char16_t unit = text[pos];
    if (unit < 0x80) {
      narrow += static_cast<char>(unit);
    } else if (isHighSurrogate(unit) && pos + 1 < text.size() && isLowSurrogate(text[pos + 1])) {
      appendUtf8(narrow, 0x10000 + ((unit - 0xD800) << 10) + (text[pos + 1] - 0xDC00));
      ++pos;
    } else {
      appendUtf8(narrow, unit);  // an unpaired surrogate too, as its three bytes
    }
  }
  return narrow;
}

#ifdef _WIN32

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring widen(std::string_view text) {
  const std::u16string wide = utf16Of(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string narrow(std::wstring_view wide) {
  return utf8Of(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

#endif

}  // namespace vesk
