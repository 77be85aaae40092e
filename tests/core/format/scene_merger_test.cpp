#include "format/scene_merger.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "core/format/reference_scene_merge.h"
#include "format/document_outline.h"
#include "format/merged_scene_summary.h"
#include "format/scene_merge.h"
#include "format/scene_scan.h"
#include "format/streamed_outline.h"

namespace vesk {
namespace {

// Pieces scenes are made of: every marker the merge, the renames and the outline look
// for, parts of them, the dropped captions, escaped bytes and a character code page
// 932 cannot hold, so that random joins make nested, crossing and half markers.
const std::vector<std::string> kTokens = {
    "<data",
    "</data>",
    "<drawGroup",
    "</drawGroup>",
    "<drawGroup name=\"",
    "<event name=\"",
    " name=\"",
    "name=\"a\" ",
    "path=\"",
    "path=\"..\\up\\x.obj\" ",
    "path=\"C:\\x\\\" ",
    "size=\"3, 4\" ",
    "friendGroup=\"",
    "coordinate_data=\"",
    "index_data=\"",
    "volume_data=\"",
    "clipCap_data=\"",
    "caption=\"ボリュームレンダリング\" ",
    "caption=\"サーフェイスレンダリング\" ",
    "caption=\"",
    "Sur",
    ">",
    "\"",
    " ",
    "\n",
    "<",
    "/",
    "d",
    "x",
    "部品",
    "\xF4\x8F\xBC\x81",  // an escaped undecodable byte
    "\xE2\x80\x94",      // U+2014, which code page 932 does not hold
};

// A scene of random tokens, with some stretches repeated: an element and its
// identical copies, and copies that join text when taken out.
std::string randomScene(std::mt19937& random, std::size_t tokens, bool escapes) {
  std::uniform_int_distribution<std::size_t> pick(0, kTokens.size() - (escapes ? 1 : 3));
  std::string text;
  for (std::size_t i = 0; i < tokens; ++i) {
    if (random() % 8 == 0 && !text.empty()) {
      const std::size_t from = random() % text.size();
      const std::size_t length = 1 + random() % std::min<std::size_t>(text.size() - from, 80);
      text += text.substr(from, length);
    } else {
      text += kTokens[pick(random)];
    }
  }
  return text;
}

// A scene built from whole, well-formed elements, some repeated verbatim.
std::string elementScene(std::mt19937& random, int dataElements, int groups) {
  std::vector<std::string> elements;
  for (int i = 0; i < dataElements; ++i) {
    elements.push_back("<data name=\"d" + std::to_string(random() % 7) +
                       "\" size=\"1, 2\" ><file path=\"" + (random() % 3 == 0 ? "..\\" : "") + "p" +
                       std::to_string(i % 5) + ".obj\" /></data>");
  }
  for (int g = 0; g < groups; ++g) {
    elements.push_back(
        "<drawGroup name=\"" + std::string(g % 4 == 0 ? "Sur" : "Part") + std::to_string(g % 9) +
        "\" caption=\"ボリュームレンダリング\" friendGroup=\"x\" >" +
        "<polygon coordinate_data=\"d1\" index_data=\"d1\" />\n<drawGroup name=\"in\">" +
        "</drawGroup>");
  }
  std::string text = "<?xml version=\"1.0\"?>\n<NuvrelFile version=\"1.35\">\n";
  for (std::size_t i = 0; i < elements.size() * 2; ++i) {
    text += elements[random() % elements.size()];
    text += random() % 2 == 0 ? "\n" : " ";
  }
  return text + "</NuvrelFile>\n";
}

struct Merged {
  std::string text;
  std::vector<std::string> topGroupNames;
  std::vector<std::string> dataValues;
};

Merged referenceMerge(int entry, const std::string& scene) {
  Merged merged;
  test::referenceMergeSceneText(merged.text, entry, scene, merged.topGroupNames, merged.dataValues);
  return merged;
}

void expectSameOutline(const DocumentOutline& actual, const DocumentOutline& expected) {
  ASSERT_EQ(actual.data.size(), expected.data.size());
  for (std::size_t i = 0; i < expected.data.size(); ++i) {
    EXPECT_EQ(actual.data[i].name, expected.data[i].name);
    EXPECT_EQ(actual.data[i].size, expected.data[i].size);
    EXPECT_EQ(actual.data[i].paths, expected.data[i].paths);
  }
  EXPECT_EQ(actual.eventNames, expected.eventNames);
  EXPECT_EQ(actual.drawGroupNames, expected.drawGroupNames);
  EXPECT_EQ(actual.undecodedBytes, expected.undecodedBytes);
}

// The merge, element by element, against the plain one; and what the plan learns of
// the merged text against what the plain functions find in the whole.
void expectMergedAsReference(int entry, const std::string& scene) {
  SCOPED_TRACE(scene);
  const Merged expected = referenceMerge(entry, scene);

  Merged actual;
  mergeSceneText(actual.text, entry, scene, actual.topGroupNames, &actual.dataValues);
  ASSERT_EQ(actual.text, expected.text);
  EXPECT_EQ(actual.topGroupNames, expected.topGroupNames);
  EXPECT_EQ(actual.dataValues, expected.dataValues);

  // The text's memory is given back for the next text once the merge is summarized.
  TextRooms rooms;
  const MergedSceneSummary summary = summarizeMergedScene(entry, scene, nullptr, &rooms);
  EXPECT_GE(rooms.take(0).capacity(), scene.size());
  EXPECT_EQ(summary.size, expected.text.size());
  const Result<std::uint64_t> encoded = cp932SizeWithCrLf(expected.text);
  ASSERT_EQ(summary.encoding.has_value(), !encoded.ok());
  if (encoded) {
    EXPECT_EQ(summary.encodedSize, *encoded);
  } else {
    EXPECT_EQ(summary.encoding->context, encoded.failure().context);
  }
  EXPECT_EQ(summary.leavesDataOpen, leavesDataOpen(expected.text));
  EXPECT_EQ(summary.tooManyElements, sceneTextHasTooManyElements(scene));
  EXPECT_EQ(summary.topGroupNames, expected.topGroupNames);
  EXPECT_EQ(summary.dataValues, expected.dataValues);
  expectSameOutline(summary.outline, outlineDocument(expected.text));
}

TEST(SceneMerger, GivesWhatThePlainMergeGivesForRandomScenes) {
  std::mt19937 random(21);
  for (int round = 0; round < 3000; ++round) {
    const std::string scene = randomScene(random, 1 + random() % 60, round % 3 == 0);
    expectMergedAsReference(round % 100, scene);
    if (HasFatalFailure()) return;
  }
}

TEST(SceneMerger, GivesWhatThePlainMergeGivesForScenesOfRepeatedElements) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    expectMergedAsReference(round % 100, elementScene(random, 1 + round % 9, 1 + round % 13));
    if (HasFatalFailure()) return;
  }
  // More elements than the merge takes: the rest stay in the text the groups are cut
  // from.
  expectMergedAsReference(5, elementScene(random, 150, 150));
}

// Whether a scene holds more elements than the merge takes, as the merge learns it in
// its own cut, against the scene scan's plain answer: at the limit and past it, with an
// opening marker that makes no group, and with groups that the removal of the data
// elements makes or unmakes (the answer is of the groups the merge cuts, from what the
// data elements left: a group made there and dropped by the merge is one too many).
TEST(SceneMerger, JudgesTooManyElementsAsTheSceneScanDoes) {
  const auto repeated = [](int times, const std::function<std::string(const std::string&)>& line) {
    std::string scene;
    for (int i = 0; i < times; ++i) scene += line(std::to_string(i)) + "\n";
    return scene;
  };
  const auto data = [](const std::string& i) {
    return "<data name=\"d" + i + "\" ><file path=\"p" + i + "\" /></data>";
  };
  const auto group = [](const std::string& i) {
    return "<drawGroup name=\"g" + i + "\" ></drawGroup>";
  };
  struct Case {
    const char* what;
    std::string scene;
    bool tooMany;
  };
  const Case cases[] = {
      {"as many data elements as taken", repeated(100, data), false},
      {"one data element more", repeated(101, data), true},
      {"as many draw groups as taken", repeated(100, group), false},
      {"one draw group more", repeated(101, group), true},
      {"an opening marker more", repeated(100, group) + "<drawGroup name=\"open\" >\n", false},
      {"groups joined where data elements are taken out",
       repeated(101,
                [](const std::string& i) {
                  return "<draw<data name=\"x\" ></data>Group name=\"g" + i + "\" ></drawGroup>";
                }),
       true},
      {"groups whose start is taken out with a data element",
       repeated(101,
                [](const std::string& i) {
                  return "<data name=\"x\" ><drawGroup ></data>g" + i + "</drawGroup>";
                }),
       false},
      {"the hundred and first group made where a data element is taken out",
       repeated(100, group) + "<draw<data name=\"d\"></data>Group name=\"Extra\">z</drawGroup>\n",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(sceneTextHasTooManyElements(c.scene), c.tooMany);
    EXPECT_EQ(summarizeMergedScene(1, c.scene).tooManyElements, c.tooMany);
  }
}

TEST(SceneMerger, GivesEachElementOnceAndThenNothing) {
  SceneMerger merger(3,
                     "<data name=\"a\" path=\"p\" /></data><drawGroup name=\"Sur\" >x</drawGroup>");
  EXPECT_EQ(merger.next(), "<data name=\"03_a\" path=\"03\\p\" /></data>\n");
  EXPECT_EQ(merger.next(),
            "<drawGroup name=\"03_Sur\" ><childGroup name=\"ex03\" />x</drawGroup>\n");
  EXPECT_EQ(merger.next(), "");
  EXPECT_EQ(merger.next(), "");
  EXPECT_EQ(merger.topGroupNames(), std::vector<std::string>{"03_Sur"});
  EXPECT_EQ(merger.dataValues(), std::vector<std::string>{"p"});
}

// Texts cut into pieces at line ends, outlined piece by piece, against the whole.
TEST(StreamedOutline, FindsWhatOutlineDocumentFindsInThePiecesJoined) {
  std::mt19937 random(5);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = randomScene(random, 1 + random() % 60, false) + "\n";
    SCOPED_TRACE(text);
    StreamedOutline streamed;
    std::size_t from = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
      if (random() % 2 == 0 || at + 1 == text.size()) {
        streamed.add(std::string_view(text).substr(from, at + 1 - from));
        from = at + 1;
      }
    }
    EXPECT_EQ(streamed.leavesDataOpen(), leavesDataOpen(text));
    expectSameOutline(streamed.take(), outlineDocument(text));
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace vesk
