#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace vesk {
namespace {

#ifdef _WIN32
// The one conversion between the core's UTF-8 and the wide Windows API.
TEST(WideText, UnicodeTextSurvivesTheRoundTripAndBrokenBytesBecomeReplacementCharacters) {
  struct Case {
    std::string utf8;
    std::wstring wide;
    bool roundTrip;
  };
  const Case cases[] = {
      {"", L"", true},
      {"C:\\展示\\心臓.nuv", L"C:\\\u5C55\u793A\\\u5FC3\u81D3.nuv", true},
      {"\xF0\x9F\x98\x80", L"\xD83D\xDE00", true},  // beyond U+FFFF: a surrogate pair
      {"a\xFF"
       "b",
       L"a\xFFFD"
       L"b",
       false},
      {"\x82\xA0", L"\xFFFD\xFFFD", false},  // Shift_JIS bytes are not UTF-8
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(widen(c.utf8) == c.wide) << c.utf8;
    if (c.roundTrip) {
      EXPECT_EQ(narrow(c.wide), c.utf8);
    }
  }
  EXPECT_EQ(narrow(std::wstring(1, L'\xD800')), "\xEF\xBF\xBD");  // an unpaired surrogate
}
#endif

}  // namespace
}  // namespace vesk
