#include "format/element_cutter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "format/text_ops.h"

namespace vesk {
namespace {

// The cut-and-remove loop as written out: every time from the start of the text.
std::vector<std::string> takeByRescanning(std::string& text, const std::string& open,
                                          const std::string& close) {
  std::vector<std::string> elements;
  for (;;) {
    std::string element = cutElement(text, open, close);
    if (element.empty()) return elements;
    replaceAll(text, element, "");
    elements.push_back(element);
  }
}

std::vector<std::string> takeWithCutter(std::string& text, const std::string& open,
                                        const std::string& close) {
  std::vector<std::string> elements;
  ElementCutter cutter(text, open, close);
  std::string spare;
  for (std::string_view element = cutter.next(spare); !element.empty();
       element = cutter.next(spare)) {
    elements.emplace_back(element);
    // An element said to hold no other opening marker holds none.
    if (!cutter.lastHeldAnotherOpening()) {
      EXPECT_EQ(element.find(open, 1), std::string_view::npos) << element;
    }
  }
  return elements;
}

TEST(ElementCutter, CopiesAreRemovedAndJoinsFormNewElements) {
  struct Case {
    std::string text;
    std::vector<std::string> elements;
    std::string rest;
  };
  for (const Case& c : {
           Case{"<da<data a</data>ta b</data>", {"<data a</data>", "<data b</data>"}, ""},
           Case{"x<data a</data>y<data a</data>z<data b</data>",
                {"<data a</data>", "<data b</data>"},
                "xyz"},
           Case{"<data a</data><da<data a</data>ta c</data>",
                {"<data a</data>", "<data c</data>"},
                ""},
           Case{"<data <data a</data></data>", {"<data <data a</data>"}, "</data>"},
           // A periodic run of markers on both sides of the one closing marker.
           Case{"<data<data<data</data><data<data<data",
                {"<data<data<data</data>"},
                "<data<data<data"},
           Case{"<data</data><data</data>x<data</data><data", {"<data</data>"}, "x<data"},
       }) {
    std::string text = c.text;
    EXPECT_EQ(takeWithCutter(text, "<data", "</data>"), c.elements) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

// Random texts built from marker pieces, so that copies, nesting and markers joined
// across removed text all occur, give what cutting from the start each time gives.
TEST(ElementCutter, AgreesWithCuttingFromTheStartEachTime) {
  const std::vector<std::string> pieces{
      "<data a</data>", "<data", "</data>", "<da", "ta", "a", "b", "<", "/data>", "</da", ">", " "};
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 14);
    for (int i = 0; i < length; ++i) text += pieces[random() % pieces.size()];
    std::string expectedRest = text;
    std::string rest = text;
    const auto expected = takeByRescanning(expectedRest, "<data", "</data>");
    ASSERT_EQ(takeWithCutter(rest, "<data", "</data>"), expected) << text;
    ASSERT_EQ(rest, expectedRest) << text;
  }
}

// The same on longer texts, for the scene markers and for markers that overlap
// themselves, where copies, joins and periodic runs meet.
TEST(ElementCutter, AgreesWithCuttingFromTheStartForEveryKindOfMarker) {
  struct Markers {
    std::string open;
    std::string close;
    std::vector<std::string> pieces;
  };
  const Markers markers[] = {
      {"<drawGroup",
       "</drawGroup>",
       {"<drawGroup a</drawGroup>", "<drawGroup", "</drawGroup>", "<draw", "Group", "x", "<",
        "</draw", ">"}},
      {"aa", "ab", {"a", "b", "aa", "ab", "aab", "c"}},
      {"aba", "bab", {"a", "b", "ab", "ba", "aba", "bab"}},
  };
  std::mt19937 random(11);
  for (const Markers& m : markers) {
    for (int round = 0; round < 5000; ++round) {
      std::string text;
      const int length = static_cast<int>(random() % 40);
      for (int i = 0; i < length; ++i) text += m.pieces[random() % m.pieces.size()];
      std::string expectedRest = text;
      std::string rest = text;
      const auto expected = takeByRescanning(expectedRest, m.open, m.close);
      ASSERT_EQ(takeWithCutter(rest, m.open, m.close), expected) << text;
      ASSERT_EQ(rest, expectedRest) << text;
    }
  }
}

// replaceAll against replacing by hand, with patterns that overlap themselves and
// are long enough for the linear search.
TEST(TextOps, ReplaceAllAgreesWithReplacingByHand) {
  const auto byHand = [](std::string text, const std::string& pattern, const std::string& with) {
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
      if (text.compare(at, pattern.size(), pattern) == 0) {
        result += with;
        at += pattern.size();
      } else {
        result += text[at++];
      }
    }
    return result;
  };
  std::mt19937 random(5);
  for (int round = 0; round < 20000; ++round) {
    std::string pattern;
    const int patternLength = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < patternLength; ++i) pattern += "ab<"[random() % (round % 2 ? 2 : 3)];
    // The text from the pattern, its prefixes and single letters.
    std::string text;
    const int pieces = static_cast<int>(random() % 20);
    for (int i = 0; i < pieces; ++i) {
      const unsigned kind = random() % 3;
      if (kind == 0) text += pattern;
      if (kind == 1) text += pattern.substr(0, random() % pattern.size());
      if (kind == 2) text += "ab<"[random() % 3];
    }
    const std::string with = round % 3 ? "" : "<x>";
    std::string replaced = text;
    replaceAll(replaced, pattern, with);
    ASSERT_EQ(replaced, byHand(text, pattern, with)) << text << " / " << pattern;
    const auto at = findFrom(text, pattern, 0);
    ASSERT_EQ(at.value_or(std::string::npos), text.find(pattern)) << text << " / " << pattern;
  }
}

}  // namespace
}  // namespace vesk
