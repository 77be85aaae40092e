#include "base/cp932.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "base/utf8.h"

namespace vesk {
namespace {

std::string utf8Of(char32_t c) {
  std::string s;
  appendUtf8(s, c);
  return s;
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
    const Cp932Encoding encoded = encodeCp932(utf8Of(c.character));
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
    EXPECT_EQ(hex(encodeCp932(text).bytes), hex(bytesOf(c.written)));
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
      const Cp932Encoding encoded = encodeCp932(text);
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
    const Cp932Encoding encoded = encodeCp932(c.text);
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
    const Cp932Encoding encoded = encodeCp932(c.text);
    EXPECT_FALSE(encoded.ok);
    EXPECT_EQ(encoded.error, c.message);
  }
}

TEST(Cp932, RefusesMalformedUtf8) {
  const std::string cases[] = {"a\xC3", "\xC3(", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                               "\xFF"};
  for (const std::string& text : cases) {
    const Cp932Encoding encoded = encodeCp932(text);
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
    const Cp932Encoding encoded = encodeCp932(utf8Of(c));
    if (encoded.ok) {
      ASSERT_EQ(decodeCp932(encoded.bytes), utf8Of(c)) << std::hex << static_cast<unsigned>(c);
    }
  }
}

}  // namespace
}  // namespace vesk
