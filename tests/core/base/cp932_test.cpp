#include "base/cp932.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "package/failure_text.h"

#if defined(__GLIBC__)
#include <iconv.h>
#endif

namespace vesk {
namespace {

std::string utf8Of(char32_t c) {
  std::string s;
  appendUtf8(s, c);
  return s;
}

// An encoding as the tests read it: the bytes, or the operator's message.
struct Cp932Encoding {
  bool ok = false;
  std::string bytes;
  std::string error;
};

Cp932Encoding encode(std::string_view utf8) {
  Result<std::string> encoded = encodeCp932(utf8);
  if (!encoded) return {false, {}, writeFailureText(encoded.failure())};
  return {true, std::move(*encoded), {}};
}

std::string escaped(unsigned char byte) {
  return utf8Of(0x10FF00 + byte);
}

std::string bytesOf(unsigned code) {
  std::string s;
  if (code > 0xFF) s += static_cast<char>(code >> 8);
  s += static_cast<char>(code & 0xFF);
  return s;
}

std::string hex(const std::string& bytes) {
  std::string out;
  char buffer[4];
  for (unsigned char b : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X ", b);
    out += buffer;
  }
  return out;
}

TEST(Cp932, MapsCodesTheWayWindowsDoesInBothDirections) {
  struct Case {
    unsigned code;
    char32_t character;
  };
  const Case cases[] = {
      {0x41, U'A'},     {0x5C, U'\\'},    {0x7E, U'~'},     {0x00, 0},        {0xA1, 0xFF61},
      {0xDF, 0xFF9F},   {0x815C, 0x2015}, {0x815F, 0xFF3C}, {0x8160, 0xFF5E}, {0x8161, 0x2225},
      {0x817C, 0xFF0D}, {0x8191, 0xFFE0}, {0x8192, 0xFFE1}, {0x81CA, 0xFFE2}, {0x82A0, 0x3042},
      {0x889F, 0x4E9C}, {0x8740, 0x2460}, {0x8754, 0x2160}, {0x878A, 0x3231}, {0xFA40, 0x2170},
      {0xFA5C, 0x7E8A}, {0xF040, 0xE000}, {0xF9FC, 0xE757}, {0xFC4B, 0x9ED1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(hex(bytesOf(c.code)));
    EXPECT_EQ(decodeCp932(bytesOf(c.code)), utf8Of(c.character));
    const Cp932Encoding encoded = encode(utf8Of(c.character));
    EXPECT_TRUE(encoded.ok) << encoded.error;
    EXPECT_EQ(hex(encoded.bytes), hex(bytesOf(c.code)));
  }
}

TEST(Cp932, DuplicateCodesReadBackAsTheirTwinThatWindowsWrites) {
  struct Case {
    unsigned code;
    unsigned written;
  };
  const Case cases[] = {
      {0xED40, 0xFA5C}, {0xEEEF, 0xFA40}, {0xEEF9, 0x81CA}, {0x8790, 0x81E0}, {0x879A, 0x81E6},
      {0xFA4A, 0x8754}, {0xFA54, 0x81CA}, {0xFA58, 0x878A}, {0xFA59, 0x8782}, {0xFA5B, 0x81E6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(hex(bytesOf(c.code)));
    const std::string text = decodeCp932(bytesOf(c.code));
    EXPECT_EQ(text, decodeCp932(bytesOf(c.written)));
    EXPECT_EQ(hex(encode(text).bytes), hex(bytesOf(c.written)));
  }
}

// The codes that another code of code page 932 repeats: the NEC-selected IBM
// extensions (rows 0xED and 0xEE), nine symbols of the NEC row 13 that the JIS rows
// hold, and fifteen IBM extensions that the NEC rows hold.
bool isDuplicateCode(unsigned code) {
  static const std::set<unsigned> kOthers = {0x8790, 0x8791, 0x8792, 0x8795, 0x8796, 0x8797,
                                             0x879A, 0x879B, 0x879C, 0xFA4A, 0xFA4B, 0xFA4C,
                                             0xFA4D, 0xFA4E, 0xFA4F, 0xFA50, 0xFA51, 0xFA52,
                                             0xFA53, 0xFA54, 0xFA58, 0xFA59, 0xFA5A, 0xFA5B};
  return (code >> 8) == 0xED || (code >> 8) == 0xEE || kOthers.count(code) != 0;
}

TEST(Cp932, EveryDoubleByteCodeRoundTripsExceptTheDuplicates) {
  int decodable = 0;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const unsigned code = lead << 8 | trail;
      const std::string text = decodeCp932(bytesOf(code));
      if (text.rfind(escaped(static_cast<unsigned char>(lead)), 0) == 0) continue;
      ++decodable;
      const Cp932Encoding encoded = encode(text);
      ASSERT_TRUE(encoded.ok) << hex(bytesOf(code)) << encoded.error;
      EXPECT_EQ(encoded.bytes == bytesOf(code), !isDuplicateCode(code)) << hex(bytesOf(code));
      EXPECT_EQ(decodeCp932(encoded.bytes), text) << hex(bytesOf(code));
    }
  }
  // JIS X 0208 (6879), NEC row 13 (83), NEC-selected IBM (374), IBM (388) and the
  // user-defined area (1880).
  EXPECT_EQ(decodable, 6879 + 83 + 374 + 388 + 1880);
}

TEST(Cp932, UndecodableBytesSurviveARoundTripUnchanged) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {"\x80", escaped(0x80)},
      {"\xA0", escaped(0xA0)},
      {"a\xFD\xFE\xFF", "a" + escaped(0xFD) + escaped(0xFE) + escaped(0xFF)},
      {"ab\x81", "ab" + escaped(0x81)},     // a lead byte at the end
      {"\x81\x20z", escaped(0x81) + " z"},  // an invalid trail byte
      {"\x85\x40", escaped(0x85) + "@"},    // an unassigned code
      {"\x82\xA0\x81\x7F\x82\xA0", "あ" + escaped(0x81) + "\x7F" + "あ"},
      {"\xFC\xFC\x81", escaped(0xFC) + escaped(0xFC) + escaped(0x81)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(hex(c.bytes));
    EXPECT_EQ(decodeCp932(c.bytes), c.text);
    const Cp932Encoding encoded = encode(c.text);
    EXPECT_TRUE(encoded.ok) << encoded.error;
    EXPECT_EQ(hex(encoded.bytes), hex(c.bytes));
  }
}

TEST(Cp932, RefusesACharacterWithoutAnExactCodeNamingItAndItsContext) {
  struct Case {
    std::string text;
    std::string message;
  };
  const std::string prefix = "エラー　Shift_JISで表せない文字があります: ";
  const Case cases[] = {
      {"caf\u00E9", prefix + "U+00E9「caf\u00E9」"},
      {"x\U0001F600y", prefix + "U+1F600「x\U0001F600y」"},
      {"\u00A5100", prefix + "U+00A5「\u00A5100」"},       // no yen sign for the backslash
      {"a\u301Cb", prefix + "U+301C「a\u301Cb」"},         // WAVE DASH is not 0x8160
      {"a\u2014b", prefix + "U+2014「a\u2014b」"},         // EM DASH is not 0x815C
      {"a\u2212b", prefix + "U+2212「a\u2212b」"},         // MINUS SIGN is not 0x817C
      {"t\U000E0041", prefix + "U+E0041「t\U000E0041」"},  // a tag character
      {"\u20AC", prefix + "U+20AC「\u20AC」"},
      // The first of several, and only ten characters of its own line on each side.
      {"line\n0123456789ABC\u00E9abcdefghijklm\u00FC\nnext",
       prefix + "U+00E9「3456789ABC\u00E9abcdefghij」"},
      {"あいうえおかきくけこさ\U0001F600", prefix + "U+1F600「いうえおかきくけこさ\U0001F600」"},
      {"ab\r\u00E9\r\ncd", prefix + "U+00E9「\u00E9」"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Cp932Encoding encoded = encode(c.text);
    EXPECT_FALSE(encoded.ok);
    EXPECT_EQ(encoded.error, c.message);
  }
}

TEST(Cp932, RefusesMalformedUtf8) {
  const std::string cases[] = {"a\xC3", "\xC3(", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                               "\xFF"};
  for (const std::string& text : cases) {
    const Cp932Encoding encoded = encode(text);
    EXPECT_FALSE(encoded.ok) << hex(text);
    EXPECT_EQ(encoded.error, "エラー　文字コードが正しくありません") << hex(text);
  }
}

TEST(Cp932, EncodesOnlyCharactersThatReadBackAsThemselves) {
  std::vector<char32_t> characters;
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c < 0xD800 || c > 0xDFFF) characters.push_back(c);
  }
  for (char32_t c = 0xE0000; c <= 0xE0080; ++c) characters.push_back(c);
  characters.push_back(0x10000);
  characters.push_back(0x10FEFF);
  for (char32_t c : characters) {
    const Cp932Encoding encoded = encode(utf8Of(c));
    if (encoded.ok) {
      ASSERT_EQ(decodeCp932(encoded.bytes), utf8Of(c)) << std::hex << static_cast<unsigned>(c);
    }
  }
}

TEST(Cp932, ABadLeadByteBeforeAByteThatCouldLeadIsCarriedWithIt) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      // 0xEEED is unassigned; 0xED40 alone would be written 0xFA5C and read back
      // after the 0xEE as 0xEEFA.
      {"\xEE\xED\x40", escaped(0xEE) + escaped(0xED) + "@"},
      {"\x85\x81\x40", escaped(0x85) + escaped(0x81) + "@"},
      {"\x81\xFD", escaped(0x81) + escaped(0xFD)},
      {"\xEE\xFD\x81\x40", escaped(0xEE) + escaped(0xFD) + "\u3000"},
      {"\x85path", escaped(0x85) + "path"},  // an ASCII byte stays a character
      {"\x85\xB1", escaped(0x85) + escaped(0xB1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(hex(c.bytes));
    EXPECT_EQ(decodeCp932(c.bytes), c.text);
    const Cp932Encoding encoded = encode(c.text);
    EXPECT_TRUE(encoded.ok) << encoded.error;
    EXPECT_EQ(hex(encoded.bytes), hex(c.bytes));
  }
}

// Decoding then encoding gives the bytes back but for duplicate codes, and the
// written bytes read as the same text: for every three bytes whose first is not
// ASCII, followed by a choice of third bytes.
TEST(Cp932, EveryShortSequenceReadsBackAsTheSameText) {
  const unsigned char thirds[] = {0x00, 0x40, 0x5C, 0x7E, 0x7F, 0x80, 0x81, 0x9F,
                                  0xA0, 0xB1, 0xE0, 0xEE, 0xFA, 0xFC, 0xFF};
  std::string bytes(3, '\0');
  for (unsigned first = 0x80; first <= 0xFF; ++first) {
    for (unsigned second = 0; second <= 0xFF; ++second) {
      for (unsigned char third : thirds) {
        bytes[0] = static_cast<char>(first);
        bytes[1] = static_cast<char>(second);
        bytes[2] = static_cast<char>(third);
        const std::string text = decodeCp932(bytes);
        const Cp932Encoding encoded = encode(text);
        ASSERT_TRUE(encoded.ok) << hex(bytes);
        ASSERT_EQ(decodeCp932(encoded.bytes), text) << hex(bytes);
        ASSERT_EQ(encoded.bytes.size(), bytes.size()) << hex(bytes);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
          if (encoded.bytes[i] == bytes[i]) continue;
          const auto code = [&](std::size_t at) {
            return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) << 8 |
                                         static_cast<unsigned char>(bytes[at + 1]));
          };
          const bool duplicate = (i + 1 < bytes.size() && isDuplicateCode(code(i))) ||
                                 (i > 0 && isDuplicateCode(code(i - 1)));
          ASSERT_TRUE(duplicate) << hex(bytes) << "-> " << hex(encoded.bytes);
        }
      }
    }
  }
}

// Long texts are converted in blocks: a pair, an escape or a line end on every
// block boundary reads and writes as in a short text, and the CR LF writer puts CR
// before every LF and nowhere else.
TEST(Cp932, LongTextsConvertTheSameAcrossBlockBoundaries) {
  struct Case {
    const char* what;
    std::string unit;         // bytes, repeated past several blocks
    std::string decodedUnit;  // its UTF-8
  };
  const std::vector<Case> cases = {
      {"pairs at odd offsets", "a\x8A\xBF", "a" + utf8Of(0x6F22)},
      {"escapes, four bytes out for each in", "\x80", escaped(0x80)},
      {"bad pairs, alone and carried whole", "\x81\x7F\x85\x9F",
       escaped(0x81) + "\x7F" + escaped(0x85) + escaped(0x9F)},
      {"line ends", "\n\xB1", "\n" + utf8Of(0xFF71)},
      {"ASCII lines, an LF every sixteen bytes", "\nabcdefghijklmno", "\nabcdefghijklmno"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes;
    std::string text;
    while (bytes.size() < 3 * 8192 + 7) {
      bytes += c.unit;
      text += c.decodedUnit;
    }
    ASSERT_EQ(decodeCp932(bytes), text);
    std::string written = "kept";
    ASSERT_TRUE(appendCp932(text, 0, text.size(), written));
    EXPECT_EQ(written, "kept" + bytes);
    std::string crlf;
    ASSERT_TRUE(appendCp932WithCrLf(text, 0, text.size(), crlf));
    std::string expected;
    for (const char b : bytes) expected += b == '\n' ? std::string("\r\n") : std::string(1, b);
    EXPECT_EQ(crlf, expected);
    EXPECT_EQ(cp932SizeWithCrLf(text).value_or(0), expected.size());
  }
}

// A digest of the whole mapping: what every single byte and every pair decode to
// and what every code point encodes to. The same value on every platform means the
// same results; the value is that of glibc's CP932 converter (see below).
TEST(Cp932, TheWholeMappingIsTheSameOnEveryPlatform) {
  std::uint64_t digest = 14695981039346656037u;
  const auto add = [&](const std::string& s) {
    for (unsigned char b : s) digest = (digest ^ b) * 1099511628211u;
    digest = (digest ^ 0x100) * 1099511628211u;
  };
  for (unsigned first = 0; first <= 0xFF; ++first) {
    add(decodeCp932(std::string(1, static_cast<char>(first))));
    for (unsigned second = 0; second <= 0xFF; ++second) {
      add(decodeCp932(std::string{static_cast<char>(first), static_cast<char>(second)}));
    }
  }
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const Cp932Encoding encoded = encode(utf8Of(c));
    add(encoded.ok ? encoded.bytes : "-");
  }
  EXPECT_EQ(digest, 752506013542118904u);
}

#if defined(__GLIBC__)
// The table was made from glibc's converter: every character it reads, and every
// character it writes so that it reads back, comes out the same here.
TEST(Cp932, AgreesWithGlibcForEveryCodeAndCodePoint) {
  const iconv_t decoder = iconv_open("UTF-8", "CP932");
  const iconv_t encoder = iconv_open("CP932", "UTF-8");
  ASSERT_NE(decoder, reinterpret_cast<iconv_t>(-1));
  ASSERT_NE(encoder, reinterpret_cast<iconv_t>(-1));
  const auto convert = [](iconv_t cd, const std::string& in) -> std::optional<std::string> {
    char out[16];
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      return std::nullopt;
    }
    return std::string(out, static_cast<std::size_t>(outPtr - out));
  };
  for (unsigned code = 0; code <= 0xFFFF; ++code) {
    const std::string bytes = bytesOf(code);
    const auto expected = convert(decoder, bytes);
    if (!expected || expected->empty() || (code > 0xFF && code < 0x8100)) continue;
    if (code <= 0xFF || decodeUtf8At(*expected, 0).length == expected->size()) {
      EXPECT_EQ(decodeCp932(bytes), *expected) << hex(bytes);
    }
  }
  for (char32_t c = 0; c < kEscapedByteBase; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const auto written = convert(encoder, utf8Of(c));
    const bool readsBack = written && !written->empty() && convert(decoder, *written) == utf8Of(c);
    const Cp932Encoding encoded = encode(utf8Of(c));
    ASSERT_EQ(encoded.ok, readsBack) << std::hex << static_cast<unsigned>(c);
    if (readsBack) {
      ASSERT_EQ(encoded.bytes, *written) << std::hex << static_cast<unsigned>(c);
    }
  }
  iconv_close(decoder);
  iconv_close(encoder);
}
#endif

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

// Bytes cut into pieces at every place, and at random places, decode as they do whole:
// pairs, bad pairs, lone lead bytes and escapes falling on the cut.
// Pieces cut everywhere, pairs and CR LF across the cuts: the whole's decoding, and
// with dropped CRs that decoding without each CR that stands before an LF.
TEST(Cp932PieceDecoder, DecodesPiecesAsTheWholeDecodes) {
  const std::string units[] = {"a",        "\x8A\xBF", "\x81\x7F", "\x85\x9F", "\x80",
                               "\x81",     "\xB1",     "\n",       "\x82\xA0", "\xFC",
                               "\x81\x81", "\xEF",     "\r",       "\r\n",     "\r\r"};
  const auto withoutCrBeforeLf = [](const std::string& text) {
    std::string kept;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') kept += text[i];
    }
    return kept;
  };
  std::mt19937 random(11);
  for (int round = 0; round < 4000; ++round) {
    const bool dropCr = round % 2 == 1;
    std::string bytes;
    const std::size_t count = random() % 12;
    for (std::size_t i = 0; i < count; ++i) bytes += units[random() % std::size(units)];
    const std::string whole = dropCr ? withoutCrBeforeLf(decodeCp932(bytes)) : decodeCp932(bytes);
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      std::string text = "kept";
      Cp932PieceDecoder decoder(dropCr);
      decoder.add(std::string_view(bytes).substr(0, cut), text);
      decoder.add(std::string_view(bytes).substr(cut), text);
      decoder.finish(text);
      ASSERT_EQ(text, "kept" + whole) << "cut at " << cut;
    }
    std::string text;
    Cp932PieceDecoder decoder(dropCr);
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t size = 1 + random() % 3;
      decoder.add(std::string_view(bytes).substr(at, size), text);
      at += size;
    }
    decoder.finish(text);
    ASSERT_EQ(text, whole);
  }
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

// Byte-at-a-time references for the line-end conversions; the mapping of each
// character is taken from decodeCp932 and encodeCp932 one character at a time.
std::string decodeDroppingCrBeforeLfByBytes(const std::string& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const bool next = i + 1 < bytes.size();
    if (b == '\r' && next && bytes[i + 1] == '\n') {
      ++i;
    } else if (b < 0x80) {
      text += bytes[i++];
    } else {
      // A lead byte takes the next byte with it when they decode as a pair or when
      // that byte is no ASCII (both are then escaped).
      const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
      std::size_t n = 1;
      if (lead && next &&
          (static_cast<unsigned char>(bytes[i + 1]) >= 0x80 ||
           decodeCp932(bytes.substr(i, 2)).rfind(escaped(b), 0) != 0)) {
        n = 2;
      }
      text += decodeCp932(bytes.substr(i, n));
      i += n;
    }
  }
  return text;
}

std::string encodeWithCrLfByBytes(const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = text[i] == '\n' ? 1 : decodeUtf8At(text, i).length;
    bytes += text[i] == '\n' ? std::string("\r\n") : encodeCp932(text.substr(i, n)).value();
    i += n;
  }
  return bytes;
}

// Random mostly-ASCII lines with CR LF, lone CRs and LFs, good and bad pairs and high
// single bytes, cut into random pieces: the piece decoder dropping CRs, the CR LF
// encoder (over ranges) and the encoded size agree with the references.
TEST(Cp932, LineEndConversionsMatchByteAtATimeReferences) {
  const std::string units[] = {
      "\r\n",     "\r",       "\n",   "\x82\xA0", "\x8A\xBF", "\x81\x40", "\x85\x40", "\x81\x7F",
      "\x85\x9F", "\xEE\xFD", "\xB1", "\x80",     "\xA0",     "\xFD",     "\x81",     "\r\r\n"};
  std::mt19937 random(932);
  const auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  for (int round = 0; round < 400; ++round) {
    const bool lineEnds = round % 4 != 0;
    std::string bytes;
    const std::size_t size = below(round % 2 == 0 ? 80 : 3000);
    while (bytes.size() < size) {
      if (below(3) != 0) {
        bytes.append(1 + below(round % 3 == 0 ? 120 : 40), static_cast<char>('a' + below(26)));
      } else {
        const std::string& unit = units[below(std::size(units))];
        if (lineEnds || unit.find_first_of("\r\n") == std::string::npos) bytes += unit;
      }
    }
    SCOPED_TRACE(hex(bytes));
    const std::string text = decodeDroppingCrBeforeLfByBytes(bytes);
    std::string decoded;
    Cp932PieceDecoder decoder(true);
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t n = 1 + below(below(2) == 0 ? 4 : 700);
      decoder.add(std::string_view(bytes).substr(at, n), decoded);
      at += n;
    }
    decoder.finish(decoded);
    ASSERT_EQ(hex(decoded), hex(text));

    const std::string expected = encodeWithCrLfByBytes(text);
    std::string encoded = "kept";
    for (std::size_t begin = 0; begin < text.size();) {
      std::size_t end = std::min(text.size(), begin + 1 + below(600));
      while (end < text.size() && isUtf8Continuation(text[end])) ++end;
      ASSERT_TRUE(appendCp932WithCrLf(text, begin, end, encoded));
      begin = end;
    }
    ASSERT_EQ(hex(encoded), hex("kept" + expected));
    ASSERT_EQ(cp932SizeWithCrLf(text).value_or(0), expected.size());
  }
}

}  // namespace
}  // namespace vesk
