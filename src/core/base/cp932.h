#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace vesk {

// Conversion between code page 932 (the Windows mapping of Shift_JIS) and UTF-8, by
// one table on every platform (generated from glibc's CP932 converter), in time
// linear in the input.
//
// Bytes that do not decode survive a round trip: each such byte b is carried in
// UTF-8 as the private-use code point U+10FF00 + b and turned back into b when
// encoding. No character that code page 932 maps lies in that range. A lead byte
// whose pair does not decode is carried alone when the byte after it is ASCII (which
// stays a character) and together with it when that byte is 0x80-0xFC, so that the
// written bytes read back as the same text.
//
// Code page 932 gives some characters two codes (the NEC-selected IBM extensions
// 0xED40-0xEEFC repeat the IBM extensions 0xFA40-0xFC4B, and a few codes of rows 13
// and 0xFA repeat symbols of the JIS rows). Both decode to the same character, which
// encodes to one of them, as Windows does: such a code reads back as its twin.
//
// Encoding is strict: a character is written only when it reads back as itself, so
// approximations such as U+00A5 YEN SIGN to 0x5C or U+301C WAVE DASH to 0x8160 are
// refused, like WideCharToMultiByte with WC_NO_BEST_FIT_CHARS does; so are the tag
// characters U+E0000-U+E007F.

// First code point of the escape range for undecodable bytes.
inline constexpr char32_t kEscapedByteBase = 0x10FF00;

// Decodes code page 932 bytes into UTF-8. Never fails.
std::string decodeCp932(std::string_view bytes);

// Decodes code page 932 bytes read piece by piece: appends to `out` what decodeCp932
// gives for the pieces joined, holding back at most one byte (a lead byte, or with
// dropped CRs a CR, at the end of a piece) until the next piece or finish. With
// `dropCrBeforeLf`, a CR directly before an LF is left out in the same pass.
class Cp932PieceDecoder {
 public:
  explicit Cp932PieceDecoder(bool dropCrBeforeLf = false) : dropCr_(dropCrBeforeLf) {}
  void add(std::string_view bytes, std::string& out);
  // Decodes a byte still held back; call once after the last piece.
  void finish(std::string& out);

 private:
  bool dropCr_;
  std::optional<char> held_;
};

// Encodes UTF-8 text into code page 932, turning escaped bytes back into bytes.
// Fails on the first character that code page 932 cannot represent, without a
// best-fit replacement (UnencodableText with the character and up to 10 characters
// of the same line on either side of it as context), or on malformed UTF-8
// (MalformedText).
Result<std::string> encodeCp932(std::string_view utf8);

// encodeCp932 for a name the file system gave (a picture's), not a scene's text: there
// the escape range stands for no undecodable byte, so a name holding a code point of
// it is refused as unencodable too, rather than writing the byte it stands for (a
// quote among them).
Result<std::string> encodeCp932Name(std::string_view utf8);

// Appends the encoding of text[begin, end) to `out`; `begin` and `end` lie on
// character boundaries. Lets a long text be encoded piece by piece: the context of a
// failure is taken from the whole `text`, so it reads as for the whole text. On
// failure `out` holds an unspecified prefix.
Status appendCp932(std::string_view text, std::size_t begin, std::size_t end, std::string& out);

// appendCp932 that writes every LF as CR LF, in the same pass.
Status appendCp932WithCrLf(std::string_view text, std::size_t begin, std::size_t end,
                           std::string& out);

// The size of the whole text's encoding with every LF written as CR LF, or the
// failure appendCp932WithCrLf gives; writes nothing.
Result<std::uint64_t> cp932SizeWithCrLf(std::string_view utf8);

}  // namespace vesk
