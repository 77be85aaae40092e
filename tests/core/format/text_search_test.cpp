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

TEST(PatternFinder, AnEmptyPatternStandsAtTheStartWithinTheText) {
  const PatternFinder finder("");
  EXPECT_EQ(finder.find("abc", 2), 2u);
  EXPECT_EQ(finder.find("abc", 3), 3u);
  EXPECT_EQ(finder.find("abc", 4), std::string_view::npos);
}

}  // namespace
}  // namespace vesk
