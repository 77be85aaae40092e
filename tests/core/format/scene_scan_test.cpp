#include "format/scene_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/cp932.h"
#include "base/path_terms.h"
#include "base/text_file.h"
#include "format/scene_merge.h"
#include "model/entry_list.h"
#include "package/scene_files.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

// Scans a scene of the given UTF-8 text, written as code page 932 with CR LF, and
// merges it as entry 7; returns the data files without the scene folder.
struct Scanned {
  std::vector<std::string> values;
  std::string merged;
};

Scanned scanAndMerge(vesk::test::TempDir& dir, const std::string& scene) {
  std::string crlf;
  for (char c : scene) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  const auto encoded = encodeCp932(crlf);
  EXPECT_TRUE(encoded.ok());
  dir.write("scene.nuv", encoded.value_or(""));
  EntryList list;
  list.workingEntry().scenePath = dir.file("scene.nuv");
  list.appendWorkingEntry();
  scanSceneData(list, 0);
  Scanned result;
  const std::string folder = folderOf(dir.file("scene.nuv"));
  for (const std::string& file : list.at(0).dataFiles) {
    EXPECT_EQ(file.substr(0, folder.size()), folder);
    result.values.push_back(file.substr(folder.size()));
  }
  std::vector<std::string> topGroupNames;
  mergeEntryScene(result.merged, 7, list.at(0), topGroupNames);
  return result;
}

std::string native(std::string value) {
  for (char& c : value) {
    if (c == '\\') c = kPathSeparator;
  }
  return value;
}

TEST(SceneScan, ListsThePathOfEveryDistinctDataElementAsTheMergeWritesIt) {
  struct Case {
    std::string scene;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"<data><file path=\"volume.raw\" /></data>\n<data><file path=\"m\\mesh.obj\"/></data>",
       {"volume.raw", "m\\mesh.obj"}},
      // One element over several lines gives the item it gives on one line.
      {"<data name=\"a\"\n  type=\"volume\" >\n  <file path=\"v.raw\" />\n</data>", {"v.raw"}},
      {"<data path=\"x\"></data><data path=\"x\"></data><data  path=\"x\"></data>", {"x", "x"}},
      {"<data name=\"no path\"></data>", {""}},
      {"<data path=\"x\"></data><data path=\"y\">", {"x"}},
      // Values as the scene writes them. A value that holds a line break is listed with it, as the
      // document has it.
      {"<data><file path=\"a\nb.obj\" /></data>", {"a\nb.obj"}},
      // A marker broken by a line end is no marker, for the merge as for the scan.
      {"<da\nta path=\"x\"></data>", {}},
      {"<data path=\"p\"></da\nta></data>", {"p"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scene);
    vesk::test::TempDir dir;
    const Scanned scanned = scanAndMerge(dir, c.scene);
    std::vector<std::string> expected;
    for (const std::string& value : c.values) expected.push_back(native(value));
    EXPECT_EQ(scanned.values, expected);
    // Every value listed stands in the document behind the entry's folder.
    std::size_t from = 0;
    for (const std::string& value : c.values) {
      const std::string written = "path=\"07\\" + value + "\"";
      if (value.empty()) continue;
      const std::size_t at = scanned.merged.find(written, from);
      EXPECT_NE(at, std::string::npos) << written;
      from = at == std::string::npos ? from : at + written.size();
    }
  }
}

TEST(SceneScan, ListsAtMostOneHundredItems) {
  std::string scene;
  for (int i = 0; i < 150; ++i) scene += "<data path=\"" + std::to_string(i) + "\"></data>\n";
  vesk::test::TempDir dir;
  const Scanned scanned = scanAndMerge(dir, scene);
  ASSERT_EQ(scanned.values.size(), 100u);
  EXPECT_EQ(scanned.values.back(), "99");
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

// The scene read whole gives the text its lines joined give.
TEST(SceneText, MadeInPlaceAsTheJoinedLinesGiveIt) {
  const std::vector<std::string> decoded = {
      "", "\n", "a", "a\r", "a\r\n", "a\r\r\nb", "\r\n\r\n", "a\nb\r\nc", "\r", "a\rb\n",
  };
  for (const auto& text : decoded) {
    std::string made = text;
    makeSceneText(made);
    EXPECT_EQ(made, joinSceneLines(splitTextLines(text))) << text;
  }
}

}  // namespace
}  // namespace vesk
