#include "base/cp932.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/ascii_runs.h"
#include "base/cp932_table.h"
#include "base/utf8.h"

namespace vesk {
namespace {

constexpr int kContextChars = 10;

bool isEscapedByte(char32_t value) {
  return value >= kEscapedByteBase && value <= kEscapedByteBase + 0xFF;
}

bool isLineEnd(char c) {
  return c == '\n' || c == '\r';
}

// The failure for a character that code page 932 cannot represent: its code point
// and up to ten characters of its line on either side. The context stops at bytes
// that are not UTF-8, so it stays valid UTF-8.
Failure unencodableFailure(std::string_view text, std::size_t pos, Utf8Char c) {
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
  Failure failure = makeFailure(FailureCode::UnencodableText);
  failure.character = c.value;
  failure.context = std::string(text.substr(from, to - from));
  return failure;
}

// Explains why the character at `pos` could not be encoded.
Failure failureAt(std::string_view text, std::size_t pos, std::size_t end) {
  const Utf8Char c = decodeUtf8At(text.substr(0, end), pos);
  if (c.length == 0) return makeFailure(FailureCode::MalformedText);
  return unencodableFailure(text, pos, c);
}

// Appends the UTF-8 form of a BMP code point.
inline char* putUtf8(char* out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | c >> 6);
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | c >> 12);
    *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// The escape of an undecodable byte: U+10FF00 + byte, four bytes of UTF-8.
inline char* putEscapedByte(char* out, unsigned char byte) {
  *out++ = static_cast<char>(0xF4);
  *out++ = static_cast<char>(0x8F);
  *out++ = static_cast<char>(0xBC | byte >> 6);
  *out++ = static_cast<char>(0x80 | (byte & 0x3F));
  return out;
}

// The code page 932 code of a code point, cp932::kNone when it has none.
inline std::uint16_t codeOf(char32_t c) {
  if (c > 0xFFFF) return cp932::kNone;
  return cp932::kEncodeBlocks[cp932::kEncodeBlockOf[c >> 8]][c & 0xFF];
}

}  // namespace

// One pass over the bytes, each character looked up in the tables. A byte that
// starts no character is escaped. A lead byte whose pair does not decode is escaped
// together with its trail byte when that byte lies in 0x80-0xFC: left alone, such a
// byte could start a pair of its own, and if that pair is a duplicate code, which
// is written as its twin, the lead byte would pair differently when the written
// bytes are read again. An ASCII byte after the lead byte stays a character.
namespace {

// Runs of ASCII shorter than this are gathered in a block's buffer; longer ones are
// appended straight from the input.
constexpr std::size_t kShortRun = 64;

// Takes the ASCII of in[pos, run) into the output of a block being gathered in
// `buffer` up to `put`: a short run into the buffer, a long one appended to `out`
// after what the buffer holds. True when the buffer was emptied: a new block begins.
bool takeAsciiRun(std::string& out, char* buffer, char*& put, const char* in, std::size_t& pos,
                  std::size_t run) {
  if (run - pos >= kShortRun) {
    out.append(buffer, static_cast<std::size_t>(put - buffer));
    put = buffer;
    out.append(in + pos, run - pos);
    pos = run;
    return true;
  }
  std::memcpy(put, in + pos, run - pos);
  put += run - pos;
  pos = run;
  return false;
}

// Appends the decoding of `bytes` to `out`; returns how many were decoded: all of
// them, unless `last` is false and the final byte is a lead byte that would decode
// with the byte after it (or, with `dropCr`, a CR), which is then left for the next
// piece. With `dropCr` a CR directly before an LF is left out.
std::size_t decodeInto(std::string& out, std::string_view bytes, bool last, bool dropCr = false) {
  const char* const data = bytes.data();
  const auto* in = reinterpret_cast<const unsigned char*>(data);
  const std::size_t size = bytes.size();
  // Each block of input is decoded into a small buffer and appended, so the result is
  // only reserved, never zero-filled; up to four bytes of UTF-8 per byte (an escape),
  // and a block may run on by a pair or by a short run of ASCII. Blocks are small:
  // appends of 2 KB and more measured much slower (glibc's memmove switches to
  // another way of copying there).
  constexpr std::size_t kBlock = 512;
  char buffer[4 * kBlock + kShortRun + 8];
  std::size_t pos = 0;
  bool holding = false;  // the last byte waits for the next piece
  while (pos < size && !holding) {
    char* put = buffer;
    const std::size_t blockEnd = pos + kBlock;  // the block may run one byte further for a pair
    while (pos < size && pos < blockEnd) {
      const unsigned char b = in[pos];
      if (b < 0x80 && dropCr) {
        // Lines are short: their ASCII goes through the buffer, each CR before an LF
        // left out on the way; a CR that ends the bytes waits for what follows it.
        if (b == '\r' && pos + 1 == size) {
          if (!last) {
            holding = true;
            break;
          }
          *put++ = '\r';
          ++pos;
          continue;
        }
        const AsciiCopy copied =
            copyAsciiDroppingCrBeforeLf(data, pos, std::min(size, blockEnd), size, put);
        pos = copied.pos;
        put = copied.put;
        continue;
      }
      if (b < 0x80) {
        // A run of ASCII goes to the output straight from the input.
        if (takeAsciiRun(out, buffer, put, data, pos, asciiRunEnd(data, pos, size))) break;
        continue;
      }
      // A lead byte, first: the kana and kanji of scenes are pairs.
      if (cp932::isLeadByte(b)) {
        if (pos + 1 == size && !last) {
          holding = true;  // its pair may come with the next piece
          break;
        }
        if (pos + 1 < size) {
          const unsigned char t = in[pos + 1];
          if (cp932::isTrailByte(t)) {
            const char16_t c = cp932::kPairs[cp932::leadIndex(b)][cp932::trailIndex(t)];
            if (c != cp932::kNone) {
              put = putUtf8(put, c);
              pos += 2;
              continue;
            }
            if (t >= 0x80) {
              put = putEscapedByte(put, b);
              put = putEscapedByte(put, t);
              pos += 2;
              continue;
            }
          }
        }
      } else if (const char16_t single = cp932::kSingle[b]; single != cp932::kNone) {
        put = putUtf8(put, single);
        ++pos;
        continue;
      }
      put = putEscapedByte(put, b);
      ++pos;
    }
    out.append(buffer, static_cast<std::size_t>(put - buffer));
  }
  return pos;
}

}  // namespace

std::string decodeCp932(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  decodeInto(out, bytes, true);
  return out;
}

void Cp932PieceDecoder::add(std::string_view bytes, std::string& out) {
  if (bytes.empty()) return;
  if (held_ && *held_ == '\r') {
    // A held CR is dropped before an LF; the byte after it begins the piece as ever.
    if (bytes.front() != '\n') out += '\r';
    held_.reset();
  } else if (held_ && bytes.front() == '\r') {
    // No pair ends with a CR: the lead byte decodes alone, the CR with its piece.
    decodeInto(out, std::string_view(&*held_, 1), true);
    held_.reset();
  } else if (held_) {
    // The held lead byte and the byte after it decode together or each alone, and
    // then neither needs what follows: the byte after a lone lead byte is no lead byte.
    const char pair[2] = {*held_, bytes.front()};
    decodeInto(out, std::string_view(pair, 2), true, dropCr_);
    held_.reset();
    bytes.remove_prefix(1);
  }
  const std::size_t decoded = decodeInto(out, bytes, false, dropCr_);
  if (decoded < bytes.size()) held_ = bytes.back();
}

void Cp932PieceDecoder::finish(std::string& out) {
  if (held_) decodeInto(out, std::string_view(&*held_, 1), true, dropCr_);
  held_.reset();
}

namespace {

// The code page 932 bytes of a character of UTF-8: how many were put (1 or 2, 0 when
// the character has none or the bytes are not UTF-8) and how many bytes it takes.
struct EncodedChar {
  std::size_t length;
  std::size_t taken;
};

// Puts a code of the tables (a byte, or a lead and a trail byte): how many, 0 for none.
inline std::size_t putCode(std::uint16_t value, char* code) {
  if (value == cp932::kNone) return 0;
  if (value <= 0xFF) {
    code[0] = static_cast<char>(value);
    return 1;
  }
  code[0] = static_cast<char>(value >> 8);
  code[1] = static_cast<char>(value & 0xFF);
  return 2;
}

// Puts the code of the character at range[pos], which is not ASCII, into `code`.
// Three bytes of UTF-8, as kana and kanji take, are read here; others by
// decodeUtf8At.
inline EncodedChar encodeCharAt(std::string_view range, std::size_t pos, char* code) {
  const auto* p = reinterpret_cast<const unsigned char*>(range.data()) + pos;
  if (range.size() - pos >= 3 && (p[0] & 0xF0) == 0xE0 && (p[1] & 0xC0) == 0x80 &&
      (p[2] & 0xC0) == 0x80) {
    const char32_t c = (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
    if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) return {putCode(codeOf(c), code), 3};
  }
  const Utf8Char c = decodeUtf8At(range, pos);
  if (c.length == 0) return {0, 0};
  if (isEscapedByte(c.value)) {
    code[0] = static_cast<char>(c.value - kEscapedByteBase);
    return {1, c.length};
  }
  return {putCode(codeOf(c.value), code), c.length};
}

// Encodes text[begin, end) (on character boundaries) onto `out`; with `crLf` every LF
// is written as CR LF in the same pass. No trail byte of code page 932 is an LF.
// Each block of input is encoded into a small buffer and appended whole, so the
// output is only reserved, never zero-filled; a long run of ASCII without line ends
// to change goes straight from the input.
Status encodeRange(std::string_view text, std::size_t begin, std::size_t end, std::string& out,
                   bool crLf) {
  assert(begin <= end && end <= text.size());
  const std::string_view range = text.substr(0, end);
  const char* const in = range.data();
  constexpr std::size_t kBlock = 1024;  // see decodeInto
  // Up to two bytes out per byte in (an LF), sixteen written past a copied run, and a
  // block may run on by a character or by a short run of ASCII.
  char buffer[2 * kBlock + kShortRun + 16];
  std::size_t pos = begin;
  while (pos < end) {
    char* put = buffer;
    const std::size_t blockEnd = std::min(end, pos + kBlock);
    while (pos < blockEnd) {
      if (static_cast<unsigned char>(in[pos]) < 0x80) {
        if (crLf) {
          const AsciiCopy copied = copyAsciiWithCrLf(in, pos, blockEnd, end, put);
          pos = copied.pos;
          put = copied.put;
          continue;
        }
        if (takeAsciiRun(out, buffer, put, in, pos, asciiRunEnd(in, pos, end))) break;
        continue;
      }
      const EncodedChar c = encodeCharAt(range, pos, put);
      if (c.length == 0) return failureAt(text, pos, end);
      put += c.length;
      pos += c.taken;
    }
    out.append(buffer, static_cast<std::size_t>(put - buffer));
  }
  return {};
}

}  // namespace

Status appendCp932(std::string_view text, std::size_t begin, std::size_t end, std::string& out) {
  return encodeRange(text, begin, end, out, false);
}

Status appendCp932WithCrLf(std::string_view text, std::size_t begin, std::size_t end,
                           std::string& out) {
  return encodeRange(text, begin, end, out, true);
}

// encodeRange's pass with CR LF, counting instead of writing.
Result<std::uint64_t> cp932SizeWithCrLf(std::string_view utf8) {
  std::uint64_t bytes = 0;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
      pos = countAsciiWithCrLf(utf8.data(), pos, utf8.size(), bytes);
      continue;
    }
    char code[2];
    const EncodedChar c = encodeCharAt(utf8, pos, code);
    if (c.length == 0) return failureAt(utf8, pos, utf8.size());
    bytes += c.length;
    pos += c.taken;
  }
  return bytes;
}

Result<std::string> encodeCp932(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  Status encoded = appendCp932(utf8, 0, utf8.size(), bytes);
  if (!encoded) return encoded.failure();
  return bytes;
}

Result<std::string> encodeCp932Name(std::string_view utf8) {
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8Char c = decodeUtf8At(utf8, pos);
    if (c.length == 0) break;  // encodeCp932 names the malformed text
    if (c.value >= kEscapedByteBase) return unencodableFailure(utf8, pos, c);
    pos += c.length;
  }
  return encodeCp932(utf8);
}

}  // namespace vesk
