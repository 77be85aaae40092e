#include "format/exhibition_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text_file.h"
#include "expected_document.h"

namespace vesk {
namespace {

using namespace vesk::test::expected;

class ExhibitionDocument : public ::testing::Test {
 protected:
  // An entry of entry folder NN: its scene's text, a thumbnail of 238 x 95 and a
  // portrait description of 480 x 640.
  static DocumentEntry packagedEntry(int entry, const std::string& scene,
                                     const std::string& thumbnailName = "t.jpg") {
    const std::string folder = "/p/" + nn(entry) + "/";
    return {splitTextLines(scene), {folder + thumbnailName, 238, 95}, {folder + "d.png", 480, 640}};
  }

  std::vector<std::string> topGroupNames{"stale"};
};

TEST_F(ExhibitionDocument, OneEntryGivesTheWholeDocument) {
  const auto entry = packagedEntry(0,
                                   "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n"
                                   "<drawGroup name=\"Surface\" ></drawGroup>\r\n",
                                   "Photo & Co.JPG");
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\n"
      "<NuvrelFile version=\"1.35\">\n"
      "\n"
      "<body>\n"
      "<firstSetting spaceNum=\"2\" firstEvent=\"first\" />\n"
      "\n"
      "<data name=\"00_v\"><file path=\"00\\v.raw\" /></data>\n"
      "<drawGroup name=\"00_Surface\" ><childGroup name=\"ex00\" /></drawGroup>\n"
      "\n"
      "\n"
      "<data name=\"me00\" type=\"image\" format=\"RGB\" size=\"238, 95\" ><file type=\"JPG\" "
      "path=\"00\\Photo & Co.JPG\" /></data>\n"
      "\n"
      "<data name=\"ex00\" type=\"image\" format=\"RGB\" size=\"480, 640\" ><file type=\"png\" "
      "path=\"00\\d.png\" /></data>\n"
      "\n" +
      startEvents("00_Surface") +
      "<event name=\"up00\">\n"
      "<targetSpace index=\"0\"/><topGroup name=\"menu00\" /></event>\n"
      "\n"
      "<event name=\"down00\">\n"
      "<targetSpace index=\"0\"/><topGroup name=\"menu00\" /></event>\n"
      "\n" +
      entryEvent(0, "00_Surface") +
      "\n"
      "<drawGroup name=\"menu00\" type=\"unit\" layer=\"back\"><drawUnit>\n"
      "<image shape=\"flat\" size=\"0.4\" image_data=\"me00\" note=\"img\" coordinate=\"-1.664, "
      "0.86, 0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" specular=\"0,0,0\" "
      "opacity=\"1.0\" event=\"goto_ob00\" />\n"
      "\n"
      "</drawUnit></drawGroup>\n"
      "\n"
      "\n" +
      descriptionGroup(0) +
      "\n"
      "</body>\n"
      "</NuvrelFile>\n";
  EXPECT_EQ(assembleExhibitionDocument({entry}, topGroupNames), expected);
  EXPECT_EQ(topGroupNames, (std::vector<std::string>{"00_Surface"}));
}

// The whole document for each entry count of the page table, every entry with a
// scene holding one data element and one "Sur" group.
TEST_F(ExhibitionDocument, WholeDocumentForEachEntryCount) {
  for (int n : {1, 6, 7, 12, 13, 99}) {
    std::vector<DocumentEntry> entries;
    for (int j = 0; j < n; ++j) {
      entries.push_back(
          packagedEntry(j,
                        "<x>\r\n<data name=\"d\"><file path=\"d.raw\" /></data>\r\n"
                        "<drawGroup name=\"Sur\" coordinate_data=\"d\"></drawGroup>\r\n</x>\r\n"));
    }
    std::string expected = head();
    for (int j = 0; j < n; ++j) {
      expected += "<data name=\"" + nn(j) + "_d\"><file path=\"" + nn(j) +
                  "\\d.raw\" /></data>\n<drawGroup name=\"" + nn(j) + "_Sur\" coordinate_data=\"" +
                  nn(j) + "_d\"><childGroup name=\"ex" + nn(j) + "\" /></drawGroup>\n\n";
    }
    expected += "\n";
    for (int j = 0; j < n; ++j) expected += imageData("me", j, 238, 95, "jpg", "t.jpg");
    expected += "\n";
    for (int j = 0; j < n; ++j) expected += imageData("ex", j, 480, 640, "png", "d.png");
    expected += "\n" + startEvents("00_Sur") + events(pageTable(n)) + "\n";
    for (int j = 0; j < n; ++j) expected += entryEvent(j, nn(j) + "_Sur");
    expected += "\n" + menu(pageTable(n)) + "\n";
    for (int j = 0; j < n; ++j) expected += descriptionGroup(j);
    expected += "\n" + end();

    EXPECT_EQ(assembleExhibitionDocument(entries, topGroupNames), expected) << n;
    EXPECT_EQ(topGroupNames.size(), static_cast<std::size_t>(n));
  }
}

TEST_F(ExhibitionDocument, EntryEventsNameEachEntrysFirstSurGroupOrNothing) {
  const std::vector<DocumentEntry> entries{
      packagedEntry(0, "<drawGroup name=\"Bone\" ></drawGroup>\n"),
      packagedEntry(1,
                    "<drawGroup name=\"SurA\" ></drawGroup><drawGroup name=\"SurB\" "
                    "></drawGroup>\n"),
      packagedEntry(2, "<drawGroup name=\"Surface\" ></drawGroup>\n"),
  };
  const std::string text = assembleExhibitionDocument(entries, topGroupNames);
  EXPECT_EQ(topGroupNames, (std::vector<std::string>{"01_SurA", "01_SurB", "02_Surface"}));
  EXPECT_NE(text.find(startEvents("")), std::string::npos);
  EXPECT_NE(text.find(entryEvent(0, "") + entryEvent(1, "01_SurA") + entryEvent(2, "02_Surface") +
                      "\n<drawGroup name=\"menu00\""),
            std::string::npos);
}

TEST_F(ExhibitionDocument, EmptyScenesStillLeaveOneLineFeedEach) {
  std::vector<DocumentEntry> entries;
  for (int i = 0; i < 7; ++i) entries.push_back(packagedEntry(i, ""));
  const std::string text = assembleExhibitionDocument(entries, topGroupNames);
  EXPECT_EQ(text.substr(0, head().size() + 9), head() + std::string(8, '\n') + "<");
  EXPECT_TRUE(topGroupNames.empty());
}

TEST_F(ExhibitionDocument, APictureOfUnknownSizeIsWrittenWithSizeZero) {
  auto entry = packagedEntry(0, "");
  entry.description = {"/p/00/broken.png", 0, 0};
  const std::string text = assembleExhibitionDocument({entry}, topGroupNames);
  EXPECT_NE(text.find(imageData("ex", 0, 0, 0, "png", "broken.png")), std::string::npos);
}

}  // namespace
}  // namespace vesk
