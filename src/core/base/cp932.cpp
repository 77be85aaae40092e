#include "base/cp932.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstdio>
#include <iterator>

#include "base/utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace vesk {
namespace {

constexpr int kContextChars = 10;
constexpr const char* kMalformedMessage = "エラー　文字コードが正しくありません";

bool isEscapedByte(char32_t value) {
  return value >= kEscapedByteBase && value <= kEscapedByteBase + 0xFF;
}

void appendEscapedByte(std::string& out, char byte) {
  appendUtf8(out, kEscapedByteBase + static_cast<unsigned char>(byte));
}

bool isLineEnd(char c) {
  return c == '\n' || c == '\r';
}

// The message for a character that code page 932 cannot represent: its code point
// and up to ten characters of its line on either side. The context stops at bytes
// that are not UTF-8, so the message itself stays valid UTF-8.
std::string unencodableMessage(std::string_view text, std::size_t pos, Utf8Char c) {
  std::size_t from = pos;
  for (int n = 0; n < kContextChars && from > 0 && !isLineEnd(text[from - 1]); ++n) {
    std::size_t start = from - 1;
    while (start > 0 && from - start < 4 && isUtf8Continuation(text[start])) --start;
    const Utf8Char before = decodeUtf8At(text, start);
    if (before.length == 0 || start + before.length != from) break;
    from = start;
  }
  std::size_t to = pos + c.length;
  for (int n = 0; n < kContextChars && to < text.size() && !isLineEnd(text[to]); ++n) {
    const Utf8Char after = decodeUtf8At(text, to);
    if (after.length == 0) break;
    to += after.length;
  }
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c.value));
  return std::string("エラー　Shift_JISで表せない文字があります: ") + code + "「" +
         std::string(text.substr(from, to - from)) + "」";
}

// Explains why the character at `pos` could not be encoded.
std::string failureAt(std::string_view text, std::size_t pos, std::size_t end) {
  const Utf8Char c = decodeUtf8At(text.substr(0, end), pos);
  if (c.length == 0) return kMalformedMessage;
  return unencodableMessage(text, pos, c);
}

#ifdef _WIN32

constexpr UINT kCodePage = 932;

int checkedInt(std::size_t size) {
  assert(size <= static_cast<std::size_t>(INT_MAX));
  return static_cast<int>(size);
}

// Decodes bytes that must all be valid code page 932 into UTF-8 appended to `out`.
bool appendDecodedRun(std::string_view bytes, std::string& out) {
  if (bytes.empty()) return true;
  const int wideLength = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                             checkedInt(bytes.size()), nullptr, 0);
  if (wideLength <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), checkedInt(bytes.size()),
                      wide.data(), wideLength);
  const int utf8Length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  const std::size_t old = out.size();
  out.resize(old + static_cast<std::size_t>(utf8Length));
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, out.data() + old, utf8Length, nullptr,
                      nullptr);
  return true;
}

// Encodes UTF-8 text without escaped bytes into code page 932, appended to `out`.
// Returns false when some character has no exact code.
bool appendEncodedRun(std::string_view utf8, std::string& out) {
  if (utf8.empty()) return true;
  const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                             checkedInt(utf8.size()), nullptr, 0);
  if (wideLength <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), checkedInt(utf8.size()),
                      wide.data(), wideLength);
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
                                         nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  const std::size_t old = out.size();
  out.resize(old + static_cast<std::size_t>(length));
  WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, out.data() + old,
                      length, nullptr, &usedDefault);
  return true;
}

// Position of the first character in text[begin, end) that does not encode.
std::size_t firstUnencodable(std::string_view text, std::size_t begin, std::size_t end) {
  std::string scratch;
  std::size_t pos = begin;
  while (pos < end) {
    const Utf8Char c = decodeUtf8At(text.substr(0, end), pos);
    if (c.length == 0 || !appendEncodedRun(text.substr(pos, c.length), scratch)) return pos;
    pos += c.length;
  }
  return end;
}

// Position of the next escaped byte in text[pos, end), or `end`.
std::size_t nextEscapedByte(std::string_view text, std::size_t pos, std::size_t end) {
  const std::string_view range = text.substr(0, end);
  for (; pos < end; ++pos) {
    if (range[pos] == '\xF4' && isEscapedByte(decodeUtf8At(range, pos).value)) return pos;
  }
  return end;
}

}  // namespace

std::string decodeCp932(std::string_view bytes) {
  std::string out;
  if (appendDecodedRun(bytes, out)) return out;

  // Some bytes do not decode: go character by character, escaping the first byte of
  // every character that fails and retrying from the byte after it.
  out.clear();
  std::size_t runStart = 0;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const bool lead = IsDBCSLeadByteEx(kCodePage, static_cast<BYTE>(bytes[pos])) != FALSE;
    const std::size_t length = lead && pos + 1 < bytes.size() ? 2 : 1;
    std::string scratch;
    if (static_cast<unsigned char>(bytes[pos]) < 0x80 ||
        appendDecodedRun(bytes.substr(pos, length), scratch)) {
      pos += length;
      continue;
    }
    appendDecodedRun(bytes.substr(runStart, pos - runStart), out);
    appendEscapedByte(out, bytes[pos]);
    ++pos;
    runStart = pos;
  }
  appendDecodedRun(bytes.substr(runStart), out);
  return out;
}

bool appendCp932(std::string_view text, std::size_t begin, std::size_t end, std::string& out,
                 std::string& error) {
  assert(begin <= end && end <= text.size());
  std::size_t pos = begin;
  while (pos < end) {
    const std::size_t escape = nextEscapedByte(text, pos, end);
    if (!appendEncodedRun(text.substr(pos, escape - pos), out)) {
      error = failureAt(text, firstUnencodable(text, pos, escape), end);
      return false;
    }
    if (escape == end) break;
    out += static_cast<char>(decodeUtf8At(text, escape).value - kEscapedByteBase);
    pos = escape + 4;
  }
  return true;
}

#else  // POSIX: glibc's iconv with its CP932 table, the Windows mapping.

// Characters that the CP932 converter writes although they do not read back as
// themselves: best-fit approximations, which Windows refuses under
// WC_NO_BEST_FIT_CHARS. The tag characters U+E0000-U+E007F, which it drops
// silently, are refused as well.
constexpr char32_t kApproximated[] = {0x00A2, 0x00A3, 0x00A5, 0x00AC, 0x2014,
                                      0x2016, 0x203E, 0x2212, 0x301C};

bool isRefused(char32_t value) {
  return (value >= 0xE0000 && value <= 0xE007F) ||
         std::binary_search(std::begin(kApproximated), std::end(kApproximated), value);
}

// Position of the first refused character in text[begin, end), or `end`. Only lead
// bytes of refused characters are looked at, so ASCII and most other text is passed
// over at byte speed.
std::size_t findRefused(std::string_view text, std::size_t begin, std::size_t end) {
  const std::string_view range = text.substr(0, end);
  for (std::size_t i = begin; i < end; ++i) {
    const auto byte = static_cast<unsigned char>(range[i]);
    if (byte != 0xC2 && byte != 0xE2 && byte != 0xE3 && byte != 0xF3) continue;
    const Utf8Char c = decodeUtf8At(range, i);
    if (c.length != 0 && isRefused(c.value)) return i;
  }
  return end;
}

// Runs of ASCII at least this long are copied rather than handed to iconv.
constexpr std::size_t kAsciiRun = 16;

bool isAscii(char c) {
  return static_cast<unsigned char>(c) < 0x80;
}

// ASCII bytes stand for themselves in code page 932 and in UTF-8, and a character
// always starts after one (an ASCII byte may end a double-byte character of code
// page 932 but never begins one). Text such as XML is mostly ASCII, which is copied
// directly; iconv converts the rest in stretches that end just after the first byte
// of a long ASCII run, so each stretch ends on a character boundary.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    assert(valid() && "iconv lacks the CP932 converter");
  }
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts in[pos, end) and appends to out[0, used), growing `out` as needed.
  // Stops at the first byte sequence it cannot convert, with `pos` on it, and returns
  // EILSEQ or, for a truncated sequence at `end`, EINVAL; returns 0 when all is done.
  int convert(std::string_view in, std::size_t& pos, std::size_t end, std::string& out,
              std::size_t& used) {
    while (pos < end) {
      std::size_t ascii = pos;
      while (ascii < end && isAscii(in[ascii])) ++ascii;
      if (out.size() - used < ascii - pos) out.resize(used + (ascii - pos) + out.size());
      std::copy(in.begin() + static_cast<std::ptrdiff_t>(pos),
                in.begin() + static_cast<std::ptrdiff_t>(ascii),
                out.begin() + static_cast<std::ptrdiff_t>(used));
      used += ascii - pos;
      pos = ascii;
      if (pos == end) break;
      const int status = convertStretch(in, pos, stretchEnd(in, pos, end), out, used);
      if (status != 0) return status;
    }
    return 0;
  }

 private:
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // End of the stretch for iconv that starts at `pos`: just after the first byte of
  // the next run of kAsciiRun ASCII bytes, or `end`.
  static std::size_t stretchEnd(std::string_view in, std::size_t pos, std::size_t end) {
    std::size_t run = 0;
    for (std::size_t i = pos; i < end; ++i) {
      run = isAscii(in[i]) ? run + 1 : 0;
      if (run == kAsciiRun) return i - kAsciiRun + 2;
    }
    return end;
  }

  int convertStretch(std::string_view in, std::size_t& pos, std::size_t end, std::string& out,
                     std::size_t& used) {
    if (!valid()) return EILSEQ;  // without a converter only ASCII passes
    for (;;) {
      char* inPtr = const_cast<char*>(in.data() + pos);
      std::size_t inLeft = end - pos;
      char* outPtr = out.data() + used;
      std::size_t outLeft = out.size() - used;
      const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      const int status = result == static_cast<std::size_t>(-1) ? errno : 0;
      pos = static_cast<std::size_t>(inPtr - in.data());
      used = static_cast<std::size_t>(outPtr - out.data());
      if (status != E2BIG) return status;
      out.resize(out.size() * 2 + 16);
    }
  }

  iconv_t cd_;
};

}  // namespace

std::string decodeCp932(std::string_view bytes) {
  Converter converter("UTF-8", "CP932");
  // Three UTF-8 bytes at most per byte, except escapes, for which `convert` grows it.
  std::string out(bytes.size() * 3 + 16, '\0');
  std::size_t used = 0;
  std::size_t pos = 0;
  while (pos < bytes.size() && converter.convert(bytes, pos, bytes.size(), out, used) != 0) {
    // The byte at pos starts no character: escape it alone and go on after it, so a
    // lead byte followed by an invalid trail byte leaves that byte to the next try.
    std::string escaped;
    appendEscapedByte(escaped, bytes[pos]);
    if (out.size() - used < escaped.size()) out.resize(out.size() * 2 + escaped.size());
    std::copy(escaped.begin(), escaped.end(), out.begin() + static_cast<std::ptrdiff_t>(used));
    used += escaped.size();
    ++pos;
  }
  out.resize(used);
  return out;
}

bool appendCp932(std::string_view text, std::size_t begin, std::size_t end, std::string& out,
                 std::string& error) {
  assert(begin <= end && end <= text.size());
  Converter converter("CP932", "UTF-8");
  std::size_t used = out.size();
  // Never more bytes than the UTF-8 form has.
  out.resize(used + (end - begin));
  std::size_t pos = begin;
  while (pos < end) {
    const std::size_t refused = findRefused(text, pos, end);
    while (pos < refused && converter.convert(text, pos, refused, out, used) != 0) {
      const Utf8Char c = decodeUtf8At(text.substr(0, refused), pos);
      if (c.length == 0 || !isEscapedByte(c.value)) {
        error = failureAt(text, pos, refused);
        return false;
      }
      if (used == out.size()) out.resize(out.size() * 2 + 16);
      out[used++] = static_cast<char>(c.value - kEscapedByteBase);
      pos += c.length;
    }
    if (refused < end) {
      error = failureAt(text, refused, end);
      return false;
    }
  }
  out.resize(used);
  return true;
}

#endif

Cp932Encoding encodeCp932(std::string_view utf8) {
  Cp932Encoding result;
  result.ok = appendCp932(utf8, 0, utf8.size(), result.bytes, result.error);
  if (!result.ok) result.bytes.clear();
  return result;
}

}  // namespace vesk
