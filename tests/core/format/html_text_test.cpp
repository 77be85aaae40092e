#include "format/html_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vesk {
namespace {

TEST(HtmlText, EscapesTheFiveMarkupCharactersAndKeepsEverythingElse) {
  const struct {
    std::string text;
    std::string escaped;
  } cases[] = {
      {"", ""},
      {"plain.nuv", "plain.nuv"},
      {"a&b<c>d\"e'f", "a&amp;b&lt;c&gt;d&quot;e&#39;f"},
      {"&amp;", "&amp;amp;"},
      {"<script>", "&lt;script&gt;"},
      {"心臓 & 肺.nuv", "心臓 &amp; 肺.nuv"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(escapeHtml(c.text), c.escaped) << c.text;
}

TEST(HtmlText, Base64GivesTheRfc4648TestVectors) {
  const struct {
    std::string bytes;
    std::string encoded;
  } cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xff\xfe\x00\x80", 4), "//4AgA=="},
      {std::string("\xfb\xff", 2), "+/8="},
  };
  for (const auto& c : cases) EXPECT_EQ(base64(c.bytes), c.encoded) << c.encoded;
}

TEST(HtmlText, UrlPathsEncodeEveryReservedByteAndTurnBackslashesIntoSlashes) {
  EXPECT_EQ(urlPath("00\\cover.jpg"), "00/cover.jpg");
  EXPECT_EQ(urlPath("pkg/00/a b#1?.png"), "pkg/00/a%20b%231%3F.png");
  EXPECT_EQ(urlPath("00\\100%&'\".jpg"), "00/100%25%26%27%22.jpg");
  EXPECT_EQ(urlPath("00\\表紙.jpg"), "00/%E8%A1%A8%E7%B4%99.jpg");
  EXPECT_EQ(urlPath("A-Z_a.z~0"), "A-Z_a.z~0");
}

}  // namespace
}  // namespace vesk
