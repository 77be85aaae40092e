#pragma once

#include <cstddef>
#include <cstdint>

namespace vesk {

// Runs of ASCII bytes (below 0x80) in a byte array, found, copied or counted sixteen
// bytes at a time where SSE2 is there and a word at a time elsewhere, with the line
// end changes of code page 932 text made in the same pass. Each stops at the first
// byte from 0x80 on, where a caller's character decoding takes over.

// The end of the run of ASCII bytes of in[pos, end).
std::size_t asciiRunEnd(const char* in, std::size_t pos, std::size_t end);

// Where a copy of ASCII bytes stopped reading and writing.
struct AsciiCopy {
  std::size_t pos;  // the first byte not copied
  char* put;        // just past the last byte written
};

// Copies the run of ASCII bytes of in[pos, limit) to `out`, leaving out each CR
// directly followed by an LF. Stops at limit, at a byte from 0x80 on, or at a CR that
// is the last byte of in[0, size), whose next byte is not known. Reads up to
// in[size); `limit` <= `size`. May write up to 16 bytes past the bytes it copies.
AsciiCopy copyAsciiDroppingCrBeforeLf(const char* in, std::size_t pos, std::size_t limit,
                                      std::size_t size, char* out);

// Copies the run of ASCII bytes of in[pos, limit) to `out` with each LF written as
// CR LF. Stops at limit or at a byte from 0x80 on. Reads up to in[size); `limit` <=
// `size`. May write up to 16 bytes past the bytes it copies (at most twice as many as
// it reads).
AsciiCopy copyAsciiWithCrLf(const char* in, std::size_t pos, std::size_t limit, std::size_t size,
                            char* out);

// Adds to `bytes` the size of the run of ASCII bytes of in[pos, end) with each LF
// counted as CR LF; returns the end of the run.
std::size_t countAsciiWithCrLf(const char* in, std::size_t pos, std::size_t end,
                               std::uint64_t& bytes);

}  // namespace vesk
