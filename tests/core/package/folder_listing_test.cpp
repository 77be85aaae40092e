#include "package/folder_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using Paths = std::vector<std::string>;

TEST(Utf16Less, ComparesByUtf16CodeUnits) {
  struct Case {
    std::string a;
    std::string b;
    bool less;
  };
  const Case cases[] = {
      {"B.jpg", "a.jpg", true},  // upper case first
      {"a.jpg", "B.jpg", false},
      {"a", "ab", true},  // a proper prefix first
      {"ab", "a", false},
      {"a", "a", false},
      {"", "a", true},
      {"/s/a", "/s/b", true},
      {"é", "z", false},
      // Beyond U+FFFF UTF-16 and UTF-8 disagree: U+1F600 is D83D DE00, below U+FF5E.
      {"\U0001F600", "\uFF5E", true},
      {"\uFF5E", "\U0001F600", false},
      {"\uE000", "\U00010000", false},
      {"\uD7FF", "\U00010000", true},
      {"x\U0001F600", "x\U0001F601", true},
      {"\U0001F600a", "\U0001F600", false},
      {"\U0010FF80", "\uFFFD", true},  // an escaped byte is a surrogate pair too
      // A stray byte counts as its own value; the bytes decide a tie of units.
      {"\x80", "\x81", true},
      {"\x80", "\xC2\x80", true},
      {"\xC2\x80", "\x80", false},
      {"\xFF", "\u0100", true},
  };
  for (const Case& c : cases) EXPECT_EQ(utf16Less(c.a, c.b), c.less) << c.a << " < " << c.b;
}

TEST(Utf16Less, SortsAListAsWindowsOrdersIt) {
  Paths paths = {"/p/～.txt", "/p/a.jpg", "/p/\U0001F600.txt", "/p/B.jpg", "/p/..",
                 "/p/sub",    "/p/.",     "/p/a.jpg.bak"};
  std::sort(paths.begin(), paths.end(),
            [](const auto& a, const auto& b) { return utf16Less(a, b); });
  EXPECT_EQ(paths, (Paths{"/p/.", "/p/..", "/p/B.jpg", "/p/a.jpg", "/p/a.jpg.bak", "/p/sub",
                          "/p/\U0001F600.txt", "/p/～.txt"}));
}

TEST(ListFolderFiles, ListsEveryEntryOfTheFolderSortedByUtf16) {
  test::TempDir dir;
  for (const char* name : {"～.txt", "a.jpg", "\U0001F600.txt", "B.jpg"}) {
    dir.write(std::string("ct/") + name, name);
  }
  dir.makeFolder("ct/sub");
  const std::string ct = dir.file("ct/");
  Paths files;
  ASSERT_TRUE(listFolderFiles(ct + "*", files));
  EXPECT_EQ(files, (Paths{ct + ".", ct + "..", ct + "B.jpg", ct + "a.jpg", ct + "sub",
                          ct + "\U0001F600.txt", ct + "～.txt"}));
}

TEST(ListFolderFiles, AppendsToTheListAndSortsItWhole) {
  test::TempDir dir;
  dir.write("00/scene.nuv", "");
  const std::string folder = dir.file("00/");
  Paths files = {folder + "zz", folder + "a"};
  ASSERT_TRUE(listFolderFiles(folder + "*.nuv", files));
  EXPECT_EQ(files, (Paths{folder + "a", folder + "scene.nuv", folder + "zz"}));
}

TEST(ListFolderFiles, APatternThatMatchesNothingLeavesTheListAsItIs) {
  test::TempDir dir;
  Paths files = {"b", "a"};
  EXPECT_TRUE(listFolderFiles(dir.file("*.none"), files));
  EXPECT_EQ(files, (Paths{"b", "a"}));
}

// A folder that cannot be read is never taken for one that holds nothing.
TEST(ListFolderFiles, AFolderThatCannotBeReadIsAFailureNamingItAndLeavesTheList) {
  test::TempDir dir;
  dir.write("file.txt", "x");
  struct Case {
    std::string pattern;
    std::string folder;  // the failure's path
  };
  const Case cases[] = {
      {dir.file("missing/*"), dir.file("missing/")},
      {dir.file("file.txt/*"), dir.file("file.txt/")},
  };
  for (const Case& c : cases) {
    Paths files = {"b", "a"};
    const Status listed = listFolderFiles(c.pattern, files);
    ASSERT_FALSE(listed) << c.pattern;
    EXPECT_EQ(listed.failure().path, c.folder);
    EXPECT_NE(listed.failure().systemError, 0) << c.pattern;
    EXPECT_EQ(files, (Paths{"b", "a"}));
  }
}

// Past the classic limit of Windows the listing is of that folder, never of another.
TEST(ListFolderFiles, ListsAFolderOfThreeHundredCharacters) {
  test::TempDir dir;
  std::string folder = dir.path();
  for (char c = 'a'; folder.size() < 300; ++c) {
    folder += test::nativePath("/") + std::string(60, c);
    ASSERT_TRUE(createDirectory(folder));
  }
  const std::string source = dir.write("one.txt", "1");
  ASSERT_TRUE(copyFile(source, folder + test::nativePath("/one.txt")));
  Paths files;
  ASSERT_TRUE(listFolderFiles(folder + test::nativePath("/*.txt"), files));
  EXPECT_EQ(files, (Paths{folder + test::nativePath("/one.txt")}));
  EXPECT_TRUE(removeTree(dir.path() + test::nativePath("/") + std::string(60, 'a')));
}

}  // namespace
}  // namespace vesk
