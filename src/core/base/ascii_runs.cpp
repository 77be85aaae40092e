#include "base/ascii_runs.h"

#include <algorithm>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vesk {
namespace {

constexpr std::uint64_t kHigh = 0x8080808080808080u;
constexpr std::uint64_t kOnes = 0x0101010101010101u;

std::uint64_t loadWord(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Nonzero when some byte of `word` is `byte` (which one it does not tell).
std::uint64_t hasByte(std::uint64_t word, unsigned char byte) {
  const std::uint64_t x = word ^ (kOnes * byte);  // zero where the byte is
  return (x - kOnes) & ~x & kHigh;
}

#ifdef __SSE2__
__m128i load16(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

void store16(char* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// A bit for each byte of `v` with the high bit set, or equal to `byte`.
unsigned maskOf(__m128i v) {
  return static_cast<unsigned>(_mm_movemask_epi8(v));
}
unsigned maskOf(__m128i v, char byte) {
  return maskOf(_mm_cmpeq_epi8(v, _mm_set1_epi8(byte)));
}

// How many bytes of a block of sixteen come before the first with the high bit set.
unsigned asciiLead(unsigned high) {
  return high == 0 ? 16 : static_cast<unsigned>(std::countr_zero(high));
}

// The n lowest bits, n up to 16.
unsigned lowBits(unsigned n) {
  return (1u << n) - 1;
}

// The bits set in a 16-bit mask, by arithmetic: std::popcount would call the library
// on a build that does not assume the POPCNT instruction.
unsigned bitCount(unsigned m) {
  m = m - ((m >> 1) & 0x5555);
  m = (m & 0x3333) + ((m >> 2) & 0x3333);
  m = (m + (m >> 4)) & 0x0F0F;
  return (m + (m >> 8)) & 0x1F;
}
#endif

}  // namespace

std::size_t asciiRunEnd(const char* in, std::size_t pos, std::size_t end) {
#ifdef __SSE2__
  while (pos + 16 <= end) {
    const unsigned high = maskOf(load16(in + pos));
    if (high != 0) return pos + asciiLead(high);
    pos += 16;
  }
#endif
  while (pos + 8 <= end && (loadWord(in + pos) & kHigh) == 0) pos += 8;
  while (pos < end && static_cast<unsigned char>(in[pos]) < 0x80) ++pos;
  return pos;
}

AsciiCopy copyAsciiDroppingCrBeforeLf(const char* in, std::size_t pos, std::size_t limit,
                                      std::size_t size, char* out) {
#ifdef __SSE2__
  // Each block of sixteen is stored whole; when it holds a CR before an LF, it is stored
  // again from the byte after that CR, over the CR, which reads up to sixteen bytes past
  // the block.
  const std::size_t blocksEnd = size >= 16 ? std::min(limit, size - 16) : 0;
  const __m128i crs = _mm_set1_epi8('\r');
  while (pos + 16 <= blocksEnd) {
    const __m128i block = load16(in + pos);
    store16(out, block);
    const __m128i isCr = _mm_cmpeq_epi8(block, crs);
    if (maskOf(_mm_or_si128(block, isCr)) == 0) {
      out += 16;
      pos += 16;
      continue;
    }
    const unsigned ascii = asciiLead(maskOf(block));
    const unsigned lfNext = maskOf(block, '\n') >> 1 | unsigned{in[pos + 16] == '\n'} << 15;
    unsigned dropped = maskOf(isCr) & lfNext & lowBits(ascii);
    unsigned from = 0;
    for (; dropped != 0; dropped &= dropped - 1) {
      const auto cr = static_cast<unsigned>(std::countr_zero(dropped));
      out += cr - from;
      from = cr + 1;
      store16(out, load16(in + pos + from));
    }
    out += ascii - from;
    pos += ascii;
    if (ascii < 16) return {pos, out};
  }
#endif
  // A word at a time up to a high byte or a CR, which is taken alone.
  for (;;) {
    while (pos + 8 <= limit) {
      const std::uint64_t word = loadWord(in + pos);
      if (((word & kHigh) | hasByte(word, '\r')) != 0) break;
      std::memcpy(out, &word, sizeof word);
      out += 8;
      pos += 8;
    }
    if (pos == limit) return {pos, out};
    const auto b = static_cast<unsigned char>(in[pos]);
    if (b >= 0x80) return {pos, out};
    if (b == '\r') {
      if (pos + 1 == size) return {pos, out};
      if (in[pos + 1] == '\n') {
        ++pos;
        continue;
      }
    }
    *out++ = static_cast<char>(b);
    ++pos;
  }
}

AsciiCopy copyAsciiWithCrLf(const char* in, std::size_t pos, std::size_t limit,
                            [[maybe_unused]] std::size_t size, char* out) {
#ifdef __SSE2__
  // Each block of sixteen is stored whole; when it holds an LF, it is stored again from
  // the LF on, one byte further, after a CR put over that LF, which reads up to fifteen
  // bytes past the block.
  const std::size_t blocksEnd = size >= 16 ? std::min(limit, size - 16) : 0;
  const __m128i lfs = _mm_set1_epi8('\n');
  while (pos + 16 <= blocksEnd) {
    const __m128i block = load16(in + pos);
    store16(out, block);
    const __m128i isLf = _mm_cmpeq_epi8(block, lfs);
    if (maskOf(_mm_or_si128(block, isLf)) == 0) {
      out += 16;
      pos += 16;
      continue;
    }
    const unsigned ascii = asciiLead(maskOf(block));
    unsigned lfBits = maskOf(isLf) & lowBits(ascii);
    unsigned from = 0;
    for (; lfBits != 0; lfBits &= lfBits - 1) {
      const auto lf = static_cast<unsigned>(std::countr_zero(lfBits));
      out += lf - from;
      *out++ = '\r';
      from = lf;
      store16(out, load16(in + pos + from));
    }
    out += ascii - from;
    pos += ascii;
    if (ascii < 16) return {pos, out};
  }
#endif
  // A word at a time up to a high byte or an LF, which is taken alone.
  for (;;) {
    while (pos + 8 <= limit) {
      const std::uint64_t word = loadWord(in + pos);
      if (((word & kHigh) | hasByte(word, '\n')) != 0) break;
      std::memcpy(out, &word, sizeof word);
      out += 8;
      pos += 8;
    }
    if (pos == limit) return {pos, out};
    const auto b = static_cast<unsigned char>(in[pos]);
    if (b >= 0x80) return {pos, out};
    if (b == '\n') *out++ = '\r';
    *out++ = static_cast<char>(b);
    ++pos;
  }
}

std::size_t countAsciiWithCrLf(const char* in, std::size_t pos, std::size_t end,
                               std::uint64_t& bytes) {
  const std::size_t start = pos;
  std::uint64_t lfs = 0;
#ifdef __SSE2__
  // Sixteen bytes at a time, their LFs added up in a byte lane each (so at most 255
  // blocks in a stretch) without stopping at them.
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i zero = _mm_setzero_si128();
  while (pos + 16 <= end) {
    const std::size_t stretchEnd = std::min(end, pos + 255 * 16);
    __m128i counts = zero;
    unsigned high = 0;
    while (pos + 16 <= stretchEnd) {
      const __m128i block = load16(in + pos);
      high = maskOf(block);
      if (high != 0) {
        const unsigned ascii = asciiLead(high);
        lfs += bitCount(maskOf(block, '\n') & lowBits(ascii));
        pos += ascii;
        break;
      }
      counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(block, lf));
      pos += 16;
    }
    const __m128i sums = _mm_sad_epu8(counts, zero);  // two sums of eight lanes
    lfs += static_cast<unsigned>(_mm_cvtsi128_si32(sums) +
                                 _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
    if (high != 0) {
      bytes += pos - start + lfs;
      return pos;
    }
  }
#endif
  for (;;) {
    while (pos + 8 <= end) {
      const std::uint64_t word = loadWord(in + pos);
      if (((word & kHigh) | hasByte(word, '\n')) != 0) break;
      pos += 8;
    }
    if (pos == end) break;
    const auto b = static_cast<unsigned char>(in[pos]);
    if (b >= 0x80) break;
    if (b == '\n') ++lfs;
    ++pos;
  }
  bytes += pos - start + lfs;
  return pos;
}

}  // namespace vesk
