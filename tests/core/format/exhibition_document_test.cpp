#include "format/exhibition_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text_file.h"

namespace vesk {
namespace {

// Lines of the document, typed from its layout.
std::string nn(int number) {
  return (number < 10 ? "0" : "") + std::to_string(number);
}

std::string startEvents(const std::string& topGroup) {
  return "<data name=\"up\"   type=\"image\" format=\"RGB\" size=\"238,95\" ><file type=\"jpg\" "
         "path=\"up.jpg\" /></data>\n"
         "<data name=\"down\" type=\"image\" format=\"RGB\" size=\"238,95\" ><file type=\"jpg\" "
         "path=\"down.jpg\" /></data>\n"
         "<event name=\"first\" >\n"
         "<fog mode=\"on\" /><shadow mode=\"1\" /><projection mode=\"perspective\" /><selectMode "
         "type=\"none\" />\n"
         "<appearance backgroundColor=\"0,0,0\" fullScreen=\"on\" />\n"
         "<captionText font=\"14,ＭＳ ゴシック\" color=\"255,255,255\" /><friendText "
         "font=\"14,ＭＳ ゴシック\" color=\"255,255,255\" />\n"
         "<idleEvent time=\"1\" name=\"waitAnimation\" />\n"
         "\n"
         "<targetSpace index=\"0\" /><topGroup name=\"menu00\" />\n"
         "<homeHandle scale=\"1.0\" trans=\" 0.0, 0.0\" clip=\"off\" /><reset scale=\"on\" "
         "trans=\"on\" />\n"
         "<handleAbility trans=\"on\" scale=\"off\" rot=\"off\" clip=\"off\" delete=\"off\" />\n"
         "\n"
         "<targetSpace index = \"1\" /><topGroup name=\"" +
         topGroup +
         "\" />\n"
         "<homeHandle scale=\"1.0\" trans=\" 0.90, 0.0\" /><reset scale=\"on\" trans=\"on\" />\n"
         "<handleAbility delete=\"off\" trans=\"on\" />\n"
         "\n"
         "<backgroundSpace index=\"0\" /><activeSpace index=\"1\" /></event>\n"
         "\n"
         "<event name=\"waitAnimation\" >\n"
         "<targetSpace index=\"1\" />\n"
         "<handleAnimation rot=\"0,1,0,1\" /><activeSpace index=\"1\" /></event>\n"
         "\n";
}

std::string entryEvent(int entry, const std::string& topGroup) {
  return "<event name=\"goto_ob" + nn(entry) +
         "\" >\n<targetSpace index=\"1\" /><topGroup name=\"" + topGroup +
         "\" />\n<reset scale=\"on\" trans=\"on\" rotCenter=\"on\" rot=\"on\" clip=\"on\" "
         "clipRot=\"on\" clipTrans=\"on\" target=\"on\" /><activeSpace index=\"1\" /></event>\n";
}

std::string descriptionGroup(int entry) {
  return "<drawGroup name=\"ex" + nn(entry) +
         "\" layer=\"back\" ><drawUnit>\n<image shape=\"flat\" size=\"2.0\" image_data=\"ex" +
         nn(entry) +
         "\" coordinate=\"-0.764,0.0,0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
         "specular=\"0,0,0\" opacity=\"1.0\" /></drawUnit></drawGroup>\n\n";
}

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

TEST_F(ExhibitionDocument, TwoEntriesGiveEachSectionInEntryOrder) {
  const std::string scene =
      "<x>\r\n<data name=\"d\"><file path=\"d.raw\" /></data>\r\n"
      "<drawGroup name=\"Sur\" coordinate_data=\"d\"></drawGroup>\r\n</x>\r\n";
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\n"
      "<NuvrelFile version=\"1.35\">\n"
      "\n"
      "<body>\n"
      "<firstSetting spaceNum=\"2\" firstEvent=\"first\" />\n"
      "\n"
      "<data name=\"00_d\"><file path=\"00\\d.raw\" /></data>\n"
      "<drawGroup name=\"00_Sur\" coordinate_data=\"00_d\"><childGroup name=\"ex00\" "
      "/></drawGroup>\n"
      "\n"
      "<data name=\"01_d\"><file path=\"01\\d.raw\" /></data>\n"
      "<drawGroup name=\"01_Sur\" coordinate_data=\"01_d\"><childGroup name=\"ex01\" "
      "/></drawGroup>\n"
      "\n"
      "\n"
      "<data name=\"me00\" type=\"image\" format=\"RGB\" size=\"238, 95\" ><file type=\"jpg\" "
      "path=\"00\\t.jpg\" /></data>\n"
      "<data name=\"me01\" type=\"image\" format=\"RGB\" size=\"238, 95\" ><file type=\"jpg\" "
      "path=\"01\\t.jpg\" /></data>\n"
      "\n"
      "<data name=\"ex00\" type=\"image\" format=\"RGB\" size=\"480, 640\" ><file type=\"png\" "
      "path=\"00\\d.png\" /></data>\n"
      "<data name=\"ex01\" type=\"image\" format=\"RGB\" size=\"480, 640\" ><file type=\"png\" "
      "path=\"01\\d.png\" /></data>\n"
      "\n" +
      startEvents("00_Sur") +
      "<event name=\"up00\">\n"
      "<targetSpace index=\"0\"/><topGroup name=\"menu00\" /></event>\n"
      "\n"
      "<event name=\"down00\">\n"
      "<targetSpace index=\"0\"/><topGroup name=\"menu00\" /></event>\n"
      "\n" +
      entryEvent(0, "00_Sur") + entryEvent(1, "01_Sur") +
      "\n"
      "<drawGroup name=\"menu00\" type=\"unit\" layer=\"back\"><drawUnit>\n"
      "<image shape=\"flat\" size=\"0.4\" image_data=\"me00\" note=\"img\" coordinate=\"-1.664, "
      "0.86, 0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" specular=\"0,0,0\" "
      "opacity=\"1.0\" event=\"goto_ob00\" />\n"
      "<image shape=\"flat\" size=\"0.4\" image_data=\"me01\" note=\"img\" coordinate=\"-1.664, "
      "0.58, 0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" specular=\"0,0,0\" "
      "opacity=\"1.0\" event=\"goto_ob01\" />\n"
      "\n"
      "</drawUnit></drawGroup>\n"
      "\n"
      "\n" +
      descriptionGroup(0) + descriptionGroup(1) +
      "\n"
      "</body>\n"
      "</NuvrelFile>\n";
  EXPECT_EQ(
      assembleExhibitionDocument({packagedEntry(0, scene), packagedEntry(1, scene)}, topGroupNames),
      expected);
  EXPECT_EQ(topGroupNames, (std::vector<std::string>{"00_Sur", "01_Sur"}));
}

// The last of 99 entries keeps two digits everywhere and closes each section.
TEST_F(ExhibitionDocument, TheLastOfNinetyNineEntriesClosesEachSection) {
  std::vector<DocumentEntry> entries;
  for (int j = 0; j < 99; ++j) {
    entries.push_back(packagedEntry(j, "<drawGroup name=\"Sur\" ></drawGroup>\n"));
  }
  const std::string text = assembleExhibitionDocument(entries, topGroupNames);
  ASSERT_EQ(topGroupNames.size(), 99u);
  EXPECT_EQ(topGroupNames.back(), "98_Sur");
  for (const std::string& part : {
           std::string("<drawGroup name=\"98_Sur\" ><childGroup name=\"ex98\" /></drawGroup>\n"
                       "\n"
                       "\n"
                       "<data name=\"me00\""),
           std::string("path=\"98\\t.jpg\" /></data>\n\n<data name=\"ex00\""),
           "path=\"98\\d.png\" /></data>\n\n" + startEvents("00_Sur"),
           "<topGroup name=\"menu16\" /></event>\n\n" + entryEvent(0, "00_Sur"),
           entryEvent(98, "98_Sur") + "\n<drawGroup name=\"menu00\"",
           "</drawUnit></drawGroup>\n\n\n" + descriptionGroup(0),
       }) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
  const std::string end = descriptionGroup(98) + "\n</body>\n</NuvrelFile>\n";
  ASSERT_GE(text.size(), end.size());
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
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
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\n"
      "<NuvrelFile version=\"1.35\">\n"
      "\n"
      "<body>\n"
      "<firstSetting spaceNum=\"2\" firstEvent=\"first\" />\n"
      "\n";
  EXPECT_EQ(text.substr(0, head.size() + 9), head + std::string(8, '\n') + "<");
  EXPECT_TRUE(topGroupNames.empty());
}

TEST_F(ExhibitionDocument, APictureOfUnknownSizeIsWrittenWithSizeZero) {
  auto entry = packagedEntry(0, "");
  entry.description = {"/p/00/broken.png", 0, 0};
  const std::string text = assembleExhibitionDocument({entry}, topGroupNames);
  EXPECT_NE(text.find("<data name=\"ex00\" type=\"image\" format=\"RGB\" size=\"0, 0\" ><file "
                      "type=\"png\" path=\"00\\broken.png\" /></data>\n"),
            std::string::npos);
}

}  // namespace
}  // namespace vesk
