#include "generate/exhibition_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vesk {
namespace {

// The fixed part of the document between the description data and the page events,
// typed from the document's layout, with the first event's top group.
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

std::string entryEvent(const std::string& nn, const std::string& topGroup) {
  return "<event name=\"goto_ob" + nn + "\" >\n<targetSpace index=\"1\" /><topGroup name=\"" +
         topGroup +
         "\" />\n<reset scale=\"on\" trans=\"on\" rotCenter=\"on\" rot=\"on\" clip=\"on\" "
         "clipRot=\"on\" clipTrans=\"on\" target=\"on\" /><activeSpace index=\"1\" /></event>\n";
}

std::string descriptionGroup(const std::string& nn) {
  return "<drawGroup name=\"ex" + nn +
         "\" layer=\"back\" ><drawUnit>\n<image shape=\"flat\" "
         "size=\"2.0\" image_data=\"ex" +
         nn +
         "\" coordinate=\"-0.764,0.0,0.0\" "
         "ambient=\"255,255,255\" diffuse=\"0,0,0\" specular=\"0,0,0\" opacity=\"1.0\" "
         "/></drawUnit></drawGroup>\n\n";
}

class ExhibitionDocument : public ::testing::Test {
 protected:
  // An entry folder NN with a scene, and copies of the button image (238 x 95) as
  // thumbnail and a portrait PNG as description.
  ExhibitionEntry packagedEntry(const std::string& nn, const std::string& scene,
                                const std::string& thumbnailName = "t.jpg") {
    dir.write(nn + "/s.nuv", scene);
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", nn + "/" + thumbnailName);
    dir.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/portrait-480x640.png", nn + "/d.png");
    return {
        dir.file(nn + "/s.nuv"), dir.file(nn + "/" + thumbnailName), dir.file(nn + "/d.png"), {}};
  }

  vesk::test::TempDir dir;
  std::vector<std::string> topGroupNames{"stale"};
  DocumentProblems problems;
};

TEST_F(ExhibitionDocument, OneEntryGivesTheWholeDocument) {
  const auto entry = packagedEntry("00",
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
      entryEvent("00", "00_Surface") +
      "\n"
      "<drawGroup name=\"menu00\" type=\"unit\" layer=\"back\"><drawUnit>\n"
      "<image shape=\"flat\" size=\"0.4\" image_data=\"me00\" note=\"img\" coordinate=\"-1.664, "
      "0.86, 0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" specular=\"0,0,0\" "
      "opacity=\"1.0\" event=\"goto_ob00\" />\n"
      "\n"
      "</drawUnit></drawGroup>\n"
      "\n"
      "\n" +
      descriptionGroup("00") +
      "\n"
      "</body>\n"
      "</NuvrelFile>\n";
  EXPECT_EQ(assembleExhibitionDocument({entry}, topGroupNames, problems), expected);
  EXPECT_EQ(topGroupNames, (std::vector<std::string>{"00_Surface"}));
  EXPECT_TRUE(problems.unreadablePictures.empty());
}

TEST_F(ExhibitionDocument, EntryEventsNameEachEntrysFirstSurGroupOrNothing) {
  const std::vector<ExhibitionEntry> entries{
      packagedEntry("00", "<drawGroup name=\"Bone\" ></drawGroup>\n"),
      packagedEntry("01",
                    "<drawGroup name=\"SurA\" ></drawGroup><drawGroup name=\"SurB\" "
                    "></drawGroup>\n"),
      packagedEntry("02", "<drawGroup name=\"Surface\" ></drawGroup>\n"),
  };
  const std::string text = assembleExhibitionDocument(entries, topGroupNames, problems);
  EXPECT_EQ(topGroupNames, (std::vector<std::string>{"01_SurA", "01_SurB", "02_Surface"}));
  EXPECT_NE(text.find(startEvents("")), std::string::npos);
  EXPECT_NE(text.find(entryEvent("00", "") + entryEvent("01", "01_SurA") +
                      entryEvent("02", "02_Surface") + "\n<drawGroup name=\"menu00\""),
            std::string::npos);
}

TEST_F(ExhibitionDocument, SevenEntriesListImageDataAndEventsInOrderAroundSingleBlankLines) {
  std::vector<ExhibitionEntry> entries;
  for (int i = 0; i < 7; ++i) entries.push_back(packagedEntry("0" + std::to_string(i), ""));
  const std::string text = assembleExhibitionDocument(entries, topGroupNames, problems);

  std::string thumbnails, descriptions, events, groups;
  for (int i = 0; i < 7; ++i) {
    const std::string nn = "0" + std::to_string(i);
    thumbnails += "<data name=\"me" + nn +
                  "\" type=\"image\" format=\"RGB\" size=\"238, 95\" ><file type=\"jpg\" "
                  "path=\"" +
                  nn + "\\t.jpg\" /></data>\n";
    descriptions += "<data name=\"ex" + nn +
                    "\" type=\"image\" format=\"RGB\" size=\"480, 640\" ><file type=\"png\" "
                    "path=\"" +
                    nn + "\\d.png\" /></data>\n";
    events += entryEvent(nn, "");
    groups += descriptionGroup(nn);
  }
  // Seven empty merged scenes leave seven line feeds, then the section's blank line.
  EXPECT_NE(text.find("firstEvent=\"first\" />\n\n" + std::string(8, '\n') + thumbnails + "\n" +
                      descriptions + "\n<data name=\"up\""),
            std::string::npos);
  EXPECT_NE(text.find("</event>\n\n" + events + "\n<drawGroup name=\"menu00\""), std::string::npos);
  EXPECT_NE(text.find("<event name=\"down01\">\n<targetSpace index=\"0\"/><topGroup "
                      "name=\"menu01\" /></event>\n\n<event name=\"goto_ob00\""),
            std::string::npos);
  EXPECT_NE(text.find("</drawUnit></drawGroup>\n\n\n" + groups + "\n</body>\n</NuvrelFile>\n"),
            std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 14), "</NuvrelFile>\n");
}

TEST_F(ExhibitionDocument, AnUnreadablePictureIsWrittenWithSizeZeroAndReported) {
  auto entry = packagedEntry("00", "");
  dir.write("00/broken.png", "not a picture");
  entry.descriptionPath = dir.file("00/broken.png");
  const std::string text = assembleExhibitionDocument({entry}, topGroupNames, problems);
  EXPECT_NE(text.find("<data name=\"ex00\" type=\"image\" format=\"RGB\" size=\"0, 0\" ><file "
                      "type=\"png\" path=\"00\\broken.png\" /></data>\n"),
            std::string::npos);
  EXPECT_EQ(problems.unreadablePictures, (std::vector<std::string>{entry.descriptionPath}));
}

}  // namespace
}  // namespace vesk
