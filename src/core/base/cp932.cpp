#include "base/cp932.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// The end of the run of ASCII bytes of text[pos, end), stopping also at the ASCII
// byte `stop` when it is not kNoStop; read sixteen bytes (else a word) at a time.
constexpr int kNoStop = -1;
std::size_t asciiRunEnd(std::string_view text, std::size_t pos, std::size_t end, int stop) {
#ifdef __SSE2__
  // Sixteen bytes at a time: a mask of the bytes with the high bit set (and of stops).
  const __m128i stops = _mm_set1_epi8(static_cast<char>(stop));
  while (pos + 16 <= end) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos));
    int found = _mm_movemask_epi8(bytes);
    if (stop != kNoStop) found |= _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, stops));
    if (found != 0)
      return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(found)));
    pos += 16;
  }
#endif
  constexpr std::uint64_t kHigh = 0x8080808080808080u;
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  while (pos + 8 <= end) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + pos, sizeof word);
    std::uint64_t found = word & kHigh;
    if (stop != kNoStop) {
      const std::uint64_t x = word ^ (kOnes * static_cast<unsigned>(stop));  // zero at a stop
      found |= (x - kOnes) & ~x & kHigh;
    }
    if (found != 0) break;
    pos += 8;
  }
  while (pos < end) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b >= 0x80 || b == stop) break;
    ++pos;
  }
  return pos;
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

// Appends the decoding of `bytes` to `out`; returns how many were decoded: all of
// them, unless `last` is false and the final byte is a lead byte that would decode
// with the byte after it (or, with `dropCr`, a CR), which is then left for the next
// piece. With `dropCr` a CR directly before an LF is left out.
std::size_t decodeInto(std::string& out, std::string_view bytes, bool last, bool dropCr = false) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  // Each block of input is decoded into a small buffer and appended, so the result is
  // only reserved, never zero-filled; up to four bytes of UTF-8 per byte (an escape),
  // and a block may run on by a pair or by a short run of ASCII.
  constexpr std::size_t kBlock = 4096;
  constexpr std::size_t kShortRun = 64;
  char buffer[4 * kBlock + kShortRun + 8];
  std::size_t pos = 0;
  bool holding = false;  // the last byte waits for the next piece
  while (pos < size && !holding) {
    char* put = buffer;
    const std::size_t blockEnd = pos + kBlock;  // the block may run one byte further for a pair
    while (pos < size && pos < blockEnd) {
      const unsigned char b = in[pos];
      if (b == '\r' && dropCr) {
        if (pos + 1 == size && !last) {
          holding = true;  // an LF may come with the next piece
          break;
        }
        if (pos + 1 == size || in[pos + 1] != '\n') *put++ = '\r';
        ++pos;
        continue;
      }
      if (b < 0x80) {
        // A run of ASCII goes to the output straight from the input.
        const std::size_t run = asciiRunEnd(bytes, pos, size, dropCr ? '\r' : kNoStop);
        if (run - pos >= kShortRun) {
          out.append(buffer, static_cast<std::size_t>(put - buffer));
          put = buffer;
          out.append(bytes.data() + pos, run - pos);
          pos = run;
          break;  // a new block
        }
        std::memcpy(put, in + pos, run - pos);
        put += run - pos;
        pos = run;
        continue;
      }
      const char16_t single = cp932::kSingle[b];
      if (single != cp932::kNone) {
        put = putUtf8(put, single);
        ++pos;
        continue;
      }
      if (cp932::isLeadByte(b) && pos + 1 == size && !last) {
        holding = true;  // its pair may come with the next piece
        break;
      }
      if (cp932::isLeadByte(b) && pos + 1 < size) {
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

// Encodes text[begin, end) (on character boundaries) onto `out`, or only counts
// the bytes when `out` is null; with `crLf` every LF is written as CR LF in the same
// pass. Runs of ASCII are copied whole. No trail byte of code page 932 is an LF.
Status encodeRange(std::string_view text, std::size_t begin, std::size_t end, std::string* out,
                   bool crLf, std::uint64_t& bytes) {
  assert(begin <= end && end <= text.size());
  const std::string_view range = text.substr(0, end);
  std::size_t pos = begin;
  while (pos < end) {
    const std::size_t run = asciiRunEnd(range, pos, end, crLf ? '\n' : kNoStop);
    if (run > pos) {
      if (out != nullptr) out->append(range.data() + pos, run - pos);
      bytes += run - pos;
      pos = run;
      continue;
    }
    if (range[pos] == '\n') {
      if (out != nullptr) out->append("\r\n", 2);
      bytes += 2;
      ++pos;
      continue;
    }
    const Utf8Char c = decodeUtf8At(range, pos);
    if (c.length == 0) return failureAt(text, pos, end);
    char code[2];
    std::size_t length = 1;
    if (isEscapedByte(c.value)) {
      code[0] = static_cast<char>(c.value - kEscapedByteBase);
    } else {
      const std::uint16_t value = codeOf(c.value);
      if (value == cp932::kNone) return failureAt(text, pos, end);
      if (value > 0xFF) {
        code[0] = static_cast<char>(value >> 8);
        code[1] = static_cast<char>(value & 0xFF);
        length = 2;
      } else {
        code[0] = static_cast<char>(value);
      }
    }
    if (out != nullptr) out->append(code, length);
    bytes += length;
    pos += c.length;
  }
  return {};
}

}  // namespace

Status appendCp932(std::string_view text, std::size_t begin, std::size_t end, std::string& out) {
  std::uint64_t bytes = 0;
  return encodeRange(text, begin, end, &out, false, bytes);
}

Status appendCp932WithCrLf(std::string_view text, std::size_t begin, std::size_t end,
                           std::string& out) {
  std::uint64_t bytes = 0;
  return encodeRange(text, begin, end, &out, true, bytes);
}

Result<std::uint64_t> cp932SizeWithCrLf(std::string_view utf8) {
  std::uint64_t bytes = 0;
  const Status encoded = encodeRange(utf8, 0, utf8.size(), nullptr, true, bytes);
  if (!encoded) return encoded.failure();
  return bytes;
}

Result<std::string> encodeCp932(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  Status encoded = appendCp932(utf8, 0, utf8.size(), bytes);
  if (!encoded) return encoded.failure();
  return bytes;
}

}  // namespace vesk
