#include <utility>

#include "base/path_terms.h"

#include <gtest/gtest.h>

#include <string>

namespace vesk {
namespace {

// The rules on both platforms; the rows that differ follow, for POSIX ("/" the only
// separator) and for Windows ("\\" and ":" end a file name as PathFindFileNameW's do,
// "\\" and a blank end an extension as PathFindExtensionW's do).
TEST(PathTerms, FileNameIsTheLastComponentWithATrailingSeparatorKept) {
  const std::pair<std::string, std::string> cases[] = {
      {"/s/scene.nuv", "scene.nuv"},
      {"scene.nuv", "scene.nuv"},
      {"/s/ct/", "ct/"},
      {"/s/ct//", "ct//"},
      {"/s//x", "x"},
      {"/", "/"},
      {"", ""},
      {"/s/a b.jpg", "a b.jpg"},
#ifdef _WIN32
      {"C:\\s\\a.jpg", "a.jpg"},
      {"/s/a:b", "b"},
#else
      {"C:\\s\\a.jpg", "C:\\s\\a.jpg"},
      {"/s/a:b", "a:b"},
#endif
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(fileNameOf(path), name) << path;
}

TEST(PathTerms, ExtensionRunsFromTheLastDotWhenNoSeparatorOrBlankFollows) {
  const std::pair<std::string, std::string> cases[] = {
      {"a.raw", ".raw"},         {"/s/vol.raw", ".raw"},   {"/s/a.tar.gz", ".gz"},
      {"/s/.hidden", ".hidden"}, {"/s/a.", "."},           {"/s/ct/", ""},
#ifdef _WIN32
      {"/s/set.2/", ".2/"},      {"/s.d/file", ".d/file"}, {"C:\\s\\set.2\\", ""},
      {"C:\\s.d\\file", ""},
#else
      {"/s/set.2/", ""},         {"/s.d/file", ""},
#endif
      {"/s/scan.1 old", ""},     {"/s/noext", ""},         {"", ""},
      {"/s/x.JPG", ".JPG"},
  };
  for (const auto& [path, extension] : cases) EXPECT_EQ(extensionOf(path), extension) << path;
}

TEST(PathTerms, FolderIsThePathUpToItsLastSeparator) {
  const std::pair<std::string, std::string> cases[] = {
      {"/s/a.raw", "/s/"}, {"/s/ct/", "/s/ct/"}, {"/s/ct/*", "/s/ct/"},
      {"a.raw", ""},       {"/a", "/"},          {"", ""},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(folderOf(path), folder) << path;
}

TEST(PathTerms, OnlyAsciiLettersAreLowered) {
  EXPECT_EQ(lowerAscii("Scene.NUV"), "scene.nuv");
  EXPECT_EQ(lowerAscii("ÄÉ表Ａ@[`{"), "ÄÉ表Ａ@[`{");
}

// Names a case-ignoring file system takes as one fold to one spelling; others stay apart.
TEST(PathTerms, NameCaseFoldsAsCaseIgnoringFileSystemsTakeIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"Scene.NUV", "scene.nuv"},
      {"ＣＴ画像Ａ.jpg", "ｃｔ画像ａ.jpg"},  // full-width Latin, kanji kept
      {"ΑΣΩ-ДЁЯ", "ασω-дёя"},                // Greek and Cyrillic, Ё outside А to Я
      {"ⅠⅫⅯ-ⒶⓏ", "ⅰⅻⅿ-ⓐⓩ"},                  // Roman numerals, circled letters
      {"ÀÖØÞ×ß", "àöøþ×ß"},                  // × is no letter, ß has no capital here
      {"@[`{ｱ\xFF", "@[`{ｱ\xFF"},            // neighbours of the runs, half-width kana, not UTF-8
  };
  for (const auto& [name, folded] : cases) {
    EXPECT_EQ(foldNameCase(name), folded) << name;
    EXPECT_EQ(foldNameCase(folded), folded) << folded;
  }
}

TEST(PathTerms, ImageExtensionsAreJpegPngAndBmpInAnyCase) {
  const std::pair<std::string, bool> cases[] = {
      {"/s/a.jpg", true},   {"/s/a.JPG", true},   {"/s/a.jpeg", true}, {"/s/a.Png", true},
      {"/s/a.bmp", true},   {"/s/a.gif", false},  {"/s/a.nuv", false}, {"/s/jpg", false},
      {"/s/a.jpg ", false}, {"/s/a.jpg/", false}, {"/s.jpg/a", false},
  };
  for (const auto& [path, image] : cases) EXPECT_EQ(hasImageExtension(path), image) << path;
}

}  // namespace
}  // namespace vesk
