#include <gtest/gtest.h>

#include <string>

#include "base/utf8.h"

#ifdef _WIN32
#include <windows.h>

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "support/temp_dir.h"
#endif

namespace vesk {
namespace {

// The one conversion between the core's UTF-8 and the UTF-16 of the wide Windows API:
// every UTF-16 text, an unpaired surrogate's too, comes back as it went.
TEST(WideText, EveryUtf16TextSurvivesTheRoundTripAndBrokenBytesBecomeReplacementCharacters) {
  struct Case {
    std::string utf8;
    std::u16string wide;
    bool fromWide;  // utf8Of(wide) gives utf8 back
  };
  const Case cases[] = {
      {"", u"", true},
      {"C:\\展示\\心臓.nuv", u"C:\\\u5C55\u793A\\\u5FC3\u81D3.nuv", true},
      {"\xF0\x9F\x98\x80", u"\xD83D\xDE00", true},  // beyond U+FFFF: a surrogate pair
      // Unpaired surrogates, alone, at either end and side by side in the wrong order.
      {"a\xED\xA0\x80", u"a\xD800", true},
      {"\xED\xBF\xBF"
       "b",
       u"\xDFFF"
       u"b",
       true},
      {"\xED\xB0\x80\xED\xA0\x80", u"\xDC00\xD800", true},
      {"a\xFF"
       "b",
       u"a\xFFFD"
       u"b",
       false},
      {"\x82\xA0", u"\xFFFD\xFFFD", false},  // Shift_JIS bytes are not UTF-8
      {"\xED\x9F\xBF", u"\xD7FF", true},     // the last value before the surrogates
      {"\xED\xA0", u"\xFFFD\xFFFD", false},  // a surrogate's bytes cut short
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(utf16Of(c.utf8) == c.wide) << c.utf8;
    if (c.fromWide) {
      EXPECT_EQ(utf8Of(c.wide), c.utf8);
    }
  }
}

#ifdef _WIN32
// A file whose name no UTF-8 can hold is listed by a name that opens it, and a folder
// holding it is removed whole.
TEST(WideText, AFileNamedWithAnUnpairedSurrogateIsFoundByItsListedName) {
  test::TempDir dir;
  dir.makeFolder("f");
  const std::wstring name = widen(dir.file("f")) + L"\\a\xD800.raw";
  const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) GTEST_SKIP() << "this file system refuses the name";
  DWORD written = 0;
  WriteFile(file, "bytes", 5, &written, nullptr);
  CloseHandle(file);

  const auto entries = listFolder(dir.file("f"));
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 1u);
  const auto read = readFile(dir.file("f") + "\\" + entries->front().name);
  ASSERT_TRUE(read) << read.failure().path;
  EXPECT_EQ(*read, "bytes");
  EXPECT_TRUE(removeTree(dir.file("f")));
  EXPECT_FALSE(pathExists(dir.file("f")));
}
#endif

}  // namespace
}  // namespace vesk
