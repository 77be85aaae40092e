#include "format/text_ops.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vesk {
namespace {

TEST(FindFrom, FindsTheFirstOccurrenceAtOrAfterTheStart) {
  struct Case {
    std::string text, pattern;
    std::size_t start;
    std::optional<std::size_t> found;
  };
  for (const Case& c : {
           Case{"<data a</data><data b</data>", "<data", 0, 0},
           Case{"<data a</data><data b</data>", "<data", 1, 14},
           Case{"<data a</data>", "<data", 1, std::nullopt},
           Case{"<Data>", "<data", 0, std::nullopt},
           Case{"abc", "", 3, 3},
           Case{"abc", "c", 4, std::nullopt},
           Case{"心臓の<data>", "<data", 0, 9},
       }) {
    EXPECT_EQ(findFrom(c.text, c.pattern, c.start), c.found) << c.text << " / " << c.start;
  }
}

TEST(ReplaceAll, ReplacesNonOverlappingOccurrencesLeftToRightWithoutRescanning) {
  struct Case {
    std::string text, oldPattern, newText, result;
  };
  for (const Case& c : {
           Case{"aaa", "aa", "b", "ba"},
           Case{"name=\"a\" name=\"b\"", "name=\"", "name=\"03_", "name=\"03_a\" name=\"03_b\""},
           Case{"xx", "x", "xx", "xxxx"},
           Case{"abc", "", "z", "abc"},
           Case{"abc", "d", "z", "abc"},
           Case{"<e/>1<e/>2<e/>", "<e/>", "", "12"},
       }) {
    std::string text = c.text;
    replaceAll(text, c.oldPattern, c.newText);
    EXPECT_EQ(text, c.result) << c.text;
  }
}

TEST(ReplaceAll, RemovesEveryCopyOfALongElement) {
  const std::string element = "<data name=\"vol\" ><file type=\"raw\" path=\"vol.raw\" /></data>";
  std::string text = "head" + element + "mid" + element + element + "tail" + element.substr(1);
  replaceAll(text, element, "");
  EXPECT_EQ(text, "headmidtail" + element.substr(1));
}

TEST(CutElement, CutsFromTheOpeningMarkerThroughTheFirstClosingMarkerAfterIt) {
  struct Case {
    std::string text, open, close, result;
  };
  for (const Case& c : {
           Case{"x<data a></data>y</data>", "<data", "</data>", "<data a></data>"},
           Case{"</data><data a>", "<data", "</data>", ""},
           Case{"no element", "<data", "</data>", ""},
           Case{"<dataSet>x</data>", "<data", "</data>", "<dataSet>x</data>"},
           Case{"<drawGroup name=\"a\" >", "<drawGroup", ">", "<drawGroup name=\"a\" >"},
           // The closing search starts behind the whole opening marker.
           Case{"<ab", "<a", "a", ""},
       }) {
    EXPECT_EQ(cutElement(c.text, c.open, c.close), c.result) << c.text;
  }
}

TEST(AttributeValue, TakesTheTextBetweenThePatternAndTheNextQuote) {
  struct Case {
    std::string text, result;
  };
  for (const Case& c : {
           Case{"<file type=\"raw\" path=\"vol.raw\" />", "vol.raw"},
           Case{"<file path=\"m\\mesh.obj\" path=\"second\" />", "m\\mesh.obj"},
           Case{"<file path = \"spaced\" />", ""},
           Case{"<file path=\"unclosed />", ""},
           Case{"<file type=\"raw\" />", ""},
           Case{"<file path=\"\" />", ""},
       }) {
    EXPECT_EQ(attributeValue(c.text, "path=\""), c.result) << c.text;
  }
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

// One pass gives what one replaceAll per attribute opener gives.
TEST(InsertAfterEach, GivesWhatAReplaceAllPerOpenerGives) {
  const std::vector<std::string_view> openers = {"friendGroup=\"", "index_data=\"",
                                                 "drawGroup name=\""};
  const std::vector<std::string> texts = {
      "",
      "no opener",
      "<drawGroup name=\"g\" friendGroup=\"f\" ><p index_data=\"i\" index_data=\"j\" />",
      "friendGroup=\"friendGroup=\"index_data=\"",
      "drawGroup name=\"drawGroup name=\"x\"",
      "index_data=\"\xE6\xBC\xA2\" trailing friendGroup=\"",
  };
  for (const auto& text : texts) {
    std::string sequential = text;
    for (const auto opener : openers) {
      replaceAll(sequential, opener, std::string(opener) + "07_");
    }
    std::string once = text;
    insertAfterEach(once, openers, "07_");
    EXPECT_EQ(once, sequential) << text;
  }
}

}  // namespace
}  // namespace vesk
