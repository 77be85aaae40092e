#include "format/text_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vesk {
namespace {

// Every search from every start against the library's plain search, for patterns
// whose rarest byte stands first, in the middle and last, short and long ones, over
// random texts made of the patterns' own bytes so that near-misses abound.
TEST(PatternFinder, FindsWhatAPlainSearchFinds) {
  const std::vector<std::string> patterns = {
      "<",
      "<data",
      "</data>",
      "<drawGroup",
      "friendGroup=\"",
      "coordinate_data=\"",
      "drawGroup name=\"",
      "aaaa",
      "abab_abab",
      "<data<data<data<data<data<data<data<data",  // long and periodic
      "caption=\"ボリュームレンダリング\" ",
  };
  std::mt19937 random(3);
  for (const std::string& pattern : patterns) {
    const PatternFinder finder(pattern);
    for (int round = 0; round < 200; ++round) {
      std::string text;
      const std::size_t size = random() % 120;
      while (text.size() < size) {
        if (random() % 4 == 0) {
          text += pattern.substr(0, 1 + random() % pattern.size());
        } else {
          text += pattern[random() % pattern.size()];
        }
      }
      for (std::size_t from = 0; from <= text.size() + 1; ++from) {
        ASSERT_EQ(finder.find(text, from), std::string_view(text).find(pattern, from))
            << "pattern " << pattern << " in " << text << " from " << from;
      }
    }
  }
}

// Every occurrence of both patterns of a pair, from one scan when they look for the
// same byte ("<" of "<data" and "</data>"; "G" of "<drawGroup" and "</drawGroup>")
// and from two when not.
TEST(PatternFinder, FindsEveryOccurrenceOfTwoPatterns) {
  const std::pair<std::string, std::string> pairs[] = {
      {"<data", "</data>"},
      {"<drawGroup", "</drawGroup>"},
      {"<data", "<drawGroup"},
      {"aa", "a"},
      {"<data<data<data<data<data<data<data<data", "</data>"},
  };
  std::mt19937 random(9);
  for (const auto& [first, second] : pairs) {
    const std::string bytes = first + second;
    for (int round = 0; round < 300; ++round) {
      std::string text;
      const std::size_t size = random() % 100;
      while (text.size() < size) {
        const std::string& source = random() % 2 == 0 ? first : second;
        if (random() % 3 == 0) {
          text += source.substr(0, 1 + random() % source.size());
        } else {
          text += bytes[random() % bytes.size()];
        }
      }
      std::vector<std::size_t> expectedFirst;
      std::vector<std::size_t> expectedSecond;
      for (auto at = text.find(first); at != std::string::npos; at = text.find(first, at + 1)) {
        expectedFirst.push_back(at);
      }
      for (auto at = text.find(second); at != std::string::npos; at = text.find(second, at + 1)) {
        expectedSecond.push_back(at);
      }
      std::vector<std::size_t> foundFirst{99};
      std::vector<std::size_t> foundSecond{99};
      const PatternFinder firstFinder(first);
      const PatternFinder secondFinder(second);
      PatternFinder::findEvery(text, {{firstFinder, foundFirst}, {secondFinder, foundSecond}});
      ASSERT_EQ(foundFirst, expectedFirst) << text;
      ASSERT_EQ(foundSecond, expectedSecond) << text;
    }
  }
}

// The first occurrence of any of a set of patterns, from ever later places, against
// plain searches: patterns that share their scanned byte at other offsets, that begin
// or end one another, with other rarest bytes, a long one and an empty one.
TEST(PatternSetScan, FindsTheFirstOccurrenceAsPlainSearchesDo) {
  const std::vector<std::vector<std::string_view>> sets = {
      {"friendGroup=\"", "coordinate_data=\"", "index_data=\"", "volume_data=\"", "clipCap_data=\"",
       "drawGroup name=\""},
      {"a_b", "_b", "a_", "x_a_b", "_"},
      {"ab", "abc", "b", "", "bc"},
      {"<data<data<data<data<data<data<data<data", "<data", "Gd"},
  };
  std::mt19937 random(11);
  for (const auto& patterns : sets) {
    std::string bytes;
    for (const auto pattern : patterns) bytes += pattern;
    for (int round = 0; round < 300; ++round) {
      std::string text;
      const std::size_t size = random() % 150;
      while (text.size() < size) {
        const std::string_view source = patterns[random() % patterns.size()];
        if (random() % 3 == 0 && !source.empty()) {
          text += source.substr(random() % source.size());
        } else {
          text += bytes[random() % bytes.size()];
        }
      }
      const PatternSet set(patterns);
      PatternSetScan scan(set, text);
      for (std::size_t from = 0; from <= text.size(); from += random() % 4) {
        PatternSetScan::Found expected;
        for (std::size_t i = 0; i < patterns.size(); ++i) {
          const std::size_t at = patterns[i].empty()
                                     ? std::string::npos
                                     : std::string_view(text).find(patterns[i], from);
          if (at < expected.at) expected = {at, i};
        }
        const PatternSetScan::Found found = scan.next(from);
        ASSERT_EQ(found.at, expected.at) << text << " from " << from;
        if (found.at != std::string::npos) {
          ASSERT_EQ(found.pattern, expected.pattern) << text;
        }
      }
    }
  }
}

TEST(PatternFinder, AnEmptyPatternStandsAtTheStartWithinTheText) {
  const PatternFinder finder("");
  EXPECT_EQ(finder.find("abc", 2), 2u);
  EXPECT_EQ(finder.find("abc", 3), 3u);
  EXPECT_EQ(finder.find("abc", 4), std::string_view::npos);
}

}  // namespace
}  // namespace vesk
