#include "format/package_manifest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "format/copy_record.h"

namespace vesk {
namespace {

const std::string kA(64, 'a');
const std::string kB = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

// Each manifest as sha256sum writes it, typed by hand, and the lines it holds.
TEST(ManifestText, WritesAndReadsSha256sumsForm) {
  struct Case {
    std::vector<ManifestLine> lines;
    std::string text;
  };
  const Case cases[] = {
      {{}, ""},
      {{{"exhibition.nuv", kA}}, kA + "  exhibition.nuv\n"},
      // Sorted by the paths' bytes: "0" before "e", "/" before "_".
      {{{"exhibition.nuv", kA}, {"00/a_b", kB}, {"00/a/b", kA}},
       kA + "  00/a/b\n" + kB + "  00/a_b\n" + kA + "  exhibition.nuv\n"},
      // Non-ASCII names as their UTF-8 bytes.
      {{{"00/展示.nuv", kB}}, kB + "  00/展示.nuv\n"},
      // A backslash, line feed or carriage return: the escaped form.
      {{{"00/a\\b", kA}}, "\\" + kA + "  00/a\\\\b\n"},
      {{{"00/a\nb", kA}}, "\\" + kA + "  00/a\\nb\n"},
      {{{"00/a\rb", kB}}, "\\" + kB + "  00/a\\rb\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(manifestText(c.lines), c.text);
    const auto read = readManifestText(c.text);
    ASSERT_TRUE(read.has_value()) << c.text;
    std::vector<ManifestLine> sorted = c.lines;
    std::sort(sorted.begin(), sorted.end(),
              [](const ManifestLine& x, const ManifestLine& y) { return x.path < y.path; });
    EXPECT_EQ(*read, sorted) << c.text;
  }
}

TEST(ManifestText, ReadsBinaryModeUpperCaseCrLfAndAMissingLastLineFeed) {
  const auto read = readManifestText(kB + " *00/x\r\n" + std::string(64, 'F') + "  00/y\r\n" +
                                     "\\" + kA + "  00/a\\rb\r");
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, (std::vector<ManifestLine>{
                       {"00/x", kB}, {"00/y", std::string(64, 'f')}, {"00/a\rb", kA}}));
}

TEST(ManifestText, RefusesWhatIsNotAManifest) {
  const std::string cases[] = {
      kA + " 00/x\n",                              // one space only
      kA + "  \n",                                 // no path
      kA.substr(1) + "   00/x\n",                  // 63 digits
      std::string(63, 'a') + "g  00/x\n",          // not hexadecimal
      "\\" + kA + "  00/a\\qb\n",                  // an unknown escape
      "\\" + kA + "  00/a\\\n",                    // an escape cut off
      std::string("\xEF\xBB\xBF") + kA + "  x\n",  // a byte-order mark
      "NuvrelFile 1.35\r\n",                       // a document, not a manifest
  };
  for (const std::string& text : cases) EXPECT_FALSE(readManifestText(text).has_value()) << text;
}

// As sha256sum -c reads it: empty lines and comments passed over, "." components
// (sha256sum run on ./00/*) read away; a malformed line is named by its number.
TEST(ManifestText, PassesOverEmptyLinesAndNamesTheFirstMalformedOne) {
  struct Case {
    std::string text;
    std::vector<ManifestLine> lines;
    std::size_t malformedLine;
  };
  const Case cases[] = {
      {kA + "  00/x\n\n" + kB + "  ./01/y\r\n\r\n", {{"00/x", kA}, {"01/y", kB}}, 0},
      {"# made by hand\n" + kA + "  ././00/./ct//x\n", {{"00/ct/x", kA}}, 0},
      {kA + "  /00/x\n" + kA + "  ../00/x\n", {{"/00/x", kA}, {"../00/x", kA}}, 0},
      {kA + "  00/x\n\n" + kB + " 01/y\n" + "garbage\n", {}, 3},
      {kA + "  ./\n", {}, 1},
  };
  for (const Case& c : cases) {
    const ManifestReading reading = readManifest(c.text);
    EXPECT_EQ(reading.lines, c.lines) << c.text;
    EXPECT_EQ(reading.malformedLine, c.malformedLine) << c.text;
  }
}

// The copy record, typed by hand: a heading, then tab-separated fields per file.
TEST(CopyRecord, WritesAndReadsEveryFieldWithEscapedPaths) {
  const RecordedFile copied{"00/a\tb",
                            12,
                            -5,
                            kA,
                            "/src/x\\y\nz",
                            12,
                            1700000000123456789,
                            2049,
                            77,
                            1700000001000000000,
                            1700000002000000000};
  const RecordedFile document{"exhibition.nuv", 300, 0, kB, "", 0, 0, 0, 0, 0, kChangeUnknown};
  const std::string lines =
      "00/a\\tb\t12\t-5\t" + kA +
      "\t12\t1700000000123456789\t2049\t77\t1700000001000000000\t/src/x\\\\y\\nz"
      "\t1700000002000000000\n"
      "exhibition.nuv\t300\t0\t" +
      kB + "\t0\t0\t0\t0\t0\t\t-1\n";
  const std::string text = "vesk-copy-record 3\n" + lines;
  EXPECT_EQ(copyRecordText({document, copied}), text);
  std::optional<std::int64_t> time;
  const auto read = readCopyRecordText(text, &time);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, (std::vector<RecordedFile>{copied, document}));
  EXPECT_FALSE(time.has_value());

  // Written again once the package is in place, with the time it was first written.
  const std::string again = "vesk-copy-record 3\t1700000003000000000\n" + lines;
  EXPECT_EQ(copyRecordText({copied, document}, 1700000003000000000), again);
  ASSERT_TRUE(readCopyRecordText(again, &time).has_value());
  EXPECT_EQ(time, std::optional<std::int64_t>(1700000003000000000));

  // The form before the copies' status change times: read, none of them known.
  const auto earlier =
      readCopyRecordText("vesk-copy-record 2\nx\t1\t2\t" + kA + "\t1\t2\t3\t4\t5\t\n");
  ASSERT_TRUE(earlier.has_value());
  EXPECT_EQ(earlier->at(0).sourceChanged, 5);
  EXPECT_EQ(earlier->at(0).changed, kChangeUnknown);

  const std::string refused[] = {
      "",                      // no heading
      "vesk-copy-record 4\n",  // another version
      // The earliest form, without the source's status change time.
      "vesk-copy-record 1\nx\t1\t2\t" + kA + "\t1\t2\t3\t4\t\n",
      text.substr(0, text.size() - 1),                                    // the last line cut short
      "vesk-copy-record 3\nx\t1\t2\t" + kA + "\t1\t2\t3\t4\t5\t\n",       // a field missing
      "vesk-copy-record 3\nx\tone\t2\t" + kA + "\t1\t2\t3\t4\t5\t\t6\n",  // not a number
      "vesk-copy-record 3\tsoon\n",                                       // a time that is none
      "vesk-copy-record 2\t5\n",  // a time in the earlier form
  };
  for (const std::string& bad : refused) EXPECT_FALSE(readCopyRecordText(bad).has_value()) << bad;
}

}  // namespace
}  // namespace vesk
