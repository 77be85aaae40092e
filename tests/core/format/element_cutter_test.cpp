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
  for (std::string element = cutter.next(); !element.empty(); element = cutter.next()) {
    elements.push_back(element);
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

}  // namespace
}  // namespace vesk
