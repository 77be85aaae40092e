#include "base/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/failure_text.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using Lines = std::vector<std::string>;

// Writes as writeTextFile does; on failure `error` gets the operator's message.
bool writeText(const std::string& path, std::string_view text, std::string& error) {
  const Status written = writeTextFile(path, text);
  if (!written) error = writeFailureText(written.failure());
  return written.ok();
}

std::string escaped(unsigned char byte) {
  // U+10FF00 + byte in UTF-8: F4 8F BC..BF xx.
  return std::string{'\xF4', '\x8F', static_cast<char>(0xBC | (byte >> 6)),
                     static_cast<char>(0x80 | (byte & 0x3F))};
}

std::string join(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(TextFile, ReadsLinesEndingAtLineFeedsWithTheirCarriageReturns) {
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"\n", {""}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"a\rb\r\n", {"a\rb"}},  // a lone CR stays in its line
      {"a\r", {"a\r"}},        // also at the end of the file
      {"a\r\r\n", {"a\r"}},    // only the CR directly before the LF is the line end
      {"\x82\xA0\x5C\r\n~\x81\x60", {"あ\\", "~～"}},
      {"<a x=\"\x95\x5C\">\r\n", {"<a x=\"表\">"}},  // a trail byte 0x5C is no backslash
      {"ok\x80\r\n\x81\r\n", {"ok" + escaped(0x80), escaped(0x81)}},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    dir.write("scene.nuv", c.bytes);
    const auto lines = readTextLines(dir.file("scene.nuv"));
    ASSERT_TRUE(lines.ok());
    EXPECT_EQ(*lines, c.lines);
  }
}

TEST(TextFile, ReadingFailsForAMissingFileOrAFolder) {
  test::TempDir dir;
  dir.makeFolder("folder");
  EXPECT_FALSE(readTextLines(dir.file("missing.nuv")).ok());
  EXPECT_FALSE(readTextLines(dir.file("folder")).ok());
}

TEST(TextFile, WritesCodePage932WithCrLfAndNoByteOrderMark) {
  struct Case {
    std::string text;
    std::string bytes;
  };
  const Case cases[] = {
      {"", ""},
      {"\n", "\r\n"},
      {"a\nb", "a\r\nb"},
      {"<?xml encoding=\"Shift_JIS\"?>\n", "<?xml encoding=\"Shift_JIS\"?>\r\n"},
      {"あ表\\~\n～①\n", "\x82\xA0\x95\x5C\x5C~\r\n\x81\x60\x87\x40\r\n"},
      {"a\rb\n", "a\rb\r\n"},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    std::string error;
    ASSERT_TRUE(writeText(dir.file("out.nuv"), c.text, error)) << error;
    EXPECT_EQ(dir.read("out.nuv"), c.bytes);
    EXPECT_EQ(dir.names(), Lines{"out.nuv"});
  }
}

TEST(TextFile, UndecodableBytesSurviveAReadAndAWriteUnchanged) {
  const std::string original =
      "<data name=\"\x80\xA0\xFD\">\r\n"
      "\x81\x20\x82\xA0\x85\x40\r\n"
      "\xFE\xFF ok\r\n"
      "end\x9F";  // a lead byte at the end of the file
  test::TempDir dir;
  dir.write("in.nuv", original);
  const auto lines = readTextLines(dir.file("in.nuv"));
  ASSERT_TRUE(lines.ok());
  ASSERT_EQ(lines->size(), 4u);

  std::string text = join(*lines);
  text.pop_back();  // the last line had no line end
  std::string error;
  ASSERT_TRUE(writeText(dir.file("out.nuv"), text, error)) << error;
  EXPECT_EQ(dir.read("out.nuv"), original);
}

TEST(TextFile, AnUnencodableCharacterLeavesTheExistingFileUntouched) {
  test::TempDir dir;
  dir.write("exhibition.nuv", "old content\r\n");
  std::string error;
  EXPECT_FALSE(writeText(dir.file("exhibition.nuv"), "<name>caf\u00E9</name>\n", error));
  EXPECT_EQ(error, "エラー　Shift_JISで表せない文字があります: U+00E9「<name>caf\u00E9</name>」");
  EXPECT_EQ(dir.read("exhibition.nuv"), "old content\r\n");
  EXPECT_EQ(dir.names(), Lines{"exhibition.nuv"});
}

TEST(TextFile, ALargeTextIsWrittenWholeAcrossItsPieces) {
  // 5 bytes per line in UTF-8, so piece boundaries fall inside characters too.
  std::string text;
  std::string bytes;
  for (int i = 0; i < 700000; ++i) {
    text += "あa\n";
    bytes +=
        "\x82\xA0"
        "a\r\n";
  }
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(writeText(dir.file("big.nuv"), text, error)) << error;
  EXPECT_TRUE(dir.read("big.nuv") == bytes);
}

TEST(TextFile, AFailureLateInALargeTextNamesTheCharacterWithItsWholeContext) {
  // The refused character follows the first piece boundary (1 MiB) directly.
  const std::string text = std::string((1 << 20) - 5, 'x') + "abcde\U0001F600fghij\n";
  test::TempDir dir;
  dir.write("big.nuv", "old");
  std::string error;
  EXPECT_FALSE(writeText(dir.file("big.nuv"), text, error));
  EXPECT_EQ(error,
            "エラー　Shift_JISで表せない文字があります: U+1F600「xxxxxabcde\U0001F600fghij」");
  EXPECT_EQ(dir.read("big.nuv"), "old");
  EXPECT_EQ(dir.names(), Lines{"big.nuv"});
}

}  // namespace
}  // namespace vesk
